// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Progress.h"
#include "support/PdfPrinter.h"
#include "support/ScriptedServices.h"
#include "support/ShownPane.h"
#include "textpane/RichTextBox.h"
#include "textpane/TextKeys.h"
#include "textpane/TextPrinter.h"

#include <QApplication>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>

using krambol::textpane::RichTextBox;
using krambol::testing::ScriptedClipboard;

namespace {

// Presses the platform's first binding of a standard key, whatever the platform binds it to.
void press(QWidget* widget, QKeySequence::StandardKey key)
{
    const QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    QVERIFY2(!bindings.isEmpty(), "the platform binds the key");
    const QKeyCombination combination = bindings.first()[0];
    QTest::keyClick(widget, combination.key(), combination.keyboardModifiers());
}

bool hasPixelOf(const QImage& image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                return true;
    return false;
}

} // namespace

class PaneEditingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void standardKeysEdit_data();
    void standardKeysEdit();
    void wordMovesCrossWordsOfAnyLength_data();
    void wordMovesCrossWordsOfAnyLength();
    void copiesTheSelectionAsItWasWhenCopied_data();
    void copiesTheSelectionAsItWasWhenCopied();

    void preeditIsShownAtTheCaretUntilCommitted_data();
    void preeditIsShownAtTheCaretUntilCommitted();
    void preeditWhileLockedShowsNothing();

    void primarySelection_data();
    void primarySelection();

    void drops_data();
    void drops();
    void aDropWhileTheTextPrintsIsRefused();
    void dragsFromThePane_data();
    void dragsFromThePane();

    void givenDocumentKeepsItsFont();

private:
    void setCaret(int anchor, int position);
    QPoint pointOf(int position);

    QWidget* m_window = nullptr;
    RichTextBox* m_box = nullptr;
    ScriptedClipboard m_clipboard;
};

void PaneEditingTest::init()
{
    m_clipboard = ScriptedClipboard();
    m_window = new QWidget;
    m_box = new RichTextBox(m_window);
    m_box->setGeometry(0, 0, 400, 160);
    m_box->setClipboard(&m_clipboard);
    new QLineEdit(m_window);   // somewhere for the focus to go
    m_window->resize(400, 200);
    krambol::testing::showWithFocusIn(m_window, m_box);
}

void PaneEditingTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void PaneEditingTest::setCaret(int anchor, int position)
{
    krambol::testing::selectRange(*m_box, anchor, position);
}

QPoint PaneEditingTest::pointOf(int position)
{
    const QRect character = m_box->characterRect(position);
    return QPoint(character.left() + 1, character.center().y());
}

// --- keys -------------------------------------------------------------------------------------------------

