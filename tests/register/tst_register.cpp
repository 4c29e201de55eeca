// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/Register.h"
#include "register/RichTextDocument.h"
#include "rtf/Writer.h"
#include "support/CharFormats.h"
#include "textpane/RichTextBox.h"
#include "support/TempFolder.h"
#include "textpane/TextLines.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <functional>

using krambol::reg::Register;

using krambol::testing::hasOwnCharFormats;
using krambol::textpane::RichTextBox;

namespace {

// Writes `text` over the register as the accepts do: appended when it goes on from what is there.
void write(Register& entries, const QString& text)
{
    const QString& old = entries.text();
    if (!old.isEmpty() && text.size() > old.size() && text.startsWith(old))
        entries.append(text.mid(old.size()));
    else
        entries.setText(text);
}

void pasteAtEnd(Register& entries, const QString& clipboard)
{
    QTextCursor end(&entries.document());
    end.movePosition(QTextCursor::End);
    Register::insertClipboardText(end, clipboard);
}

// Everything a document holds that an edit can change: the text, and the formats of every paragraph and
// every run.
struct Contents
{
    QString text;
    QList<QTextFormat> formats;
    bool operator==(const Contents&) const = default;
};

Contents contentsOf(const QTextDocument& document)
{
    Contents c{document.toRawText(), {}};
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        c.formats << block.blockFormat() << block.charFormat();
        for (auto it = block.begin(); !it.atEnd(); ++it)
            c.formats << it.fragment().charFormat();
    }
    return c;
}

// The same content written into a document, in three shapes: plain text; paragraphs with formats of
// their own; runs in several fonts.
void fillShape(QTextDocument& document, const QString& shape)
{
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    if (shape == u"plain") {
        cursor.insertText(u"Иванов Сергей Дюна 01.02.2003 Петров Пётр Ирония судьбы"_qs);
    } else if (shape == u"paragraphs") {
        QTextBlockFormat right;
        right.setAlignment(Qt::AlignRight);
        QTextCharFormat italic;
        italic.setFontItalic(true);
        cursor.setBlockFormat(right);
        cursor.setBlockCharFormat(italic);
        cursor.insertText(u"Иванов Сергей"_qs);
        QTextBlockFormat centred;
        centred.setAlignment(Qt::AlignHCenter);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.insertText(u"Дюна"_qs);
        cursor.insertBlock(centred, italic);
    } else {
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        bold.setFontFamilies({u"Arial"_qs});
        QTextCharFormat red;
        red.setForeground(QColor(Qt::red));
        red.setFontPointSize(36);
        cursor.insertText(u"Иванов "_qs, bold);
        cursor.insertText(u"Дюна "_qs, red);
        cursor.insertText(u"Петров"_qs, bold);
    }
    cursor.endEditBlock();
}

// A register as a view, a paste or an open may leave it, built twice: once for the accept, once for the
// reference it must equal.
using Build = std::function<void(Register&)>;

const QString kRtfRuns = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red200\\green0\\blue0;}"
                         u"\\f0\\fs30 Иван {\\b\\cf1 Игра} {\\f1\\i\\ul Кино}\\par Пётр {\\fs40 Диск}\\par}"_qs;

QTextCharFormat boldFormat()
{
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    return format;
}

// Every character's format, every paragraph's formats and the text, with runs of one format joined: what
// a reader of the document can tell, whatever its fragments.
QStringList formatsOf(const QTextDocument& document)
{
    const auto describe = [](const QTextFormat& format) {
        QStringList properties;
        const QMap<int, QVariant> all = format.properties();
        for (auto it = all.begin(); it != all.end(); ++it)
            properties << QString::number(it.key()) + u'=' + it.value().toString();
        return properties.join(u',');
    };
    QStringList lines;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        lines << u"block %1 [%2] [%3]"_qs.arg(block.position()).arg(describe(block.blockFormat()),
                                                                   describe(block.charFormat()));
        QString run;
        QTextCharFormat runFormat;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (!run.isEmpty() && it.fragment().charFormat() != runFormat) {
                lines << run + u" ["_qs + describe(runFormat) + u']';
                run.clear();
            }
            runFormat = it.fragment().charFormat();
            run += it.fragment().text();
        }
        if (!run.isEmpty())
            lines << run + u" ["_qs + describe(runFormat) + u']';
    }
    return lines;
}

} // namespace

