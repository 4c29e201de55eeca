// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/RtfTestSupport.h"
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

using namespace krambol::rtf;
using krambol::testing::readFile;
using krambol::testing::styled;

Q_DECLARE_METATYPE(krambol::rtf::Document)

namespace {

constexpr QRgb red = 0xFFFF0000;
constexpr QRgb blue = 0xFF0000FF;

CharFormat fontFormat(const QString& name, int charset, int halfPoints)
{
    CharFormat f;
    f.fontName = name;
    f.charset = charset;
    f.halfPoints = halfPoints;
    return f;
}

Document document(std::initializer_list<Run> runs)
{
    return Document(runs);
}

Document plain(const QString& text)
{
    return document({Run{CharFormat{}, text}});
}

QString dataDir()
{
    return qEnvironmentVariable("KRAMBOL_SOURCE_DIR") + QStringLiteral("/tests/data/rtf");
}


QString describe(const Document& d)
{
    QString s;
    for (const Run& r : d.runs()) {
        s += QStringLiteral("[%1 %2 %3 b%4 i%5 u%6 c%7] %8\n")
                 .arg(r.format.fontName)
                 .arg(r.format.charset)
                 .arg(r.format.halfPoints)
                 .arg(r.format.bold)
                 .arg(r.format.italic)
                 .arg(r.format.underline)
                 .arg(r.format.color ? QString::number(*r.format.color, 16) : QStringLiteral("auto"))
                 .arg(r.text);
    }
    return s;
}

} // namespace

class RtfCodecTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void writerWritesTheRichEditShape_data();
    void writerWritesTheRichEditShape();
    void writingInPiecesGivesTheSameBytes_data();
    void writingInPiecesGivesTheSameBytes();
    void aSinkThatRefusesStopsTheWriting();
    void roundTripKeepsTextAndFormats_data();
    void roundTripKeepsTextAndFormats();
    void codePageReadersGetTheTextFromTheFallbacks_data();
    void codePageReadersGetTheTextFromTheFallbacks();
    void readsWhatWordProcessorsWrite_data();
    void readsWhatWordProcessorsWrite();
    void readsCharacterFormats_data();
    void readsCharacterFormats();
    void goldenFilesGiveTheirText_data();
    void goldenFilesGiveTheirText();
    void malformedFilesReadOrReportAnError_data();
    void malformedFilesReadOrReportAnError();
    void pathologicalInputsStayBounded_data();
    void pathologicalInputsStayBounded();
    void manyFontsAndColoursWriteAndReadBack();
    void manyFontsReadToTheirOwnNames();
    void structuresTooCostlyForTheirSizeAreRefused_data();
    void structuresTooCostlyForTheirSizeAreRefused();
    void theBudgetRunsOutAtAByteOfTheInput();
    void errorMessagesTellTheUserWhatIsWrong();
};

void RtfCodecTest::writerWritesTheRichEditShape_data()
{
    QTest::addColumn<Document>("document");
    QTest::addColumn<QByteArray>("rtf");
    const QByteArray header = "{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 MS Sans Serif;}}\r\n";
    QTest::newRow("empty register") << Document{} << header + "\\viewkind4\\uc1\\pard\\f0\\fs48\\par\r\n}\r\n";
    QTest::newRow("Cyrillic entry")
        << plain(u"Иван-Игра |"_qs)
        << header + "\\viewkind4\\uc1\\pard\\f0\\fs48\\u1048\\'c8\\u1074\\'e2\\u1072\\'e0\\u1085\\'ed-"
                    "\\u1048\\'c8\\u1075\\'e3\\u1088\\'f0\\u1072\\'e0 |\\par\r\n}\r\n";
    QTest::newRow("delimiter only before letters, digits, blanks and hyphens")
        << document({Run{styled(true), u"12"_qs}, Run{styled(), u" x"_qs}, Run{styled(true), u"-"_qs},
                     Run{styled(), u"|"_qs}, Run{styled(true), u"\t"_qs}, Run{styled(), u"a"_qs}})
        << header + "\\viewkind4\\uc1\\pard\\b\\f0\\fs48 12\\b0  x\\b -\\b0|\\b\\tab\\b0 a\\par\r\n}\r\n";
    QTest::newRow("colour table, paragraphs, escapes, fonts in order of use")
        << document({Run{styled(true, false, false, 48, red), u"A\u2029"_qs},
                     Run{fontFormat(u"Arial"_qs, 204, 20), u"{\\}\u2028😀"_qs},
                     Run{styled(false, true, true, 48, blue), u"é"_qs}})
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl{\\f0\\fnil\\fcharset204 MS Sans Serif;}"
           "{\\f1\\fnil\\fcharset204 Arial;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
           "\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs48 A\\par\r\n"
           "\\cf0\\b0\\f1\\fs20\\{\\\\\\}\\line\\u-10179\\'3f\\u-8704\\'3f\\cf2\\i\\ul\\f0\\fs48\\u233\\'3f\\par\r\n}\r\n");
}