void PaneEditingTest::standardKeysEdit_data()
{
    QTest::addColumn<int>("key");   // QKeySequence::StandardKey
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("expectedAnchor");
    QTest::addColumn<int>("expectedPosition");
    QTest::addColumn<QString>("clipboard");   // what the clipboard holds afterwards ("before" at start)

    // "one two" 0-7, "one three" 8-17: the lines begin alike, so a column is a position.
    const QString t = u"one two\none three"_qs;
    // Moves and selections, locked or not.
    for (const bool locked : {false, true}) {
        const QByteArray lock = locked ? " (locked)" : "";
        QTest::newRow("select next word" + lock) << int(QKeySequence::SelectNextWord) << locked << t << 0 << 0 << t << 0 << 4 << u"before"_qs;
        QTest::newRow("select previous word" + lock) << int(QKeySequence::SelectPreviousWord) << locked << t << 7 << 7 << t << 7 << 4 << u"before"_qs;
        QTest::newRow("select end of line" + lock) << int(QKeySequence::SelectEndOfLine) << locked << t << 2 << 2 << t << 2 << 7 << u"before"_qs;
        QTest::newRow("select start of line" + lock) << int(QKeySequence::SelectStartOfLine) << locked << t << 10 << 10 << t << 10 << 8 << u"before"_qs;
        QTest::newRow("select end of document" + lock) << int(QKeySequence::SelectEndOfDocument) << locked << t << 4 << 4 << t << 4 << 17 << u"before"_qs;
        QTest::newRow("select next line" + lock) << int(QKeySequence::SelectNextLine) << locked << t << 1 << 1 << t << 1 << 9 << u"before"_qs;
        QTest::newRow("move to next word" + lock) << int(QKeySequence::MoveToNextWord) << locked << t << 0 << 3 << t << 4 << 4 << u"before"_qs;
        QTest::newRow("move to end of document" + lock) << int(QKeySequence::MoveToEndOfDocument) << locked << t << 0 << 0 << t << 17 << 17 << u"before"_qs;
        QTest::newRow("copy" + lock) << int(QKeySequence::Copy) << locked << t << 4 << 12 << t << 4 << 12 << u"two\none "_qs;
    }
    // Text changes while unlocked, through the clipboard seam.
    QTest::newRow("cut") << int(QKeySequence::Cut) << false << t << 0 << 4 << u"two\none three"_qs << 0 << 0 << u"one "_qs;
    QTest::newRow("paste replaces the selection") << int(QKeySequence::Paste) << false << t << 4 << 7 << u"one before\none three"_qs << 10 << 10 << u"before"_qs;
    QTest::newRow("delete end of word") << int(QKeySequence::DeleteEndOfWord) << false << t << 0 << 0 << u"two\none three"_qs << 0 << 0 << u"before"_qs;
    QTest::newRow("delete start of word") << int(QKeySequence::DeleteStartOfWord) << false << t << 7 << 7 << u"one \none three"_qs << 4 << 4 << u"before"_qs;
    QTest::newRow("new paragraph") << int(QKeySequence::InsertParagraphSeparator) << false << t << 3 << 3 << u"one\n two\none three"_qs << 4 << 4 << u"before"_qs;
    QTest::newRow("a line break is a paragraph too") << int(QKeySequence::InsertLineSeparator) << false << t << 3 << 3 << u"one\n two\none three"_qs << 4 << 4 << u"before"_qs;
    // ... and none while locked.
    QTest::newRow("cut (locked)") << int(QKeySequence::Cut) << true << t << 0 << 4 << t << 0 << 4 << u"before"_qs;
    QTest::newRow("paste (locked)") << int(QKeySequence::Paste) << true << t << 4 << 7 << t << 4 << 7 << u"before"_qs;
    QTest::newRow("delete end of word (locked)") << int(QKeySequence::DeleteEndOfWord) << true << t << 0 << 0 << t << 0 << 0 << u"before"_qs;
    QTest::newRow("new paragraph (locked)") << int(QKeySequence::InsertParagraphSeparator) << true << t << 3 << 3 << t << 3 << 3 << u"before"_qs;
}

void PaneEditingTest::standardKeysEdit()
{
    QFETCH(int, key);
    QFETCH(bool, locked);
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, expected);
    QFETCH(int, expectedAnchor);
    QFETCH(int, expectedPosition);
    QFETCH(QString, clipboard);

    m_box->setText(text);
    m_box->setLocked(locked);
    setCaret(anchor, position);
    m_clipboard.content = u"before"_qs;
    press(m_box, QKeySequence::StandardKey(key));
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->textCursor().anchor(), expectedAnchor);
    QCOMPARE(m_box->textCursor().position(), expectedPosition);
    QCOMPARE(m_clipboard.text().value_or(QString()), clipboard);
}

// A copy or cut of any size gives the selection's text as it was, paragraphs ended by line feeds, whatever
// the pane shows after it; a long selection is read another way than a short one.
void PaneEditingTest::copiesTheSelectionAsItWasWhenCopied_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("key");

    const QString longParagraph = u"слово "_qs.repeated(20000);
    QString paragraphs;
    for (int i = 0; i < 6000; ++i)
        paragraphs += u"строка %1\u00a0номер\u2028конец\n"_qs.arg(i);
    const QString shortText = u"один\nдва три"_qs;
    for (const int key : {int(QKeySequence::Copy), int(QKeySequence::Cut)}) {
        const char* name = key == int(QKeySequence::Copy) ? "copy" : "cut";
        QTest::addRow("%s, short", name) << shortText << 2 << 8 << key;
        QTest::addRow("%s, long paragraph, all", name) << longParagraph << 0 << int(longParagraph.size()) << key;
        QTest::addRow("%s, paragraphs, all", name) << paragraphs << 0 << int(paragraphs.size()) << key;
        QTest::addRow("%s, paragraphs, a part", name) << paragraphs << 17 << int(paragraphs.size()) - 23 << key;
    }
}