class RegisterTest : public QObject
{
    Q_OBJECT

private slots:
    void textReadsAsPlainTextWould_data();
    void textReadsAsPlainTextWould();
    void appendDropsCharacterFormats_data();
    void appendDropsCharacterFormats();
    void appendWritesOnlyTheEntry();
    void appendOverFormatsEqualsWritingTheTextWhole_data();
    void appendOverFormatsEqualsWritingTheTextWhole();
    void textFollowsEditsMadeElsewhere();
    void stylingReachesTheFontAndOwnFormats();
    void stylingShowsAsMergingIntoEveryRun();
    void filesKeepTheRegister();
    void snapshotHoldsTheRegisterAsItWas_data();
    void snapshotHoldsTheRegisterAsItWas();
    void deletingEverythingUndoesAsAnEdit_data();
    void deletingEverythingUndoesAsAnEdit();
    void deletingEverythingKeepsTheRegistersStyle();
};

void RegisterTest::textReadsAsPlainTextWould_data()
{
    QTest::addColumn<QString>("before");   // written first, so that the text may be appended to it
    QTest::addColumn<QString>("text");

    const QStringList texts{u"a\u00A0b"_qs, u"a\u2028b"_qs, u"a\r\nb"_qs, u"a\rb"_qs, u"a\u2029b"_qs, u"a\nb\n"_qs,
                            u"tab\there"_qs, u"e\u0301"_qs, QString::fromUtf8("a\xF0\x9F\x98\x80")};
    for (const QString& text : texts) {
        const QString name = QString::fromLatin1(text.toUtf8().toPercentEncoding());
        QTest::addRow("%s whole", qPrintable(name)) << QString() << text;
        QTest::addRow("%s appended", qPrintable(name)) << u"Иванов "_qs << (u"Иванов "_qs + text);
        QTest::addRow("%s after it", qPrintable(name)) << (u"x"_qs + text) << (u"x"_qs + text + u"y\r\nz"_qs);
    }
    QTest::newRow("a new end after a lone high surrogate") << (u"ab"_qs + QChar(0xD83D)) << QString::fromUtf8("ab\xF0\x9F\x98\x80");
    QTest::newRow("the same text again") << u"abc"_qs << u"abc"_qs;
    QTest::newRow("a shorter text") << u"abcdef"_qs << u"abc"_qs;
    QTest::newRow("empty after text") << u"abc"_qs << QString();
}

void RegisterTest::textReadsAsPlainTextWould()
{
    QFETCH(QString, before);
    QFETCH(QString, text);

    QTextDocument reference;
    reference.setPlainText(text);
    Register entries;
    write(entries, before);
    write(entries, text);
    QCOMPARE(entries.text(), reference.toPlainText());
    QCOMPARE(entries.document().toPlainText(), reference.toPlainText());
    QCOMPARE(entries.document().blockCount(), reference.blockCount());
    QCOMPARE(entries.document().characterCount(), reference.characterCount());
    // The register's own reading and the document agree after one more entry, too.
    entries.append(u"!"_qs);
    QCOMPARE(entries.text(), reference.toPlainText() + u"!"_qs);
    QCOMPARE(entries.document().toPlainText(), entries.text());
}

void RegisterTest::appendDropsCharacterFormats_data()
{
    QTest::addColumn<QString>("rtf");
    QTest::addColumn<bool>("appended");   // the new text begins with the old one

    const QString bold = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 plain {\\b bold} end}"_qs;
    const QString coloured = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\f0 a {\\cf1 red} b}"_qs;
    const QString big = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs40 large \\i italic}"_qs;
    QTest::newRow("bold, written whole") << bold << false;
    QTest::newRow("bold, appended") << bold << true;
    QTest::newRow("colour, written whole") << coloured << false;
    QTest::newRow("colour, appended") << coloured << true;
    QTest::newRow("size and italic, appended") << big << true;
}