void RtfCodecTest::writerWritesTheRichEditShape()
{
    QFETCH(Document, document);
    QFETCH(QByteArray, rtf);
    QCOMPARE(write(document), rtf);
    QByteArray pieces;
    QVERIFY(write(document, [&](QByteArrayView piece) { pieces += piece; return true; }, 5));
    QCOMPARE(pieces, rtf);
}

void RtfCodecTest::writingInPiecesGivesTheSameBytes_data()
{
    QTest::addColumn<Document>("document");
    QTest::addColumn<qsizetype>("pieceSize");
    // Larger than a piece: runs of every kind of character, long and short, in several fonts and code
    // pages, so that pieces end everywhere, also inside an escape or a control word and its delimiter.
    Document mixed;
    QRandomGenerator random(1049);
    const QString kinds[] = {u"Иван------------Игра | "_qs, u"a1 -\t{}\\\u2028\u2029\n"_qs, u"😀柔道ĀŐ\u0001\u007F"_qs};
    for (int i = 0; i < 3000; ++i) {
        CharFormat f = fontFormat(i % 3 ? u"Arial"_qs : u"Шрифт;"_qs, i % 4 ? 204 : 238, 20 + i % 5);
        f.bold = i % 2;
        if (i % 7 == 0)
            f.color = 0xFF000000u | random.bounded(0x1000000u);
        QString text;
        const int length = i % 100 == 0 ? 20000 : 1 + int(random.bounded(40u));
        for (int c = 0; c < length; ++c) {
            const QString& kind = kinds[random.bounded(3u)];
            text += kind[random.bounded(int(kind.size()))];
        }
        mixed.append(f, text);
    }
    QTest::newRow("one byte") << mixed << qsizetype(1);
    QTest::newRow("13 bytes") << mixed << qsizetype(13);
    QTest::newRow("4 KiB") << mixed << qsizetype(4096);
    QTest::newRow("64 KiB") << mixed << qsizetype(64 << 10);
    QTest::newRow("larger than the whole") << mixed << qsizetype(64 << 20);
    QTest::newRow("empty register") << Document{} << qsizetype(3);
}

void RtfCodecTest::writingInPiecesGivesTheSameBytes()
{
    QFETCH(Document, document);
    QFETCH(qsizetype, pieceSize);
    QByteArray pieces;
    qsizetype largest = 0;
    const bool written = write(
        document,
        [&](QByteArrayView piece) {
            pieces += piece;
            largest = qMax(largest, piece.size());
            return true;
        },
        pieceSize);
    QVERIFY(written);
    QCOMPARE(pieces, write(document));
    // Pieces large enough for any one escape or control word stay within their size.
    if (pieceSize >= 4096)
        QVERIFY2(largest <= pieceSize, qPrintable(QString::number(largest)));
}