void PaneEditingTest::copiesTheSelectionAsItWasWhenCopied()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, key);

    QTextDocument reference;
    reference.setPlainText(text);
    QTextCursor selected(&reference);
    selected.setPosition(from);
    selected.setPosition(to, QTextCursor::KeepAnchor);
    const QString expected = selected.selectedText().replace(QChar::ParagraphSeparator, u'\n');

    m_box->setText(text);
    m_box->setLocked(false);
    setCaret(from, to);
    press(m_box, QKeySequence::StandardKey(key));
    setCaret(0, 0);
    QTest::keyClicks(m_box, u"x"_qs);
    QCOMPARE(m_clipboard.text().value_or(QString()), expected);
}

void PaneEditingTest::wordMovesCrossWordsOfAnyLength_data()
{
    QTest::addColumn<int>("wordLength");
    QTest::addColumn<int>("blanks");

    QTest::newRow("short") << 5 << 1;
    QTest::newRow("just past a reading step") << 513 << 1;
    QTest::newRow("many steps") << 5000 << 3;
    QTest::newRow("long blanks") << 3 << 2000;
}

void PaneEditingTest::wordMovesCrossWordsOfAnyLength()
{
    QFETCH(int, wordLength);
    QFETCH(int, blanks);

    // "ab <long word><blanks>cd": the moves stop at the long word's start and at the word after it.
    const QString word(wordLength, u'ж');
    m_box->setText(u"ab "_qs + word + QString(blanks, u' ') + u"cd"_qs);
    const int wordStart = 3;
    const int next = wordStart + wordLength + blanks;
    setCaret(wordStart, wordStart);
    press(m_box, QKeySequence::MoveToNextWord);
    QCOMPARE(m_box->textCursor().position(), next);
    press(m_box, QKeySequence::MoveToPreviousWord);
    QCOMPARE(m_box->textCursor().position(), wordStart);
    // From inside the word, back to its start; a double click takes all of it.
    setCaret(wordStart + wordLength - 1, wordStart + wordLength - 1);
    press(m_box, QKeySequence::MoveToPreviousWord);
    QCOMPARE(m_box->textCursor().position(), wordStart);
    m_box->setLocked(false);
    setCaret(next + 2, next + 2);
    press(m_box, QKeySequence::DeleteStartOfWord);
    press(m_box, QKeySequence::DeleteStartOfWord);
    QCOMPARE(m_box->text(), u"ab "_qs);
}

// --- input methods ----------------------------------------------------------------------------------------

void PaneEditingTest::preeditIsShownAtTheCaretUntilCommitted_data()
{
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<int>("cursor");        // the input method's caret in the pre-edit, -1: none given
    QTest::addColumn<QString>("commit");
    QTest::addColumn<int>("replaceFrom");   // relative to the caret
    QTest::addColumn<int>("replaceLength");
    QTest::addColumn<QString>("expected");

    QTest::newRow("committed as composed") << u"ни"_qs << 2 << u"ниж"_qs << 0 << 0 << u"abнижcd"_qs;
    QTest::newRow("caret inside the pre-edit") << u"ниж"_qs << 1 << u"ниж"_qs << 0 << 0 << u"abнижcd"_qs;
    QTest::newRow("no caret given") << u"x"_qs << -1 << u"y"_qs << 0 << 0 << u"abycd"_qs;
    QTest::newRow("commit replaces the letter before") << u"é"_qs << 1 << u"é"_qs << -1 << 1 << u"aécd"_qs;
    QTest::newRow("composition given up") << u"ни"_qs << 2 << QString() << 0 << 0 << u"abcd"_qs;
}