void RegisterTest::appendDropsCharacterFormats()
{
    QFETCH(QString, rtf);
    QFETCH(bool, appended);

    Register entries;
    entries.setText(u"Петров "_qs);
    pasteAtEnd(entries, rtf);
    QVERIFY2(hasOwnCharFormats(entries.document()), "the RTF left formats for the write to drop");
    const QString old = entries.text();
    const QString text = appended ? old + u" Сидоров\r\n"_qs : u"Сидоров"_qs;

    QTextDocument reference;
    reference.setPlainText(text);
    write(entries, text);
    QCOMPARE(entries.text(), reference.toPlainText());
    QVERIFY(!hasOwnCharFormats(entries.document()));
    QVERIFY(entries.document().begin().blockFormat().properties().isEmpty());
    QVERIFY(entries.document().begin().charFormat().properties().isEmpty());

    // Entries after that are plain too.
    entries.append(u"ещё"_qs);
    QCOMPARE(entries.text(), reference.toPlainText() + u"ещё"_qs);
    QVERIFY(!hasOwnCharFormats(entries.document()));
}

void RegisterTest::appendWritesOnlyTheEntry()
{
    Register entries;
    entries.setText(u"Иван------------Игра |"_qs);
    QSignalSpy changes(&entries.document(), &QTextDocument::contentsChange);
    entries.append(u" Пётр------------Кино |"_qs);
    // One change, at the old end, adding the entry and taking nothing away; nothing to undo into.
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 22);
    QCOMPARE(changes.at(0).at(1).toInt(), 0);
    QCOMPARE(changes.at(0).at(2).toInt(), 23);
    QVERIFY(!entries.document().isUndoAvailable());
    QCOMPARE(entries.text(), u"Иван------------Игра | Пётр------------Кино |"_qs);

    // A view that reads through an edit block changes nothing: the text kept is kept, not read again.
    const QChar* kept = entries.text().constData();
    QTextCursor reader(&entries.document());
    reader.beginEditBlock();
    reader.setPosition(3);
    reader.endEditBlock();
    QCOMPARE(entries.text().constData(), kept);
}

void RegisterTest::appendOverFormatsEqualsWritingTheTextWhole_data()
{
    QTest::addColumn<Build>("build");
    QTest::addColumn<QString>("entry");

    const QString entry = u" Пётр------------Кино |"_qs;
    const auto paste = [](const QString& rtf) {
        return [rtf](Register& entries) { pasteAtEnd(entries, rtf); };
    };
    QTest::newRow("plain") << Build([](Register& entries) { entries.setText(u"Иван------------Игра |"_qs); })
                           << entry;
    QTest::newRow("empty") << Build([](Register&) {}) << entry;
    QTest::newRow("empty, its paragraph bold") << Build([](Register& entries) {
        QTextCursor(&entries.document()).setBlockCharFormat(boldFormat());
    }) << entry;
    QTest::newRow("runs in fonts, colours, bold") << Build(paste(kRtfRuns)) << entry;
    QTest::newRow("runs, then an entry with a no-break space")
        << Build(paste(kRtfRuns)) << u" Пётр Первый------------Кино |"_qs;
    QTest::newRow("runs, then an entry of two lines") << Build(paste(kRtfRuns)) << u" Пётр\r\nКино"_qs;
    QTest::newRow("paragraphs with their own formats") << Build([](Register& entries) {
        QTextCursor cursor(&entries.document());
        for (int i = 0; i < 40; ++i) {
            QTextBlockFormat paragraph;
            paragraph.setAlignment(i % 2 ? Qt::AlignRight : Qt::AlignCenter);
            paragraph.setLeftMargin(i);
            if (i > 0)
                cursor.insertBlock(paragraph, i % 3 ? QTextCharFormat() : boldFormat());
            else
                cursor.setBlockFormat(paragraph);
            cursor.insertText(u"Запись %1"_qs.arg(i), i % 5 ? QTextCharFormat() : boldFormat());
        }
    }) << entry;
    QTest::newRow("only the first paragraph's own format") << Build([](Register& entries) {
        entries.setText(u"Иван\nИгра"_qs);
        QTextCursor(&entries.document()).setBlockCharFormat(boldFormat());
    }) << entry;
    QTest::newRow("no-break spaces and line separators") << Build([](Register& entries) {
        entries.setText(u"Иван Петров Игра | "_qs);
    }) << entry;
    QTest::newRow("no-break spaces in runs") << Build([](Register& entries) {
        pasteAtEnd(entries, kRtfRuns);
        QTextCursor end(&entries.document());
        end.movePosition(QTextCursor::End);
        end.insertText(u" a  b "_qs, boldFormat());
    }) << entry;
    QTest::newRow("ending in an empty paragraph") << Build([](Register& entries) {
        pasteAtEnd(entries, kRtfRuns);
        QTextCursor end(&entries.document());
        end.movePosition(QTextCursor::End);
        end.insertBlock(QTextBlockFormat(), boldFormat());
    }) << entry;
    QTest::newRow("a table") << Build([](Register& entries) {
        entries.setText(u"Иван"_qs);
        QTextCursor end(&entries.document());
        end.movePosition(QTextCursor::End);
        end.insertTable(2, 2)->cellAt(1, 1).firstCursorPosition().insertText(u"Игра"_qs, boldFormat());
    }) << entry;
    QTest::newRow("a frame") << Build([](Register& entries) {
        pasteAtEnd(entries, kRtfRuns);
        QTextCursor end(&entries.document());
        end.movePosition(QTextCursor::End);
        end.insertFrame(QTextFrameFormat())->firstCursorPosition().insertText(u"в рамке"_qs);
    }) << entry;
}