void RtfCodecTest::aSinkThatRefusesStopsTheWriting()
{
    QString text;
    for (int i = 0; i < 20000; ++i)
        text += u"Иван------------Игра | "_qs;
    int calls = 0;
    QVERIFY(!write(plain(text), [&](QByteArrayView) { return ++calls < 2; }, 4096));
    QCOMPARE(calls, 2);
}

void RtfCodecTest::roundTripKeepsTextAndFormats_data()
{
    QTest::addColumn<Document>("document");
    QTest::newRow("empty register") << Document{};
    QTest::newRow("register entries") << plain(u"Иван------------Игра | Пётр-12.03.2004-Ёжик в тумане |"_qs);
    QTest::newRow("all of code page 1251")
        << plain(u"АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯабвгдеёжзийклмнопрстуфхцчшщъыьэюя ЂЃѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ ЎўЈ¤Ґ¦§©Є«¬\u00AD®Ї°±Ііґµ¶·№є»јЅѕї"_qs);
    QTest::newRow("outside code page 1251")
        << plain(u"😀 柔道 中文 한국어 café ñ Ω ≈ \U0001F3B5 \uFFFF \u0001"_qs);
    QTest::newRow("special characters")
        << plain(u"{braces} \\back\\slash\\ \\par \\'e0 \\u1048 ; tab\there\t\tline\u2028break"_qs);
    QTest::newRow("paragraphs") << plain(u"\u2029first\u2029\u2029second\u2029"_qs);
    QTest::newRow("text that could join a control word")
        << document({Run{styled(true), u"1"_qs}, Run{styled(), u" 2"_qs}, Run{styled(true), u"-3"_qs},
                     Run{styled(), u"x"_qs}, Run{styled(true), u"\t"_qs}, Run{styled(), u"?"_qs}});
    Document styles;
    for (int i = 0; i < 32; ++i) {
        const std::optional<QRgb> color = (i & 8) ? std::optional<QRgb>((i & 16) ? red : blue) : std::nullopt;
        styles.append(styled(i & 1, i & 2, i & 4, 16 + 2 * i, color), QStringLiteral("стиль %1 ").arg(i));
    }
    QTest::newRow("every style combination") << styles;
    QTest::newRow("fonts")
        << document({Run{fontFormat(u"Arial"_qs, 204, 20), u"a"_qs}, Run{fontFormat(u"Times New Roman"_qs, 0, 24), u"b"_qs},
                     Run{fontFormat(u"Шрифт;{\\}"_qs, 204, 24), u"c"_qs}, Run{fontFormat(u"Arial"_qs, 204, 21), u"d"_qs}});
}

void RtfCodecTest::roundTripKeepsTextAndFormats()
{
    QFETCH(Document, document);
    const ReadResult result = read(write(document));
    QVERIFY(!result.error);
    QCOMPARE(describe(result.document), describe(document));
    QVERIFY(result.document == document);
}

void RtfCodecTest::codePageReadersGetTheTextFromTheFallbacks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fallbackText");
    QTest::newRow("Cyrillic") << u"Иван Ёжик №1 «x» — €"_qs << u"Иван Ёжик №1 «x» — €"_qs;
    QTest::newRow("outside 1251") << u"é柔😀"_qs << u"???"_qs.append(u'?');
}

void RtfCodecTest::codePageReadersGetTheTextFromTheFallbacks()
{
    // A reader that knows only code pages ignores \uN and reads the fallback that follows it.
    QFETCH(QString, text);
    QFETCH(QString, fallbackText);
    QByteArray rtf = write(plain(text));
    rtf.replace("\\uc1", "\\uc0");
    static const QRegularExpression unicode(QStringLiteral("\\\\u-?[0-9]+"));
    const QByteArray codePageOnly = QString::fromLatin1(rtf).remove(unicode).toLatin1();
    QCOMPARE(read(codePageOnly).document.plainText(), fallbackText);
}

