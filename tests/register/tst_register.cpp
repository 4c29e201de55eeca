// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/Register.h"
#include "support/TempFolder.h"

#include <QAbstractTextDocumentLayout>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

using krambol::reg::Register;

namespace {

// Whether any text of the document carries a character format of its own.
bool hasOwnCharFormats(const QTextDocument& document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (!it.fragment().charFormat().properties().isEmpty())
                return true;
    return false;
}

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
    void textFollowsEditsMadeElsewhere();
    void stylingReachesTheFontAndOwnFormats();
    void filesKeepTheRegister();
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
    for (auto it = entries.document().begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat format = it.fragment().charFormat();
        if (format.properties().isEmpty())
            continue;   // shown in the register's font
        QCOMPARE(format.fontWeight(), int(QFont::Bold));
        QVERIFY(format.fontItalic() && format.fontUnderline());
        QCOMPARE(format.fontPointSize(), 36.0);
    }
    entries.setBold(false);
    QVERIFY(!entries.font().bold());
    QCOMPARE(entries.text(), u"plain own"_qs);
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

QTEST_MAIN(RegisterTest)
#include "tst_register.moc"