void PaneEditingTest::preeditIsShownAtTheCaretUntilCommitted()
{
    QFETCH(QString, preedit);
    QFETCH(int, cursor);
    QFETCH(QString, commit);
    QFETCH(int, replaceFrom);
    QFETCH(int, replaceLength);
    QFETCH(QString, expected);

    m_box->setText(u"abcd"_qs);
    setCaret(2, 2);
    const QRect plainCaret = m_box->cursorRect();
    const QImage before = m_box->viewport()->grab().toImage();

    // The pre-edit comes with a background of its own so that its drawing can be seen.
    const QColor marker(255, 0, 255);
    QTextCharFormat format;
    format.setBackground(marker);
    format.setFontUnderline(true);
    QList<QInputMethodEvent::Attribute> attributes{
        {QInputMethodEvent::TextFormat, 0, int(preedit.size()), format}};
    if (cursor >= 0)
        attributes.append({QInputMethodEvent::Cursor, cursor, 1, QVariant()});
    QInputMethodEvent composing(preedit, attributes);
    QApplication::sendEvent(m_box, &composing);

    // Shown, not written: the document, the surrounding text and the caret's place in it are as before;
    // the caret the input method is told of stands inside the pre-edit.
    QCOMPARE(m_box->text(), u"abcd"_qs);
    QCOMPARE(m_box->inputMethodQuery(Qt::ImSurroundingText).toString(), u"abcd"_qs);
    QCOMPARE(m_box->inputMethodQuery(Qt::ImCursorPosition).toInt(), 2);
    const int shownCursor = cursor >= 0 ? cursor : int(preedit.size());
    const QRectF reported = m_box->inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    QCOMPARE(reported.toRect(), m_box->cursorRect().translated(m_box->viewport()->pos()));
    if (shownCursor > 0)
        QVERIFY(m_box->cursorRect().x() > plainCaret.x());
    const QImage shown = m_box->viewport()->grab().toImage();
    QVERIFY(!hasPixelOf(before, marker.rgb()));
    QVERIFY2(hasPixelOf(shown, marker.rgb()), "the pre-edit is drawn in its format");

    // The commit takes the pre-edit's place.
    QInputMethodEvent committed;
    committed.setCommitString(commit, replaceFrom, replaceLength);
    QApplication::sendEvent(m_box, &committed);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->textCursor().position(), int(expected.size()) - 2);
    QVERIFY(!hasPixelOf(m_box->viewport()->grab().toImage(), marker.rgb()));
    QCOMPARE(m_box->cursorRect().x(), m_box->characterRect(int(expected.size()) - 2).x());
}

void PaneEditingTest::preeditWhileLockedShowsNothing()
{
    m_box->setText(u"abcd"_qs);
    setCaret(2, 2);
    QInputMethodEvent composing(u"ни"_qs, {});
    QApplication::sendEvent(m_box, &composing);
    const QRect composingCaret = m_box->cursorRect();

    // Locking drops what was being composed; while locked nothing is composed.
    m_box->setLocked(true);
    QVERIFY(m_box->cursorRect().x() < composingCaret.x());
    QApplication::sendEvent(m_box, &composing);
    QCOMPARE(m_box->cursorRect().x(), m_box->characterRect(2).x());
    QCOMPARE(m_box->text(), u"abcd"_qs);

    // A write of the application's own drops it too.
    m_box->setLocked(false);
    QApplication::sendEvent(m_box, &composing);
    m_box->setText(u"xy"_qs);
    QCOMPARE(m_box->cursorRect().x(), m_box->characterRect(0).x());
}

// --- the primary selection --------------------------------------------------------------------------------

void PaneEditingTest::primarySelection_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("supported");
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("selection");   // the primary selection afterwards
    QTest::addColumn<QString>("text");

    // "one two three"; the primary selection holds "old" at the start.
    const QString t = u"one two three"_qs;
    for (const bool locked : {false, true}) {
        const QByteArray lock = locked ? " (locked)" : "";
        QTest::newRow("mouse drag" + lock) << u"drag"_qs << true << locked << u"two"_qs << t;
        QTest::newRow("shift+click" + lock) << u"shift-click"_qs << true << locked << u"one two"_qs << t;
        QTest::newRow("double click" + lock) << u"double-click"_qs << true << locked << u"three"_qs << t;
        QTest::newRow("keys" + lock) << u"keys"_qs << true << locked << u"one"_qs << t;
        QTest::newRow("a click selects nothing" + lock) << u"click"_qs << true << locked << u"old"_qs << t;
    }
    QTest::newRow("middle click pastes where it is") << u"middle"_qs << true << false << u"old"_qs << u"one twoold three"_qs;
    QTest::newRow("middle click while locked") << u"middle"_qs << true << true << u"old"_qs << t;
    QTest::newRow("no primary selection: drag") << u"drag"_qs << false << false << u"old"_qs << t;
    QTest::newRow("no primary selection: middle click") << u"middle"_qs << false << false << u"old"_qs << t;
}