void RtfCodecTest::readsWhatWordProcessorsWrite_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("cp1251 hex") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'c8\\'e2\\'e0\\'ed\\par}") << u"Иван"_qs;
    QTest::newRow("hex in upper case") << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'C8\\'E2}") << u"Ив"_qs;
    QTest::newRow("font charset beats the document code page")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}\\f0\\'c8{\\f1\\'c8}\\'c8}")
        << u"ÈИÈ"_qs;
    QTest::newRow("default font's charset without a code page")
        << QByteArray("{\\rtf1\\deff1{\\fonttbl{\\f1\\fcharset204 X;}}\\plain \\'c8}") << u"И"_qs;
    QTest::newRow("cp932 pairs") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}") << u"日本"_qs;
    QTest::newRow("\\u with a fallback") << QByteArray("{\\rtf1\\uc1\\u1048\\'c8\\u1074?x}") << u"Ивx"_qs;
    QTest::newRow("\\uc2") << QByteArray("{\\rtf1{\\uc2\\u228\\'E8a}b}") << u"äb"_qs;
    QTest::newRow("\\uc0") << QByteArray("{\\rtf1\\uc0\\u1048\\u1074 x}") << u"Ивx"_qs;
    QTest::newRow("\\uc is per group") << QByteArray("{\\rtf1\\uc1{\\uc0\\u1048}\\u1074?}") << u"Ив"_qs;
    QTest::newRow("a group end ends the fallback") << QByteArray("{\\rtf1\\uc5{\\u1048}abc}") << u"Иabc"_qs;
    QTest::newRow("negative \\u") << QByteArray("{\\rtf1\\u-3913?}") << u"\uF0B7"_qs;
    QTest::newRow("surrogate pair") << QByteArray("{\\rtf1\\u-10179?\\u-8704?}") << u"😀"_qs;
    QTest::newRow("broken hex as the fallback") << QByteArray("{\\rtf1\nx\\u345\\'3?x\n\\par}") << u"xřx"_qs;
    QTest::newRow("ignorable destinations")
        << QByteArray("{\\rtf1 a{\\*\\generator Riched20;}{\\*\\unknown {x}y}b{\\*\\bkmkstart z}c}") << u"abc"_qs;
    QTest::newRow("known destinations")
        << QByteArray("{\\rtf1{\\stylesheet{Normal;}}{\\info{\\title t}}{\\header h}{\\footer f}{\\footnote n}"
                      "{\\pict 0102}a{\\fonttbl{\\f0 F;}}{\\colortbl;\\red1;}}") << u"a"_qs;
    QTest::newRow("field result") << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}} x}")
                                  << u"link x"_qs;
    QTest::newRow("\\upr") << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{\\u915G}}}}") << u"Γ"_qs;
    QTest::newRow("breaks")
        << QByteArray("{\\rtf1 a\\par b\\line c\\tab d\\\r\ne\\\nf\tg\\cell h\\row}") << u"a\nb\nc\td\ne\nf\tg\th"_qs;
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1\\~\\-\\_\\emdash\\endash\\emspace\\enspace\\qmspace\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}")
        << u"\u00A0\u00AD\u2011\u2014\u2013\u2003\u2002\u2005\u2022\u2018\u2019\u201C\u201D"_qs;
    QTest::newRow("escapes") << QByteArray("{\\rtf1 \\{\\}\\\\}") << u"{}\\"_qs;
    QTest::newRow("only the last paragraph mark is the document's")
        << QByteArray("{\\rtf1 a\\par\\par}") << u"a\n"_qs;
    QTest::newRow("no paragraph mark at the end") << QByteArray("{\\rtf1 a\\par b}") << u"a\nb"_qs;
    QTest::newRow("empty document") << QByteArray("{\\rtf1\\pard\\f0\\fs18\\par\r\n}") << QString();
    QTest::newRow("hidden text") << QByteArray("{\\rtf1 a\\v b\\v0 c}") << u"ac"_qs;
    QTest::newRow("parameter ends at a letter") << QByteArray("{\\rtf1foobar}") << u"foobar"_qs;
    QTest::newRow("trailing NUL and text after the document") << QByteArray("{\\rtf1 a}\r\n\0x", 13) << u"a"_qs;
    QTest::newRow("\\bin data is no text") << QByteArray("{\\rtf1 a{\\pict\\bin4 }{x}}b}") << u"ab"_qs;
    QTest::newRow("Mac Roman") << QByteArray("{\\rtf1\\mac \\'80\\'8e}") << u"Äé"_qs;
}

