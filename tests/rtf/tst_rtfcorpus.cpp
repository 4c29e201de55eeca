// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the RTF test files of other RTF readers (kept beside the project, never copied into it) and
// compares the text with what each of those projects expects.
#include "rtf/RtfTestSupport.h"
#include "rtf/Reader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

using namespace krambol::rtf;
using krambol::testing::readFile;
using krambol::testing::styled;

namespace {

QString corpusDir()
{
    return qEnvironmentVariable("KRAMBOL_SHARED_DIR") + QStringLiteral("/rtf-corpus");
}

// Layouts differ between projects (blank lines between paragraphs, cell separators, wrapping), the
// characters do not: texts are compared with all white space removed.
QString withoutSpace(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (!c.isSpace())
            result += c;
    }
    return result;
}

// Strings of a pandoc AST printed by -t native: the Str "..." pieces, Haskell escapes decoded.
QString textOfNative(const QString& native)
{
    // The body follows the metadata block (title, author), which is no document text.
    qsizetype body = 0;
    if (const qsizetype meta = native.indexOf(u"Meta"); meta >= 0) {
        int depth = 0;
        for (body = native.indexOf(u'{', meta); body >= 0 && body < native.size(); ++body) {
            depth += native[body] == u'{' ? 1 : native[body] == u'}' ? -1 : 0;
            if (depth == 0)
                break;
        }
    }
    QString text;
    static const QRegularExpression str(QStringLiteral("Str\\s+\"((?:[^\"\\\\]|\\\\.)*)\""));
    for (auto it = str.globalMatch(native, qMax<qsizetype>(body, 0)); it.hasNext();) {
        const QString s = it.next().captured(1);
        for (qsizetype i = 0; i < s.size(); ++i) {
            if (s[i] != u'\\' || i + 1 == s.size()) {
                text += s[i];
                continue;
            }
            const QChar e = s[++i];
            if (e.isDigit()) {
                qsizetype j = i;
                while (j < s.size() && s[j].isDigit())
                    ++j;
                const char32_t code = s.mid(i, j - i).toUInt();
                text += QString::fromUcs4(&code, 1);
                i = j - 1;
            } else if (e == u'n') {
                text += u'\n';
            } else if (e == u't') {
                text += u'\t';
            } else if (e != u'&') {
                text += e;
            }
        }
        text += u' ';
    }
    return text;
}

// Text of an rtfparserkit event dump: the chars outside the destinations that hold no text, and the
// special characters that its commands stand for.
QString textOfEventDump(const QByteArray& xml)
{
    static const QStringList skipped = {u"fonttbl"_qs, u"colortbl"_qs, u"stylesheet"_qs, u"info"_qs,
        u"pict"_qs, u"fldinst"_qs, u"header"_qs, u"footer"_qs, u"listtable"_qs, u"listoverridetable"_qs};
    static const QHash<QString, QString> specials = {
        {u"emdash"_qs, u"\u2014"_qs}, {u"endash"_qs, u"\u2013"_qs}, {u"bullet"_qs, u"\u2022"_qs},
        {u"lquote"_qs, u"\u2018"_qs}, {u"rquote"_qs, u"\u2019"_qs}, {u"ldblquote"_qs, u"\u201C"_qs},
        {u"rdblquote"_qs, u"\u201D"_qs}, {u"emspace"_qs, u"\u2003"_qs}, {u"enspace"_qs, u"\u2002"_qs},
        {u"qmspace"_qs, u"\u2005"_qs}};
    struct Group {
        bool first = true;
        bool skip = false;
        bool upr = false;
    };
    QList<Group> groups{Group{}};
    QString text;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"group") {
            Group group;
            group.skip = groups.back().skip || groups.back().upr;
            groups.append(group);
        } else if (reader.isEndElement() && reader.name() == u"group") {
            groups.removeLast();
        } else if (reader.isStartElement() && reader.name() == u"command") {
            Group& group = groups.back();
            const QString name = reader.attributes().value(QLatin1StringView("name")).toString();
            const bool optional = reader.attributes().value(QLatin1StringView("optional")) == u"true";
            if (group.first) {
                if (name == u"ud")
                    group.skip = false;
                else if (optional || name == u"*" || skipped.contains(name))
                    group.skip = true;
                group.upr = name == u"upr";
            }
            group.first = false;
            if (!group.skip && specials.contains(name))
                text += specials.value(name);
        } else if (reader.isStartElement() && reader.name() == u"chars") {
            groups.back().first = false;
            const QString chars = reader.readElementText();
            if (!groups.back().skip)
                text += chars;
        }
    }
    return text;
}

