// SPDX-License-Identifier: GPL-3.0-or-later
// Registers written here are read by two RTF readers of other projects, pandoc and LibreOffice, which
// must find exactly the register's text in them.
#include "rtf/RtfTestSupport.h"
#include "rtf/Writer.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace krambol::rtf;
using krambol::testing::readFile;
using krambol::testing::styled;

namespace {

struct Register {
    const char* name;
    Document document;
};

QList<Register> registers()
{
    const CharFormat plain;
    return {
        {"entries", Document{{Run{styled(true, false, false, 48), u"Иван------------Игра |"_qs},
                              Run{plain, u" Пётр-12.03.2004-Ёжик в тумане | Сидор-Матрица |"_qs}}}},
        {"special characters", Document{{Run{plain, u"{x} \\ a\tb №5 «x» — ‘q’ € Ёё |"_qs}}}},
        {"outside code page 1251", Document{{Run{plain, u"café 柔道 😀 Ω ≈ ñ |"_qs}}}},
        {"paragraphs and line breaks", Document{{Run{plain, u"first\u2028second\u2029third |"_qs}}}},
        {"styles", Document{{Run{styled(true, true, true, 20, 0xFFFF0000), u"Анна-"_qs},
                             Run{styled(false, true, false, 36, 0xFF0000FF), u"Диск"_qs},
                             Run{styled(false, false, true, 16), u" |"_qs}}}},
    };
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<no output file %1>").arg(path);
    return QString::fromUtf8(file.readAll());
}

} // namespace

class IndependentReadersTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pandocReadsTheRegisterText_data() { table(); }
    void pandocReadsTheRegisterText();
    void libreOfficeReadsTheRegisterText_data() { table(); }
    void libreOfficeReadsTheRegisterText();

private:
    void table();
    QString pathOf(int index, const char* extension) const
    {
        return m_dir.filePath(QStringLiteral("register%1.%2").arg(index).arg(QLatin1StringView(extension)));
    }

    QTemporaryDir m_dir;
    bool m_libreOfficeRan = false;
};

void IndependentReadersTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QList<Register> all = registers();
    for (int i = 0; i < all.size(); ++i) {
        QFile file(pathOf(i, "rtf"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(write(all[i].document));
    }
    // One start of LibreOffice converts every file: each start takes seconds.
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        return;
    QStringList arguments{u"--headless"_qs, u"--norestore"_qs,
                          u"-env:UserInstallation="_qs + QUrl::fromLocalFile(m_dir.filePath(u"profile"_qs)).toString(),
                          u"--convert-to"_qs, u"txt:Text (encoded):UTF8"_qs, u"--outdir"_qs, m_dir.path()};
    for (int i = 0; i < all.size(); ++i)
        arguments << pathOf(i, "rtf");
    QProcess process;
    process.start(soffice, arguments);
    QVERIFY(process.waitForFinished(240000));
    QCOMPARE(process.exitCode(), 0);
    m_libreOfficeRan = true;
}

void IndependentReadersTest::table()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    const QList<Register> all = registers();
    for (int i = 0; i < all.size(); ++i)
        QTest::newRow(all[i].name) << i << all[i].document.plainText();
}

void IndependentReadersTest::pandocReadsTheRegisterText()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    const QString pandoc = QStandardPaths::findExecutable(QStringLiteral("pandoc"));
    if (pandoc.isEmpty())
        QSKIP("pandoc is not installed (Debian package pandoc; the test command installs it)");
    QProcess process;
    process.start(pandoc, {u"-f"_qs, u"rtf"_qs, u"-t"_qs, u"plain"_qs, u"--wrap=none"_qs, pathOf(index, "rtf")});
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    QString output = QString::fromUtf8(process.readAllStandardOutput());

    // pandoc's plain text ends with a newline, separates paragraphs by an empty line, turns a tab into a
    // space, and reads each half of a surrogate pair as U+FFFD (it does not join \u pairs).
    QVERIFY(output.endsWith(u'\n'));
    output.chop(1);
    QString expected;
    const QList<Register> all = registers();
    for (const Run& run : all[index].document.runs())
        expected += run.text;
    expected.replace(QChar::ParagraphSeparator, u"\n\n"_qs).replace(QChar::LineSeparator, u'\n').replace(u'\t', u' ');
    for (qsizetype i = 0; i < expected.size(); ++i) {
        if (expected[i].isSurrogate())
            expected[i] = QChar::ReplacementCharacter;
    }
    QCOMPARE(output, expected);
    Q_UNUSED(text);
}

void IndependentReadersTest::libreOfficeReadsTheRegisterText()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    if (!m_libreOfficeRan)
        QSKIP("LibreOffice is not installed (Debian package libreoffice-writer-nogui; the test command installs it)");
    QString output = readText(pathOf(index, "txt"));
    // LibreOffice starts the text with a byte order mark and ends every paragraph with a newline.
    if (output.startsWith(QChar::ByteOrderMark))
        output.remove(0, 1);
    QVERIFY(output.endsWith(u'\n'));
    output.chop(1);
    QCOMPARE(output, text);
}

QTEST_GUILESS_MAIN(IndependentReadersTest)
#include "tst_rtfindependentreaders.moc"