void RtfCodecTest::readsWhatWordProcessorsWrite()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    const ReadResult result = read(rtf);
    QVERIFY(!result.error);
    QCOMPARE(result.document.plainText(), text);
}

void RtfCodecTest::readsCharacterFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<Document>("expected");
    const QByteArray fonts = "{\\fonttbl{\\f0\\fnil\\fcharset204 MS Sans Serif;}{\\f1\\fswiss\\fcharset204{\\*\\fname Arial;}Arial CYR;}"
                             "{\\f2\\fcharset204 \\'d8\\'f0\\'e8\\'f4\\'f2;}}{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("\\plain resets bold")
        << "{\\rtf1" + fonts + "\\fs48\\b a\\plain\\fs48 b}"
        << document({Run{styled(true), u"a"_qs}, Run{styled(), u"b"_qs}});
    QTest::newRow("underline off three ways")
        << "{\\rtf1" + fonts + "\\fs48\\ul a\\ul0 b\\ul c\\ulnone d\\uldb e{\\ulw f}g}"
        << document({Run{styled(false, false, true), u"a"_qs}, Run{styled(), u"b"_qs},
                     Run{styled(false, false, true), u"c"_qs}, Run{styled(), u"d"_qs},
                     Run{styled(false, false, true), u"efg"_qs}});
    QTest::newRow("group end restores the format")
        << "{\\rtf1" + fonts + "\\fs48 a{\\b\\i\\cf2\\fs20 b}c}"
        << document({Run{styled(), u"a"_qs}, Run{styled(true, true, false, 20, blue), u"b"_qs}, Run{styled(), u"c"_qs}});
    QTest::newRow("colours; \\cf0 is auto")
        << "{\\rtf1" + fonts + "\\fs48\\cf1 a\\cf0 b\\cf9 c}"
        << document({Run{styled(false, false, false, 48, red), u"a"_qs}, Run{styled(), u"bc"_qs}});
    QTest::newRow("font names, substituted and in the font's code page")
        << "{\\rtf1" + fonts + "\\f1\\fs20 a\\f2 b}"
        << document({Run{fontFormat(u"Arial CYR"_qs, 204, 20), u"a"_qs}, Run{fontFormat(u"Шрифт"_qs, 204, 20), u"b"_qs}});
    QTest::newRow("no \\fs is 12 points") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset204 MS Sans Serif;}}a}")
                                          << document({Run{styled(false, false, false, 24), u"a"_qs}});
    QTest::newRow("font table without groups")
        << QByteArray("{\\rtf1{\\fonttbl\\f0\\fnil\\fcharset204 Mono;\\f1\\fnil\\fcharset204 Sans;}\\f1\\fs48 a}")
        << document({Run{fontFormat(u"Sans"_qs, 204, 48), u"a"_qs}});
}

void RtfCodecTest::readsCharacterFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(Document, expected);
    const ReadResult result = read(rtf);
    QVERIFY(!result.error);
    QCOMPARE(describe(result.document), describe(expected));
}