void RegisterTest::appendOverFormatsEqualsWritingTheTextWhole()
{
    QFETCH(Build, build);
    QFETCH(QString, entry);

    Register entries;
    Register reference;
    for (Register* r : {&entries, &reference}) {
        r->setFont(QFont(u"DejaVu Sans"_qs, 12));
        build(*r);
        // A view's edit before the accept, which the accept leaves nothing to undo into.
        QTextCursor end(&r->document());
        end.movePosition(QTextCursor::End);
        end.insertText(u"!"_qs);
    }
    // A view showing the register, its lines laid out before the accept.
    krambol::textpane::TextLines lines(entries.document());
    lines.setWidth(120);
    while (lines.layoutSome(4096)) {
    }

    entries.append(entry);
    {
        // The register written whole as its plain text and the entry, as the accept is specified.
        const QString whole = reference.text() + entry;
        reference.document().setUndoRedoEnabled(false);
        reference.document().setPlainText(whole);
        reference.document().setUndoRedoEnabled(true);
    }

    const QTextDocument& ours = entries.document();
    const QTextDocument& theirs = reference.document();
    QCOMPARE(ours.toRawText(), theirs.toRawText());
    QCOMPARE(ours.blockCount(), theirs.blockCount());
    QCOMPARE(entries.text(), theirs.toPlainText());
    QCOMPARE(formatsOf(ours), formatsOf(theirs));
    QCOMPARE(ours.rootFrame()->childFrames().size(), 0);
    QCOMPARE(krambol::rtf::write(krambol::reg::toRtfDocument(ours)),
             krambol::rtf::write(krambol::reg::toRtfDocument(theirs)));
    QCOMPARE(ours.isUndoAvailable(), theirs.isUndoAvailable());
    QCOMPARE(ours.isRedoAvailable(), theirs.isRedoAvailable());

    // The view heard of the change: its format runs and lines are those of a view made afterwards.
    QCOMPARE(lines.formatTable(), lines.formatTableFromScratch());
    krambol::textpane::TextLines fresh(const_cast<QTextDocument&>(ours));
    fresh.setWidth(120);
    while (lines.layoutSome(4096) | fresh.layoutSome(4096)) {
    }
    QCOMPARE(lines.count(), fresh.count());
    for (int i = 0; i < fresh.count(); ++i)
        QCOMPARE(lines.line(i).start, fresh.line(i).start);

    // The next entry is written as on the reference.
    entries.append(u" ещё"_qs);
    reference.append(u" ещё"_qs);
    QCOMPARE(ours.toRawText(), theirs.toRawText());
    QCOMPARE(formatsOf(ours), formatsOf(theirs));
    QCOMPARE(entries.text(), theirs.toPlainText());
}

void RegisterTest::textFollowsEditsMadeElsewhere()
{
    // A view edits the document through its own cursor; the register reads what it left.
    Register entries;
    entries.setText(u"Иван------------Игра |"_qs);
    QTextCursor cursor(&entries.document());
    cursor.setPosition(4);
    cursor.insertText(u"ушка"_qs);
    QCOMPARE(entries.text(), u"Иванушка------------Игра |"_qs);
    entries.append(u" Пётр"_qs);
    QCOMPARE(entries.text(), u"Иванушка------------Игра | Пётр"_qs);
    QTextCursor end(&entries.document());
    end.movePosition(QTextCursor::End);
    end.insertText(u" Кино"_qs);
    QCOMPARE(entries.text(), u"Иванушка------------Игра | Пётр Кино"_qs);
    entries.document().undo();
    QCOMPARE(entries.text(), u"Иванушка------------Игра | Пётр"_qs);
}

