#include "windows/Version.h"

#include <QFile>
#include <QGuiApplication>
#include <QTest>

namespace kw = krambol::windows;

class VersionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metadataCarriesProductCompanyAndVersion();
    void windowsResourceScriptCarriesTheSameBlock();
};

void VersionTest::metadataCarriesProductCompanyAndVersion()
{
    kw::applyApplicationMetadata();
    QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Крамбол"));
    QCOMPARE(QCoreApplication::organizationName(), QStringLiteral("Kermil sift"));
    QCOMPARE(QCoreApplication::applicationVersion(), QStringLiteral("2.04.0009"));
    QCOMPARE(QGuiApplication::applicationDisplayName(), QStringLiteral("Крамбол"));
    QCOMPARE(kw::version(), QVersionNumber({2, 4, 0, 9}));
    QCOMPARE(kw::versionLabelText(), QStringLiteral("Version 2.4.9"));
}

void VersionTest::windowsResourceScriptCarriesTheSameBlock()
{
    // The resource script is only compiled in Windows builds; here its text is checked against the
    // values the application reports.
    QFile file(qEnvironmentVariable("KRAMBOL_SOURCE_DIR") + QStringLiteral("/src/platform/win/krambol.rc.in"));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
    const QString script = QString::fromUtf8(file.readAll());

    QVERIFY(script.startsWith(QStringLiteral("#pragma code_page(65001)")));
    const QString expected[] = {
        QStringLiteral("FILEVERSION 2,4,0,9"),
        QStringLiteral("PRODUCTVERSION 2,4,0,9"),
        QStringLiteral("BLOCK \"040904B0\""),
        QStringLiteral("VALUE \"CompanyName\", \"%1\"").arg(kw::companyName()),
        QStringLiteral("VALUE \"FileVersion\", \"%1\"").arg(kw::versionText()),
        QStringLiteral("VALUE \"ProductName\", \"%1\"").arg(kw::productName()),
        QStringLiteral("VALUE \"ProductVersion\", \"%1\"").arg(kw::versionText()),
        QStringLiteral("VALUE \"Translation\", 0x0409, 1200"),
        QStringLiteral("IDI_ICON1 ICON \"@KRAMBOL_ICON_FILE@\""),
    };
    for (const QString& line : expected)
        QVERIFY2(script.contains(line), qPrintable(line));
}

QTEST_MAIN(VersionTest)
#include "tst_version.moc"