void RtfCodecTest::goldenFilesGiveTheirText_data()
{
    QTest::addColumn<QString>("path");
    const QDir dir(dataDir() + QStringLiteral("/golden"));
    const QStringList files = dir.entryList({u"*.rtf"_qs}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        QTest::newRow("no golden files") << dir.filePath(u"missing.rtf"_qs);
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << dir.filePath(file);
}

void RtfCodecTest::goldenFilesGiveTheirText()
{
    QFETCH(QString, path);
    const ReadResult result = read(readFile(path));
    QVERIFY2(!result.error, qPrintable(result.error ? result.error->message() : QString()));
    QCOMPARE(result.document.plainText(), QString::fromUtf8(readFile(path.chopped(4) + u".txt"_qs)));
}

void RtfCodecTest::malformedFilesReadOrReportAnError_data()
{
    // pass-*: read without an error, giving the text beside them; fail-*: an error, named here.
    static const QHash<QString, Error::Code> errors = {
        {u"fail-empty"_qs, Error::Code::Empty},
        {u"fail-blanks-only"_qs, Error::Code::Empty},
        {u"fail-plain-text"_qs, Error::Code::NotRtf},
        {u"fail-html"_qs, Error::Code::NotRtf},
        {u"fail-utf8-bom"_qs, Error::Code::NotRtf},
        {u"fail-png"_qs, Error::Code::NotRtf},
        {u"fail-truncated-in-text"_qs, Error::Code::UnexpectedEnd},
        {u"fail-truncated-in-hex"_qs, Error::Code::UnexpectedEnd},
        {u"fail-truncated-after-backslash"_qs, Error::Code::UnexpectedEnd},
        {u"fail-truncated-in-bin"_qs, Error::Code::UnexpectedEnd},
        {u"fail-unbalanced-open"_qs, Error::Code::UnexpectedEnd},
    };
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("error");
    const QDir dir(dataDir() + QStringLiteral("/malformed"));
    const QStringList files = dir.entryList({u"*.rtf"_qs}, QDir::Files, QDir::Name);
    if (files.isEmpty())
        QTest::newRow("no malformed files") << dir.filePath(u"pass-missing.rtf"_qs) << -1;
    for (const QString& file : files) {
        const QString name = file.chopped(4);
        QVERIFY2(name.startsWith(u"pass-") || errors.contains(name), qPrintable(name));
        QTest::newRow(qPrintable(name)) << dir.filePath(file) << (errors.contains(name) ? int(errors.value(name)) : -1);
    }
}

void RtfCodecTest::malformedFilesReadOrReportAnError()
{
    QFETCH(QString, path);
    QFETCH(int, error);
    const QByteArray rtf = readFile(path);
    const ReadResult result = read(rtf);
    krambol::testing::checkReadOutcome(rtf, result, error);
    if (QTest::currentTestFailed())
        return;
    if (error < 0) {
        QCOMPARE(result.document.plainText(), QString::fromUtf8(readFile(path.chopped(4) + u".txt"_qs)));
        return;
    }
    if (result.error->code == Error::Code::UnexpectedEnd) {
        // What came before the cut is still there for whoever wants it.
        QCOMPARE(result.error->position, rtf.size());
        QVERIFY(!result.document.plainText().isEmpty());
    } else {
        QVERIFY(result.document.isEmpty());
    }
}

void RtfCodecTest::pathologicalInputsStayBounded_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("complete");
    const QByteArray deep = QByteArray(100000, '{');
    QTest::newRow("100 000 open groups") << "{\\rtf1" + deep << false;
    QTest::newRow("100 000 nested groups, closed") << "{\\rtf1" + deep + "x" + QByteArray(100000, '}') + "}" << true;
    QTest::newRow("100 000 nested ignorable destinations")
        << "{\\rtf1" + QByteArray("{\\*\\x").repeated(100000) + QByteArray(100001, '}') << true;
    QTest::newRow("100 000 closing braces") << "{\\rtf1 a" + QByteArray(100000, '}') << true;
    QTest::newRow("huge \\bin") << QByteArray("{\\rtf1 a\\bin2147483647 xyz}") << false;
    QTest::newRow("huge \\bin in a skipped group") << QByteArray("{\\rtf1 a{\\*\\x\\bin99999999999999999999 }}") << false;
    QTest::newRow("huge \\uc") << QByteArray("{\\rtf1\\uc2147483647\\u1 abc}") << true;
    QTest::newRow("many font table entries")
        << "{\\rtf1{\\fonttbl" + QByteArray("{\\f1\\fcharset204 F;}\\f2 x;").repeated(50000) + "}\\f1 a}" << true;
    QByteArray random(1 << 20, Qt::Uninitialized);
    QRandomGenerator generator(20261210);
    for (char& c : random)
        c = char(generator.bounded(256));
    QTest::newRow("1 MB of random bytes") << "{\\rtf1 " + random << false;
    QByteArray bytes;
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    QTest::newRow("every byte value") << "{\\rtf1 " + bytes.repeated(100) + "}" << true;
    QTest::newRow("backslash at the very end") << QByteArray("{\\rtf1\\") << false;
    QTest::newRow("hex at the very end") << QByteArray("{\\rtf1\\'") << false;
}