QString textOfHtml(const QString& html)
{
    QString text = html;
    static const QRegularExpression breaks(QStringLiteral("<br>|</p>"));
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    text.replace(breaks, QStringLiteral("\n")).remove(tags);
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    QString decoded;
    qsizetype last = 0;
    for (auto it = numeric.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        decoded += QStringView(text).sliced(last, m.capturedStart() - last);
        const char32_t code = m.captured(2).toUInt(nullptr, m.captured(1).isEmpty() ? 10 : 16);
        decoded += QString::fromUcs4(&code, 1);
        last = m.capturedEnd();
    }
    decoded += QStringView(text).sliced(last);
    decoded.replace(u"&nbsp;"_qs, u"\u00A0"_qs).replace(u"&lt;"_qs, u"<"_qs).replace(u"&gt;"_qs, u">"_qs)
        .replace(u"&quot;"_qs, u"\""_qs).replace(u"&amp;"_qs, u"&"_qs);
    return decoded;
}

} // namespace

class RtfCorpusTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void everyFileReadsOrReportsAnError_data();
    void everyFileReadsOrReportsAnError();
    void textMatchesTheUpstreamExpectation_data();
    void textMatchesTheUpstreamExpectation();
    void textHoldsWhatTheExpectationAsks_data();
    void textHoldsWhatTheExpectationAsks();
};

void RtfCorpusTest::initTestCase()
{
    if (!QFileInfo(corpusDir()).isDir())
        QSKIP(qPrintable(QStringLiteral("The corpus of other RTF readers' test files is not at %1 "
                                        "(it lives beside the project, in ../shared/rtf-corpus).").arg(corpusDir())));
}

void RtfCorpusTest::everyFileReadsOrReportsAnError_data()
{
    // The malformed files whose reading gives an error, and which error; every other file reads cleanly.
    static const QHash<QString, Error::Code> errors = {
        {u"rtfpipe/RtfParserTest_fail_0.rtf"_qs, Error::Code::NotRtf},         // '/' before "{\rtf1"
        {u"rtfpipe/RtfParserTest_fail_3.rtf"_qs, Error::Code::UnexpectedEnd},  // outer group never closed
        {u"rtfpipe/RtfParserTest_fail_4.rtf"_qs, Error::Code::Empty},
        {u"rtfpipe/RtfParserTest_fail_5.rtf"_qs, Error::Code::NotRtf},         // "foobar"
        {u"rtfpipe/RtfParserTest_fail_6.rtf"_qs, Error::Code::NotRtf},         // "\foobar"
        {u"tika/testBinControlWord.rtf"_qs, Error::Code::UnexpectedEnd},       // two groups never closed
    };
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("error");
    const QDir dir(corpusDir());
    for (const QString& project : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        for (const QString& file : QDir(dir.filePath(project)).entryList({u"*.rtf"_qs}, QDir::Files, QDir::Name)) {
            const QString name = project + u'/' + file;
            QTest::newRow(qPrintable(name)) << dir.filePath(name) << (errors.contains(name) ? int(errors.value(name)) : -1);
        }
    }
}

void RtfCorpusTest::everyFileReadsOrReportsAnError()
{
    QFETCH(QString, path);
    QFETCH(int, error);
    const QByteArray rtf = readFile(path);
    krambol::testing::checkReadOutcome(rtf, read(rtf), error);
}

namespace {

// How the text compares where a project's expectation shows what a plain-text reader does not give.
enum class Relation { Equal, OursWithinExpected, ExpectedWithinOurs, EqualIgnoringCase };

struct Exception {
    Relation relation;
    const char* reason;
};

const QHash<QString, Exception>& exceptions()
{
    static const QHash<QString, Exception> exceptions = {
        {u"pandoc/footnote.rtf"_qs, {Relation::OursWithinExpected,
            "footnotes are not part of the document's running text; pandoc keeps them as notes"}},
        {u"pandoc/image.rtf"_qs, {Relation::OursWithinExpected,
            "pandoc gives a picture the description \"image\"; the file has no text"}},
        {u"striprtf/hyperlink.rtf"_qs, {Relation::OursWithinExpected,
            "striprtf appends the link target, (\"url\"), to a field's text"}},
        {u"striprtf/issue_38.rtf"_qs, {Relation::OursWithinExpected,
            "striprtf ends table cells with '|'; cells end with a tab here"}},
        {u"pandoc/formatting.rtf"_qs, {Relation::EqualIgnoringCase,
            "\\caps shows small letters as capitals; the text keeps its letters, pandoc changes them"}},
        {u"pandoc/list_complex.rtf"_qs, {Relation::ExpectedWithinOurs,
            "list labels (\\listtext, \\pntext) are the text that readers without lists show; pandoc builds lists"}},
        {u"pandoc/list_legacy.rtf"_qs, {Relation::ExpectedWithinOurs, "list labels are kept as text"}},
        {u"pandoc/list_multiparagraph.rtf"_qs, {Relation::ExpectedWithinOurs, "list labels are kept as text"}},
        {u"pandoc/list_simple.rtf"_qs, {Relation::ExpectedWithinOurs, "list labels are kept as text"}},
        {u"rtfpipe/Issue53.rtf"_qs, {Relation::ExpectedWithinOurs, "list labels are kept as text; RtfPipe builds lists"}},
    };
    return exceptions;
}

// Whether every character of part occurs in whole, in order.
bool isWithin(const QString& part, const QString& whole)
{
    qsizetype j = 0;
    for (const QChar c : part) {
        while (j < whole.size() && whole[j] != c)
            ++j;
        if (j == whole.size())
            return false;
        ++j;
    }
    return true;
}

} // namespace