void RegisterTest::stylingReachesTheFontAndOwnFormats()
{
    Register entries;
    entries.setFont(QFont(u"DejaVu Sans"_qs, 24));
    entries.setText(u"plain "_qs);
    pasteAtEnd(entries, u"{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Serif;}}\\f0\\fs20 own}"_qs);

    entries.setBold(true);
    entries.setItalic(true);
    entries.setUnderline(true);
    entries.setPointSize(36);
    QVERIFY(entries.font().bold() && entries.font().italic() && entries.font().underline());
    QCOMPARE(entries.font().pointSizeF(), 36.0);
    QCOMPARE(entries.font().family(), u"DejaVu Sans"_qs);
    QVERIFY(hasOwnCharFormats(entries.document()));
    for (auto it = entries.document().begin().begin(); !it.atEnd(); ++it) {
        const QFont shown = it.fragment().charFormat().font().resolve(entries.font());
        QVERIFY(shown.bold() && shown.italic() && shown.underline());
        QCOMPARE(shown.pointSizeF(), 36.0);
    }
    entries.setBold(false);
    QVERIFY(!entries.font().bold());
    QCOMPARE(entries.text(), u"plain own"_qs);
}

// Styling shows (and is saved) exactly as merging the property into every run with a format of its own
// would, over runs of many distinct formats across paragraphs; it is one undo step that gives the runs
// back what they held, and styling what no run holds any more leaves no undo step.
void RegisterTest::stylingShowsAsMergingIntoEveryRun()
{
    QString rtf = u"{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}{\\f1 DejaVu Serif;}{\\f2 Liberation Mono;}}"
                  "{\\colortbl;\\red200\\green0\\blue0;\\red0\\green0\\blue200;}"_qs;
    for (int i = 0; i < 60; ++i)
        rtf += u"{\\f%1\\fs%2\\cf%3%4%5%6 run%7 }%8"_qs.arg(i % 3).arg(16 + 2 * (i % 7)).arg(i % 3)
                   .arg(i % 2 ? u"\\b"_qs : u"\\b0"_qs, i % 5 ? QString() : u"\\i"_qs,
                        i % 4 ? QString() : u"\\ul"_qs)
                   .arg(i).arg(i % 9 == 8 ? u"\\par "_qs : QString());
    rtf += u"}"_qs;

    Register entries;
    Register merged;   // styled the plain way: the property merged into every run
    for (Register* r : {&entries, &merged}) {
        r->setFont(QFont(u"DejaVu Sans"_qs, 24));
        r->setText(u"plain "_qs);
        pasteAtEnd(*r, rtf);
    }
    const auto mergeIntoEveryRun = [&](const QTextCharFormat& property) {
        merged.setFont(property.font().resolve(merged.font()));
        QList<QPair<int, int>> runs;
        for (QTextBlock block = merged.document().begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (!it.fragment().charFormat().properties().isEmpty())
                    runs.append({it.fragment().position(), it.fragment().position() + it.fragment().length()});
        QTextCursor cursor(&merged.document());
        cursor.beginEditBlock();
        for (const auto& [start, end] : runs) {
            cursor.setPosition(start);
            cursor.setPosition(end, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(property);
        }
        cursor.endEditBlock();
    };
    const QString before = entries.rtfBetween(0, -1);
    const int undoSteps = entries.document().availableUndoSteps();

    struct Step
    {
        void (Register::*style)(bool);
        bool on;
        qreal points;   // a size instead, when above 0
    };
    const Step steps[] = {{&Register::setBold, true, 0}, {&Register::setItalic, true, 0},
                          {nullptr, false, 30},          {&Register::setUnderline, true, 0},
                          {&Register::setBold, false, 0}, {nullptr, false, 12},
                          {&Register::setUnderline, false, 0}};
    for (const Step& step : steps) {
        QTextCharFormat property;
        if (step.points > 0) {
            entries.setPointSize(step.points);
            property.setFontPointSize(step.points);
        } else {
            (entries.*step.style)(step.on);
            if (step.style == &Register::setBold)
                property.setFontWeight(step.on ? QFont::Bold : QFont::Normal);
            else if (step.style == &Register::setItalic)
                property.setFontItalic(step.on);
            else
                property.setFontUnderline(step.on);
        }
        mergeIntoEveryRun(property);
        QCOMPARE(entries.font(), merged.font());
        QCOMPARE(entries.rtfBetween(0, -1), merged.rtfBetween(0, -1));
    }
    // Bold, italic, the size and underline each took one step; bold, the size and underline once more found
    // nothing holding them. Undone, the runs hold what they held before, under the register's font as it is.
    int undone = 0;
    for (; entries.document().availableUndoSteps() > undoSteps; ++undone)
        entries.document().undo();
    QCOMPARE(undone, 4);
    for (int i = 0; i < int(std::size(steps)); ++i)
        merged.document().undo();
    QCOMPARE(merged.document().availableUndoSteps(), undoSteps);
    QCOMPARE(entries.rtfBetween(0, -1), merged.rtfBetween(0, -1));
    QVERIFY(entries.rtfBetween(0, -1) != before);   // the register's font stays styled
}

void RegisterTest::filesKeepTheRegister()
{
    krambol::testing::TempFolder folder;
    folder.make();
    const QString path = folder.path(u"список.krm"_qs);
    Register entries;
    entries.setText(u"Иван------------Игра |"_qs);
    pasteAtEnd(entries, u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 {\\b Пётр}}"_qs);
    QCOMPARE(entries.save(path), std::nullopt);

    Register opened;
    opened.setText(u"прежнее"_qs);
    QCOMPARE(opened.open(path), std::nullopt);
    QCOMPARE(opened.text(), entries.text());
    QVERIFY(hasOwnCharFormats(opened.document()));
    QVERIFY(!opened.document().isUndoAvailable());

    // A file that cannot be read leaves the register as it was.
    const std::optional<QString> error = opened.open(folder.path(u"нет.krm"_qs));
    QVERIFY(error && !error->isEmpty());
    QCOMPARE(opened.text(), entries.text());
}

void RegisterTest::snapshotHoldsTheRegisterAsItWas_data()
{
    QTest::addColumn<Build>("build");
    QTest::newRow("empty") << Build([](Register&) {});
    QTest::newRow("plain, one paragraph") << Build([](Register& entries) {
        write(entries, u"Иван------------Игра |"_qs);
        write(entries, u"Иван------------Игра | Пётр------------Кино |"_qs);
    });
    QTest::newRow("plain, in another font") << Build([](Register& entries) {
        entries.setText(u"Иван------------Игра |"_qs);
        entries.setFont(QFont(u"DejaVu Sans"_qs, 15));
        entries.setBold(true);
    });
    QTest::newRow("plain, paragraphs") << Build([](Register& entries) { entries.setText(u"Иван\nИгра\n"_qs); });
    QTest::newRow("no-break spaces and line separators") << Build([](Register& entries) {
        entries.setText(u"Иван\u00a0Петров\u2028Игра |"_qs);
    });
    QTest::newRow("runs in fonts, colours, bold") << Build([](Register& entries) {
        entries.setText(u"Иван------------Игра |"_qs);
        pasteAtEnd(entries, kRtfRuns);
    });
}

// What a save writes is the register as it was when the save began, run for run, whatever happens to the
// register while the file is written.
void RegisterTest::snapshotHoldsTheRegisterAsItWas()
{
    QFETCH(Build, build);
    Register entries;
    build(entries);
    (void)entries.text();
    const krambol::rtf::Document snapshot = entries.snapshot();
    const QByteArray written = krambol::rtf::write(krambol::reg::toRtfDocument(entries.document()));
    QCOMPARE(krambol::rtf::write(snapshot), written);
    QVERIFY(snapshot == krambol::reg::toRtfDocument(entries.document()));

    entries.append(u" Пётр------------Кино |"_qs);
    entries.setItalic(true);
    QCOMPARE(krambol::rtf::write(snapshot), written);
}

void RegisterTest::deletingEverythingUndoesAsAnEdit_data()
{
    // Keys, each as the user presses them: A select all, D Delete, B Backspace, X cut, Z undo, Y redo, E
    // to the end, H to the start; anything else is typed.
    QTest::addColumn<QString>("shape");
    QTest::addColumn<QString>("keys");
    for (const char* shape : {"plain", "paragraphs", "formatted"}) {
        const auto row = [&](const char* name, const char* keys) {
            QTest::addRow("%s: %s", shape, name) << QString::fromLatin1(shape) << QString::fromLatin1(keys);
        };
        row("delete, undo, redo, undo", "ADZYZ");
        row("cut", "AXZ");
        row("Backspace", "ABZY");
        row("typing after, undone and redone", "ADqwZZYYZZZ");
        row("edits before come back in order", "EqHwADZZZZYYYY");
        row("an edit after undo ends redo", "ADZHqYYZ");
        row("what redo had before goes", "EqZADZY");
        row("twice", "ADqADZZZZYYY");
        row("nothing to undo or redo", "ZYADYZZ");
    }
}

// Deleting the whole register exchanges documents; whatever the keys after it, the register and the
// caret are as Qt's own undo history would leave them.
void RegisterTest::deletingEverythingUndoesAsAnEdit()
{
    QFETCH(QString, shape);
    QFETCH(QString, keys);

    Register entries;
    fillShape(entries.document(), shape);
    entries.document().clearUndoRedoStacks();
    RichTextBox pane;
    pane.setDocument(&entries.document());
    entries.onDocumentReplaced([&](int caret) { pane.setDocument(&entries.document(), caret); });
    pane.setWholeContent({[&] { return entries.clearWhole(); }, [&] { return entries.undoClear(); },
                          [&] { return entries.redoClear(); }});

    QTextDocument reference;
    fillShape(reference, shape);
    reference.clearUndoRedoStacks();
    RichTextBox plain;
    plain.setDocument(&reference);

    for (qsizetype i = 0; i < keys.size(); ++i) {
        for (RichTextBox* box : {&pane, &plain}) {
            switch (keys.at(i).unicode()) {
            case u'A': QTest::keySequence(box, QKeySequence::SelectAll); break;
            case u'D': QTest::keyClick(box, Qt::Key_Delete); break;
            case u'B': QTest::keyClick(box, Qt::Key_Backspace); break;
            case u'X': QTest::keySequence(box, QKeySequence::Cut); break;
            case u'Z': QTest::keySequence(box, QKeySequence::Undo); break;
            case u'Y': QTest::keySequence(box, QKeySequence::Redo); break;
            case u'E': QTest::keySequence(box, QKeySequence::MoveToEndOfDocument); break;
            case u'H': QTest::keySequence(box, QKeySequence::MoveToStartOfDocument); break;
            default: QTest::keyClicks(box, QString(keys.at(i)));
            }
        }
        const QByteArray step = "after " + keys.left(i + 1).toLatin1();
        QVERIFY2(pane.document() == &entries.document(), step);
        QVERIFY2(contentsOf(entries.document()) == contentsOf(reference), step);
        QCOMPARE(entries.text(), reference.toPlainText());
        QVERIFY2(pane.textCursor().anchor() == plain.textCursor().anchor(), step);
        QVERIFY2(pane.textCursor().position() == plain.textCursor().position(), step);
    }
}

// The register's font is a style of the whole register: undoing a deletion does not take it back, and
// a change that is not undone (an accept) ends the history across the deletion too.
void RegisterTest::deletingEverythingKeepsTheRegistersStyle()
{
    Register entries;
    entries.setFont(QFont(u"Arial"_qs, 24));
    entries.setText(u"Иванов Дюна"_qs);
    QVERIFY(entries.clearWhole());
    QCOMPARE(entries.document().toPlainText(), QString());
    entries.setBold(true);
    QVERIFY(entries.undoClear());
    QCOMPARE(entries.text(), u"Иванов Дюна"_qs);
    QVERIFY(entries.font().bold());
    QCOMPARE(entries.document().defaultFont(), entries.font());

    QVERIFY(entries.redoClear());
    entries.append(u"Петров"_qs);
    QVERIFY(!entries.undoClear());
    QCOMPARE(entries.text(), u"Петров"_qs);
}

QTEST_MAIN(RegisterTest)
#include "tst_register.moc"