void RtfCodecTest::pathologicalInputsStayBounded()
{
    QFETCH(QByteArray, rtf);
    QFETCH(bool, complete);
    QElapsedTimer timer;
    timer.start();
    const ReadResult result = read(rtf);
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(result.document.plainText().size() <= rtf.size());
    if (complete)
        QVERIFY2(!result.error, qPrintable(result.error ? result.error->message() : QString()));
    else
        QVERIFY(result.error || rtf.contains('}'));
    // Whatever was read writes and reads back to the same text.
    QCOMPARE(read(write(result.document)).document.plainText(), result.document.plainText());
}

void RtfCodecTest::manyFontsAndColoursWriteAndReadBack()
{
    Document many;
    for (int i = 0; i < 20000; ++i) {
        CharFormat f = fontFormat(QStringLiteral("Font %1").arg(i), 204, 20);
        f.color = 0xFF000000u | QRgb(i);
        many.append(f, QStringLiteral("%1 ").arg(i));
    }
    QElapsedTimer timer;
    timer.start();
    const ReadResult result = read(write(many));
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(!result.error);
    QVERIFY(result.document == many);
}

void RtfCodecTest::manyFontsReadToTheirOwnNames()
{
    // A font table of 30 000 entries as a word processor writes them, each font used once, in reverse.
    const int fonts = 30000;
    QByteArray rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl";
    for (int i = 0; i < fonts; ++i)
        rtf += "{\\f" + QByteArray::number(i) + "\\fswiss\\fcharset" + (i % 2 ? "204" : "0")
            + "\\fprq2{\\*\\panose 020b0604020202020204}Font " + QByteArray::number(i) + "{\\*\\falt Font};}";
    rtf += "}";
    for (int i = fonts - 1; i >= 0; --i)
        rtf += "{\\f" + QByteArray::number(i) + " t}";
    rtf += "}";
    const ReadResult result = read(rtf);
    QVERIFY2(!result.error, qPrintable(result.error ? result.error->message() : QString()));
    QCOMPARE(result.document.runCount(), fonts);
    for (int i = 0; i < fonts; ++i) {
        const CharFormat& format = result.document.runFormat(fonts - 1 - i);
        QCOMPARE(format.fontName, QStringLiteral("Font %1").arg(i));
        QCOMPARE(format.charset, i % 2 ? 204 : 0);
    }
}

