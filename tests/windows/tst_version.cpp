// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Version.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTest>

namespace kw = krambol::windows;

class VersionTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void metadataCarriesProductCompanyAndVersion();
    void windowsResourceScriptCarriesTheSameBlock();
    void versionComesFromTheProjectAndFeedsMetainfoAndPackage();
};

namespace {

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

QString firstCapture(const QString& text, const QString& pattern)
{
    return QRegularExpression(pattern).match(text).captured(1);
}

} // namespace

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
    // The resource script is only compiled in Windows builds but configured in every one; here its
    // text is checked against the values the application reports.
    const QString script = readText(qEnvironmentVariable("KRAMBOL_BINARY_DIR") + QStringLiteral("/src/krambol.rc"));

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
        QStringLiteral("IDI_ICON1 ICON \"%1/resources/form1/krambol.ico\"").arg(qEnvironmentVariable("KRAMBOL_SOURCE_DIR")),
    };
    for (const QString& line : expected)
        QVERIFY2(script.contains(line), qPrintable(line));
    QVERIFY2(!script.contains(QLatin1Char('@')), "a value was left unconfigured");
}

void VersionTest::versionComesFromTheProjectAndFeedsMetainfoAndPackage()
{
    const QString source = qEnvironmentVariable("KRAMBOL_SOURCE_DIR");
    const QString binary = qEnvironmentVariable("KRAMBOL_BINARY_DIR");

    // The one place the version is written.
    const QString project = firstCapture(readText(source + QStringLiteral("/CMakeLists.txt")),
                                         QStringLiteral("project\\(Krambol VERSION ([0-9.]+)"));
    QCOMPARE(kw::version(), QVersionNumber::fromString(project));

    // Shown as MAJOR.MINOR.REVISION, the file version block's third number left out.
    const QVersionNumber v = kw::version();
    const QString release = QStringLiteral("%1.%2.%3").arg(v.majorVersion()).arg(v.minorVersion()).arg(v.segmentAt(3));
    QCOMPARE(kw::versionLabelText(), QStringLiteral("Version ") + release);
    QCOMPARE(kw::versionText(), QStringLiteral("%1.%2.%3")
                                    .arg(v.majorVersion())
                                    .arg(v.minorVersion(), 2, 10, QLatin1Char('0'))
                                    .arg(v.segmentAt(3), 4, 10, QLatin1Char('0')));

    // The metainfo's newest release and the package are the same release.
    const QString metainfo = readText(binary + QStringLiteral("/desktop/org.example.krambol.metainfo.xml"));
    QCOMPARE(firstCapture(metainfo, QStringLiteral("<release version=\"([^\"]*)\"")), release);
    const QString cpack = readText(binary + QStringLiteral("/CPackConfig.cmake"));
    QCOMPARE(firstCapture(cpack, QStringLiteral("set\\(CPACK_PACKAGE_VERSION \"([^\"]*)\"\\)")), release);
}

QTEST_MAIN(VersionTest)
#include "tst_version.moc"