void PaneEditingTest::primarySelection()
{
    QFETCH(QString, action);
    QFETCH(bool, supported);
    QFETCH(bool, locked);
    QFETCH(QString, selection);
    QFETCH(QString, text);

    m_clipboard.hasSelection = true;
    m_clipboard.selection = u"old"_qs;
    m_clipboard.hasSelection = supported;
    m_box->setText(u"one two three"_qs);
    m_box->setLocked(locked);
    QWidget* view = m_box->viewport();
    if (action == u"drag") {
        QTest::mousePress(view, Qt::LeftButton, {}, pointOf(4));
        QTest::mouseMove(view, pointOf(7));
        QTest::mouseRelease(view, Qt::LeftButton, {}, pointOf(7));
    } else if (action == u"shift-click") {
        setCaret(0, 0);
        QTest::mouseClick(view, Qt::LeftButton, Qt::ShiftModifier, pointOf(7));
    } else if (action == u"double-click") {
        QTest::mouseDClick(view, Qt::LeftButton, {}, pointOf(10));
    } else if (action == u"keys") {
        setCaret(0, 0);
        press(m_box, QKeySequence::SelectNextChar);
        press(m_box, QKeySequence::SelectNextChar);
        press(m_box, QKeySequence::SelectNextChar);
    } else if (action == u"click") {
        QTest::mouseClick(view, Qt::LeftButton, {}, pointOf(5));
    } else if (action == u"middle") {
        setCaret(0, 3);
        QTest::mouseClick(view, Qt::MiddleButton, {}, pointOf(7));
        if (text != u"one two three"_qs) {
            QCOMPARE(m_box->textCursor().position(), 10);
            QCOMPARE(m_box->selectionLength(), 0);
        }
    }
    m_clipboard.hasSelection = true;
    QCOMPARE(m_clipboard.selection, selection);
    QCOMPARE(m_box->text(), text);
    QCOMPARE(m_clipboard.content, QString());   // the clipboard itself is left alone
}

// --- drag and drop ----------------------------------------------------------------------------------------

void PaneEditingTest::drops_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<bool>("plainText");
    QTest::addColumn<QString>("expected");

    QTest::newRow("text from another program") << false << true << u"one XY two"_qs;
    QTest::newRow("while locked") << true << true << u"one two"_qs;
    QTest::newRow("no plain text") << false << false << u"one two"_qs;
}

void PaneEditingTest::drops()
{
    QFETCH(bool, locked);
    QFETCH(bool, plainText);
    QFETCH(QString, expected);

    m_box->setText(u"one two"_qs);
    m_box->setLocked(locked);
    QMimeData data;
    if (plainText)
        data.setText(u"XY "_qs);
    else
        data.setHtml(u"<b>XY</b>"_qs);
    const QPoint at = pointOf(4);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_box->viewport(), &enter);
    QCOMPARE(enter.isAccepted(), !locked && plainText);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(m_box->viewport(), &drop);
    QCOMPARE(drop.isAccepted(), !locked && plainText);
    QCOMPARE(m_box->text(), expected);
    if (expected != u"one two"_qs)
        QCOMPARE(m_box->textCursor().position(), 7);
}