void RtfCorpusTest::textMatchesTheUpstreamExpectation_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    const QDir dir(corpusDir());
    for (const QString& project : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir projectDir(dir.filePath(project));
        for (const QString& file : projectDir.entryList({u"*.rtf"_qs}, QDir::Files, QDir::Name)) {
            const QString base = projectDir.filePath(file.chopped(4));
            const QString name = project + u'/' + file;
            QString expected;
            if (QFile::exists(base + u".expected.txt"_qs))
                expected = QString::fromUtf8(readFile(base + u".expected.txt"_qs));
            else if (QFile::exists(base + u".native"_qs))
                expected = textOfNative(QString::fromUtf8(readFile(base + u".native"_qs)));
            else if (QFile::exists(base + u".expected.xml"_qs))
                expected = textOfEventDump(readFile(base + u".expected.xml"_qs));
            else if (QFile::exists(base + u".expected.html"_qs))
                expected = textOfHtml(QString::fromUtf8(readFile(base + u".expected.html"_qs)));
            else
                continue;
            QTest::newRow(qPrintable(name)) << projectDir.filePath(file) << expected;
        }
    }
}

void RtfCorpusTest::textMatchesTheUpstreamExpectation()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    const ReadResult result = read(readFile(path));
    QVERIFY(!result.error);
    const QString ours = withoutSpace(result.document.plainText());
    const QString theirs = withoutSpace(expected);
    const QString name = QFileInfo(path).dir().dirName() + u'/' + QFileInfo(path).fileName();
    const Exception exception = exceptions().value(name, Exception{Relation::Equal, ""});
    switch (exception.relation) {
    case Relation::Equal:
        break;
    case Relation::OursWithinExpected:
        QVERIFY2(isWithin(ours, theirs), qPrintable(ours));
        break;
    case Relation::ExpectedWithinOurs:
        QVERIFY2(isWithin(theirs, ours), qPrintable(ours));
        break;
    case Relation::EqualIgnoringCase:
        QCOMPARE(ours.toCaseFolded(), theirs.toCaseFolded());
        break;
    }
    if (exception.relation != Relation::Equal)
        QEXPECT_FAIL("", exception.reason, Continue);
    QCOMPARE(ours, theirs);
}

void RtfCorpusTest::textHoldsWhatTheExpectationAsks_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expectations");
    const QDir dir(corpusDir());
    for (const QString& project : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QDir projectDir(dir.filePath(project));
        for (const QString& file : projectDir.entryList({u"*.expected-contains.txt"_qs}, QDir::Files, QDir::Name)) {
            const QString rtf = file.chopped(int(qstrlen(".expected-contains.txt"))) + u".rtf"_qs;
            QTest::newRow(qPrintable(project + u'/' + rtf))
                << projectDir.filePath(rtf) << QString::fromUtf8(readFile(projectDir.filePath(file)));
        }
    }
}

void RtfCorpusTest::textHoldsWhatTheExpectationAsks()
{
    QFETCH(QString, path);
    QFETCH(QString, expectations);
    // Whether the file reads without an error is the first test's business: here only the text counts.
    const QString text = read(readFile(path)).document.plainText();
    for (const QString& line : expectations.split(u'\n')) {
        if (line.startsWith(u"+ ") && path.endsWith(u"tika/testRTFBoldPlain.rtf"))
            QEXPECT_FAIL("", "the text is in a page header, which is not part of the document's text", Continue);
        if (line.startsWith(u"+ "))
            QVERIFY2(text.contains(line.sliced(2)), qPrintable(u"missing: "_qs + line.sliced(2) + u"\nin: "_qs + text.left(2000)));
        else if (line.startsWith(u"- "))
            QVERIFY2(!text.contains(line.sliced(2)), qPrintable(u"present: "_qs + line.sliced(2)));
    }
}

QTEST_GUILESS_MAIN(RtfCorpusTest)
#include "tst_rtfcorpus.moc"