void RtfCodecTest::structuresTooCostlyForTheirSizeAreRefused_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<bool>("refused");
    // Each structure repeated until it costs more than the allowance, in the fewest bytes, and then as a
    // word processor writes it: the same number of paragraphs, runs or formats with their text.
    QTest::newRow("paragraphs of 5 bytes") << "{\\rtf1 " + QByteArray("\\par\n").repeated(200000) + "}" << true;
    QTest::newRow("paragraph breaks of 2 bytes") << "{\\rtf1 " + QByteArray("\\\n").repeated(200000) + "}" << true;
    QTest::newRow("paragraphs with a line of text")
        << "{\\rtf1 " + QByteArray("\\pard\\plain Ivan------------Game 12.03.2004 |\\par\r\n").repeated(200000) + "}" << false;
    QTest::newRow("runs of one character") << "{\\rtf1 " + QByteArray("{\\b a}a").repeated(200000) + "}" << true;
    QTest::newRow("a bold name in each line")
        << "{\\rtf1 " + QByteArray("\\b Ivan\\b0  gave the disc \"Game\" on 12.03.2004; it is due back soon.\\par\r\n").repeated(200000) + "}"
        << false;
    QByteArray formats = "{\\rtf1 ";
    for (int i = 0; i < 60000; ++i)
        formats += "{\\fs" + QByteArray::number(1 + i % 3000) + (i / 3000 % 2 ? "\\b" : "") + (i / 6000 % 2 ? "\\i" : "")
            + (i / 12000 % 2 ? "\\ul" : "") + " a}";
    QTest::newRow("distinct formats") << formats + "}" << true;
    QTest::newRow("a colour table of separators only") << "{\\rtf1{\\colortbl" + QByteArray(4 << 20, ';') + "} a}" << false;
    QTest::newRow("a colour table of colours") << "{\\rtf1{\\colortbl" + QByteArray("\\red1;").repeated(700000) + "} a}" << false;
}

void RtfCodecTest::structuresTooCostlyForTheirSizeAreRefused()
{
    QFETCH(QByteArray, rtf);
    QFETCH(bool, refused);
    const ReadResult result = read(rtf);
    if (!refused) {
        QVERIFY2(!result.error, qPrintable(result.error ? result.error->message() : QString()));
        QVERIFY(!result.document.isEmpty());
        return;
    }
    QVERIFY(result.error);
    QCOMPARE(result.error->code, Error::Code::TooComplex);
    QVERIFY(result.error->position > 0 && result.error->position < rtf.size());
    QVERIFY(result.document.isEmpty());
    QVERIFY(result.error->message().contains(QString::number(result.error->position)));
    QVERIFY(result.error->message().contains(u"слишком сложен"));
}

void RtfCodecTest::theBudgetRunsOutAtAByteOfTheInput()
{
    // One unit for each character and nothing else: "abc" is read whole, and the budget runs out in it.
    Budget budget{};
    budget.allowance = 2;
    budget.perInputByte = 0;
    budget.perCharacter = 1;
    budget.perParagraph = budget.perRun = budget.perFormat = budget.perFont = budget.perColor = 0;
    QCOMPARE(read("{\\rtf1 abc\\par d}", budget).error, (Error{Error::Code::TooComplex, 10}));
    QCOMPARE(read("  {\\rtf1 ab\\par d}", budget).error, (Error{Error::Code::TooComplex, 16}));
    budget.allowance = 4;
    QVERIFY(!read("{\\rtf1 ab\\par c}", budget).error);
    // A paragraph costs its character and a block.
    budget.perParagraph = 10;
    QCOMPARE(read("{\\rtf1 ab\\par c}", budget).error, (Error{Error::Code::TooComplex, 14}));
}

void RtfCodecTest::errorMessagesTellTheUserWhatIsWrong()
{
    QCOMPARE(read("").error, (Error{Error::Code::Empty, 0}));
    QCOMPARE(read("  hello").error, (Error{Error::Code::NotRtf, 2}));
    const std::optional<Error> cut = read("{\\rtf1 abc").error;
    QCOMPARE(cut, (Error{Error::Code::UnexpectedEnd, 10}));
    QCOMPARE((Error{Error::Code::Empty, 0}.message()), u"Файл пуст."_qs);
    QCOMPARE((Error{Error::Code::NotRtf, 0}.message()), u"Файл не является документом RTF."_qs);
    QVERIFY(cut->message().contains(u"10"));
    QVERIFY(cut->message().contains(u"обрывается"));
}

QTEST_GUILESS_MAIN(RtfCodecTest)
#include "tst_rtfcodec.moc"