// While the pages are made the window handles its events; a drop then leaves the text as it is printed.
void PaneEditingTest::aDropWhileTheTextPrintsIsRefused()
{
    const QString text = u"Иван------Игра | "_qs.repeated(3000);
    m_box->setText(text);
    QTemporaryDir dir;
    const auto printer = krambol::testing::pdfPrinter(dir.filePath(u"register.pdf"_qs));
    krambol::platform::QtProgress progress(m_window);
    QMimeData data;
    data.setText(u"XY "_qs);
    bool dropped = true;
    QTimer::singleShot(0, m_box, [&] {
        QDropEvent drop(pointOf(4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(m_box->viewport(), &drop);
        dropped = drop.isAccepted();
    });
    QCOMPARE(m_box->printSelection(printer.get(), progress), krambol::textpane::PrintOutcome::Printed);
    QVERIFY(!dropped);
    QCOMPARE(m_box->text(), text);
}

void PaneEditingTest::dragsFromThePane_data()
{
    QTest::addColumn<bool>("locked");
    QTest::addColumn<QString>("dropAt");   // "here": at "three"'s start; "away": in another program
    QTest::addColumn<bool>("control");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("allowed");      // the drop actions offered

    const int both = int(Qt::CopyAction | Qt::MoveAction);
    QTest::newRow("moved inside") << false << u"here"_qs << false << u"one three two"_qs << both;
    QTest::newRow("copied inside with ctrl") << false << u"here"_qs << true << u"one two three two"_qs << both;
    QTest::newRow("dropped onto itself") << false << u"itself"_qs << false << u"one two three"_qs << both;
    QTest::newRow("moved away") << false << u"away"_qs << false << u"one three"_qs << both;
    QTest::newRow("locked: copied away only") << true << u"away"_qs << false << u"one two three"_qs << int(Qt::CopyAction);
    QTest::newRow("locked: never dropped inside") << true << u"here"_qs << false << u"one two three"_qs << int(Qt::CopyAction);
}

void PaneEditingTest::dragsFromThePane()
{
    QFETCH(bool, locked);
    QFETCH(QString, dropAt);
    QFETCH(bool, control);
    QFETCH(QString, expected);
    QFETCH(int, allowed);

    const QString text = u"one two three"_qs;
    m_box->setText(text);
    m_box->setLocked(locked);
    const QPoint target = dropAt == u"itself" ? pointOf(5) : pointOf(13);
    QString dragged;
    int offered = 0;
    m_box->setDragRunner([&](QDrag& drag, Qt::DropActions actions, Qt::DropAction preferred) {
        dragged = drag.mimeData()->text();
        offered = int(actions);
        if (dropAt == u"away")
            return preferred;
        // The drag manager makes the drag's preferred action the drop's, Ctrl a copy.
        const Qt::KeyboardModifiers modifiers = control ? Qt::ControlModifier : Qt::NoModifier;
        QDragEnterEvent enter(target, actions, drag.mimeData(), Qt::LeftButton, modifiers);
        QApplication::sendEvent(m_box->viewport(), &enter);
        QDropEvent drop(target, actions, drag.mimeData(), Qt::LeftButton, modifiers);
        drop.setDropAction(control ? Qt::CopyAction : preferred);
        QApplication::sendEvent(m_box->viewport(), &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    });
    setCaret(3, 7);   // " two"
    QWidget* view = m_box->viewport();
    QTest::mousePress(view, Qt::LeftButton, {}, pointOf(5));
    QTest::mouseMove(view, pointOf(5) + QPoint(QApplication::startDragDistance() + 5, 0));
    QTest::mouseRelease(view, Qt::LeftButton, {}, pointOf(5));
    QCOMPARE(dragged, u" two"_qs);
    QCOMPARE(offered, allowed);
    QCOMPARE(m_box->text(), expected);
    // A move inside is one step to undo.
    if (!locked && expected != text && dropAt != u"away") {
        QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_box->text(), text);
    }
}

// --- ownership ----------------------------------------------------------------------------------------------

void PaneEditingTest::givenDocumentKeepsItsFont()
{
    // A document given to the pane keeps its own font: the window's font, changed later, reaches neither
    // it nor what the pane tells an input method.
    QTextDocument document;
    QFont own(u"DejaVu Sans"_qs, 24);
    own.setBold(true);
    document.setDefaultFont(own);
    document.setPlainText(u"Иван"_qs);
    m_box->setDocument(&document);
    m_window->setFont(QFont(u"DejaVu Serif"_qs, 8));
    QApplication::processEvents();
    for (const QFont& font : {document.defaultFont(), m_box->inputMethodQuery(Qt::ImFont).value<QFont>()}) {
        QCOMPARE(font.family(), u"DejaVu Sans"_qs);
        QCOMPARE(font.pointSizeF(), 24.0);
        QVERIFY(font.bold());
    }
    QCOMPARE(m_box->text(), u"Иван"_qs);
    // Given back, the pane shows its own document in the widget's font again.
    m_box->setDocument(nullptr);
    QCOMPARE(m_box->document()->defaultFont().family(), m_box->font().family());
    QVERIFY(m_box->document() != &document);
}

QTEST_MAIN(PaneEditingTest)
#include "tst_paneediting.moc"
