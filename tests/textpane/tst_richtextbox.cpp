// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/CharFormats.h"
#include "support/ShownPane.h"
#include "textpane/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QElapsedTimer>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

using krambol::textpane::RichTextBox;

using krambol::testing::hasOwnCharFormats;

namespace {

// Words short enough that a narrow pane wraps between them, never inside one.
QString manyWords(int count)
{
    static const QStringList words{u"alpha"_qs, u"beta"_qs, u"gamma"_qs, u"delta"_qs, u"omega"_qs, u"sigma"_qs};
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << words[i % words.size()];
    return out.join(u' ');
}

// Types the text key by key; letters beyond ASCII come as their own keys, as a Russian layout sends them.
void type(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
}

} // namespace

class RichTextBoxTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void unlockedKeysEdit_data();
    void unlockedKeysEdit();
    void tabAndShiftTabMoveFocusWhileEditing();
    void tabChangesFocusMakesCtrlTabMoveFocus();
    void undoAndRedoTakeBackTyping();
    void inputMethodCommitInserts();
    void inputMethodReplacesTextNextToTheCaret_data();
    void inputMethodReplacesTextNextToTheCaret();
    void inputMethodFindsTheCaretInTheSurroundingText_data();
    void inputMethodFindsTheCaretInTheSurroundingText();

    void lockedKeysChangeNothing_data();
    void lockedKeysChangeNothing();
    void lockedTabMovesFocus();
    void lockedInputMethodTypesNothing();
    void caretAndSelectionMoveWhateverTheLock_data();
    void caretAndSelectionMoveWhateverTheLock();

    void upDownKeepTheColumnAcrossWrappedLines();
    void homeEndGoToTheVisualLinesEnds();
    void clickPutsTheCaretAtTheClickedCharacter_data();
    void clickPutsTheCaretAtTheClickedCharacter();
    void dragSelects();
    void shiftClickExtendsTheSelection();
    void doubleClickSelectsAWord();
    void mouseSignalsCarryButtonModifiersAndPanePosition();
    void selectionIsPaintedWhereItIs();
    void clickTakesTheFocus();

    void editsLayOutAsAFreshPaneWould_data();
    void editsLayOutAsAFreshPaneWould();

    void editsBeforeTheLayoutIsDoneLayOutAsAFreshPaneWould_data();
    void editsBeforeTheLayoutIsDoneLayOutAsAFreshPaneWould();

    void editsNextToFormattedTextLayOutAsAFreshPaneWould();

    void caretAtTheEndIsScrolledIntoView();
    void setTextPutsTheCaretAtTheStartAndScrollsToTheTop();
    void draggingPastTheBottomScrollsAndSelects();
    void typingScrollsBackToTheCaret();


    void largeRegisterIsNeverLaidOutByTheDocument();
    void theEndOfALargeRegisterShowsWithoutTheTextAboveIt_data();
    void theEndOfALargeRegisterShowsWithoutTheTextAboveIt();
    void aShortRegisterIsLaidOutOnceAsItComes();
    void idleLayoutWaitsWhileKeysCome();

private:
    void setCaret(int anchor, int position);
    QPoint pointOf(int position);
    void makeNarrow();

    QWidget* m_window = nullptr;
    QLineEdit* m_before = nullptr;
    RichTextBox* m_box = nullptr;
    QLineEdit* m_after = nullptr;
};

void RichTextBoxTest::init()
{
    m_window = new QWidget;
    m_before = new QLineEdit(m_window);
    m_before->setGeometry(0, 0, 100, 20);
    m_box = new RichTextBox(m_window);
    m_box->setGeometry(0, 25, 320, 160);
    m_after = new QLineEdit(m_window);
    m_after->setGeometry(0, 190, 100, 20);
    m_window->resize(330, 215);
    krambol::testing::showWithFocusIn(m_window, m_box);
}

void RichTextBoxTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void RichTextBoxTest::setCaret(int anchor, int position)
{
    krambol::testing::selectRange(*m_box, anchor, position);
    QCOMPARE(m_box->textCursor().anchor(), anchor);
    QCOMPARE(m_box->textCursor().position(), position);
}

// A point just right of the caret's place before the character at position, in viewport coordinates.
QPoint RichTextBoxTest::pointOf(int position)
{
    setCaret(position, position);
    const QRect caret = m_box->cursorRect();
    return QPoint(caret.x() + 1, caret.center().y());
}

void RichTextBoxTest::makeNarrow()
{
    m_box->resize(130, 160);
    QApplication::processEvents();
}

// --- editing while unlocked -----------------------------------------------------------------------------

void RichTextBoxTest::unlockedKeysEdit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("typed");   // typed key by key when not empty, else the key below
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    const Qt::KeyboardModifiers none;
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");   // one character, two UTF-16 units
    QTest::newRow("typing inserts at the caret") << u"abcd"_qs << 2 << 2 << u"XY"_qs << 0 << none << u"abXYcd"_qs << 4;
    QTest::newRow("typing replaces the selection") << u"abcd"_qs << 1 << 3 << u"Z"_qs << 0 << none << u"aZd"_qs << 2;
    QTest::newRow("typing Cyrillic") << QString() << 0 << 0 << u"Ёжик"_qs << 0 << none << u"Ёжик"_qs << 4;
    QTest::newRow("typing at the end") << u"ab"_qs << 2 << 2 << u" c"_qs << 0 << none << u"ab c"_qs << 4;
    QTest::newRow("backspace") << u"abcd"_qs << 2 << 2 << QString() << int(Qt::Key_Backspace) << none << u"acd"_qs << 1;
    QTest::newRow("delete") << u"abcd"_qs << 2 << 2 << QString() << int(Qt::Key_Delete) << none << u"abd"_qs << 2;
    QTest::newRow("backspace removes the selection") << u"abcd"_qs << 1 << 3 << QString() << int(Qt::Key_Backspace) << none << u"ad"_qs << 1;
    QTest::newRow("delete removes the selection") << u"abcd"_qs << 3 << 1 << QString() << int(Qt::Key_Delete) << none << u"ad"_qs << 1;
    QTest::newRow("backspace at the start") << u"abcd"_qs << 0 << 0 << QString() << int(Qt::Key_Backspace) << none << u"abcd"_qs << 0;
    QTest::newRow("delete at the end") << u"abcd"_qs << 4 << 4 << QString() << int(Qt::Key_Delete) << none << u"abcd"_qs << 4;
    QTest::newRow("backspace joins paragraphs") << u"ab\ncd"_qs << 3 << 3 << QString() << int(Qt::Key_Backspace) << none << u"abcd"_qs << 2;
    QTest::newRow("delete joins paragraphs") << u"ab\ncd"_qs << 2 << 2 << QString() << int(Qt::Key_Delete) << none << u"abcd"_qs << 2;
    QTest::newRow("ctrl+backspace at a word's end") << u"one two three"_qs << 13 << 13 << QString() << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"one two "_qs << 8;
    QTest::newRow("ctrl+backspace after spaces") << u"one two   x"_qs << 10 << 10 << QString() << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"one x"_qs << 4;
    QTest::newRow("ctrl+backspace inside a word") << u"one two"_qs << 6 << 6 << QString() << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"one o"_qs << 4;
    QTest::newRow("ctrl+delete takes the word and its spaces") << u"one two three"_qs << 0 << 0 << QString() << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"two three"_qs << 0;
    QTest::newRow("ctrl+delete inside a word") << u"one two"_qs << 1 << 1 << QString() << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"otwo"_qs << 1;
    QTest::newRow("backspace over a surrogate pair") << (u"a"_qs + emoji + u"b"_qs) << 3 << 3 << QString() << int(Qt::Key_Backspace) << none << u"ab"_qs << 1;
    QTest::newRow("delete over a surrogate pair") << (u"a"_qs + emoji + u"b"_qs) << 1 << 1 << QString() << int(Qt::Key_Delete) << none << u"ab"_qs << 1;
    QTest::newRow("backspace over a combining mark") << u"ae\u0301b"_qs << 3 << 3 << QString() << int(Qt::Key_Backspace) << none << u"ab"_qs << 1;
    QTest::newRow("delete over a combining mark") << u"ae\u0301b"_qs << 1 << 1 << QString() << int(Qt::Key_Delete) << none << u"ab"_qs << 1;
    QTest::newRow("enter makes a paragraph") << u"abcd"_qs << 2 << 2 << QString() << int(Qt::Key_Return) << none << u"ab\ncd"_qs << 3;
    QTest::newRow("keypad enter makes a paragraph") << u"abcd"_qs << 4 << 4 << QString() << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << u"abcd\n"_qs << 5;
    QTest::newRow("enter replaces the selection") << u"abcd"_qs << 1 << 3 << QString() << int(Qt::Key_Return) << none << u"a\nd"_qs << 2;
    QTest::newRow("ctrl+tab types a tab") << u"ab"_qs << 1 << 1 << QString() << int(Qt::Key_Tab) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"a\tb"_qs << 2;
    QTest::newRow("backspace in an empty pane") << QString() << 0 << 0 << QString() << int(Qt::Key_Backspace) << none << QString() << 0;
    QTest::newRow("enter in an empty pane") << QString() << 0 << 0 << QString() << int(Qt::Key_Return) << none << u"\n"_qs << 1;
    QTest::newRow("backspace after a last empty paragraph") << u"ab\n"_qs << 3 << 3 << QString() << int(Qt::Key_Backspace) << none << u"ab"_qs << 2;
    QTest::newRow("right steps over a surrogate pair") << (u"a"_qs + emoji + u"b"_qs) << 1 << 1 << QString() << int(Qt::Key_Right) << none << (u"a"_qs + emoji + u"b"_qs) << 3;
    QTest::newRow("left steps over a surrogate pair") << (u"a"_qs + emoji + u"b"_qs) << 3 << 3 << QString() << int(Qt::Key_Left) << none << (u"a"_qs + emoji + u"b"_qs) << 1;
    QTest::newRow("right steps over a combining mark") << u"ae\u0301b"_qs << 1 << 1 << QString() << int(Qt::Key_Right) << none << u"ae\u0301b"_qs << 3;
    QTest::newRow("typing after a surrogate pair") << (u"a"_qs + emoji) << 3 << 3 << u"b"_qs << 0 << none << (u"a"_qs + emoji + u"b"_qs) << 4;
    QTest::newRow("ctrl+letter types nothing") << u"ab"_qs << 1 << 1 << QString() << int(Qt::Key_K) << Qt::KeyboardModifiers(Qt::ControlModifier) << u"ab"_qs << 1;
    QTest::newRow("escape types nothing") << u"ab"_qs << 1 << 1 << QString() << int(Qt::Key_Escape) << none << u"ab"_qs << 1;
}

void RichTextBoxTest::unlockedKeysEdit()
{
    QFETCH(QString, text);
    QFETCH(int, anchor);
    QFETCH(int, position);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, expected);
    QFETCH(int, caret);

    m_box->setLocked(false);
    m_box->setText(text);
    setCaret(anchor, position);
    if (!typed.isEmpty())
        type(m_box, typed);
    else
        QTest::keyClick(m_box, Qt::Key(key), modifiers);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->textCursor().position(), caret);
    QCOMPARE(m_box->selectionLength(), 0);
    QVERIFY(m_box->hasFocus());
}

void RichTextBoxTest::tabAndShiftTabMoveFocusWhileEditing()
{
    m_box->setLocked(false);
    m_box->setText(u"ab"_qs);
    QTest::keyClick(m_box, Qt::Key_Tab);
    QVERIFY(m_after->hasFocus());
    QCOMPARE(m_box->text(), u"ab"_qs);

    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ShiftModifier),
                                                   Qt::KeyboardModifiers(Qt::ShiftModifier | Qt::ControlModifier)}) {
        m_box->setFocus();
        QVERIFY(m_box->hasFocus());
        QTest::keyClick(m_box, Qt::Key_Backtab, modifiers);
        QVERIFY(m_before->hasFocus());
        QCOMPARE(m_box->text(), u"ab"_qs);
    }
}

void RichTextBoxTest::tabChangesFocusMakesCtrlTabMoveFocus()
{
    m_box->setLocked(false);
    m_box->setTabChangesFocus(true);
    m_box->setText(u"ab"_qs);
    QTest::keyClick(m_box, Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(m_after->hasFocus());
    QCOMPARE(m_box->text(), u"ab"_qs);
}

void RichTextBoxTest::undoAndRedoTakeBackTyping()
{
    m_box->setLocked(false);
    m_box->setText(u"ab"_qs);
    QTest::keyClick(m_box, Qt::Key_End);
    QTest::keyClicks(m_box, u"cd"_qs);
    QCOMPARE(m_box->text(), u"abcd"_qs);

    // The text the application wrote is not an undo step: undo stops at it.
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), u"ab"_qs);
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), u"ab"_qs);

    // Every redo key of the platform brings the typing back.
    const QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    QVERIFY(!redoKeys.isEmpty());
    for (const QKeySequence& redo : redoKeys) {
        const QKeyCombination combination = redo[0];
        QTest::keyClick(m_box, combination.key(), combination.keyboardModifiers());
        QCOMPARE(m_box->text(), u"abcd"_qs);
        QCOMPARE(m_box->textCursor().position(), 4);
        QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(m_box->text(), u"ab"_qs);
    }

    // A deletion is undone too, and the caret goes back with it.
    QTest::keyClick(m_box, Qt::Key_End);
    QTest::keyClick(m_box, Qt::Key_Backspace);
    QCOMPARE(m_box->text(), u"a"_qs);
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), u"ab"_qs);
}

void RichTextBoxTest::inputMethodCommitInserts()
{
    m_box->setLocked(false);
    m_box->setText(u"ab"_qs);
    setCaret(1, 1);
    QVERIFY(m_box->inputMethodQuery(Qt::ImEnabled).toBool());
    QInputMethodEvent event;
    event.setCommitString(u"ёж"_qs);
    QApplication::sendEvent(m_box, &event);
    QCOMPARE(m_box->text(), u"aёжb"_qs);
    QCOMPARE(m_box->textCursor().position(), 3);
}

void RichTextBoxTest::inputMethodReplacesTextNextToTheCaret_data()
{
    QTest::addColumn<int>("replacementStart");   // from the caret
    QTest::addColumn<int>("replacementLength");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");

    // "Vieta|m" with the caret after the second a.
    QTest::newRow("the letter before the caret") << -1 << 1 << u"â"_qs << u"Vietâm"_qs << 5;
    QTest::newRow("two letters before the caret") << -2 << 2 << u"ê"_qs << u"Vieêm"_qs << 4;
    QTest::newRow("the letter after the caret") << 0 << 1 << u"n"_qs << u"Vietan"_qs << 6;
    QTest::newRow("only a deletion") << -2 << 2 << QString() << u"Viem"_qs << 3;
    QTest::newRow("back to the start") << -5 << 5 << u"X"_qs << u"Xm"_qs << 1;
}

void RichTextBoxTest::inputMethodReplacesTextNextToTheCaret()
{
    QFETCH(int, replacementStart);
    QFETCH(int, replacementLength);
    QFETCH(QString, commit);
    QFETCH(QString, expected);
    QFETCH(int, caret);

    m_box->setLocked(false);
    m_box->setText(u"Vietam"_qs);
    setCaret(5, 5);
    QInputMethodEvent event;
    event.setCommitString(commit, replacementStart, replacementLength);
    QApplication::sendEvent(m_box, &event);
    QCOMPARE(m_box->text(), expected);
    QCOMPARE(m_box->textCursor().position(), caret);

    // Locked, the same event changes nothing.
    m_box->setText(u"Vietam"_qs);
    m_box->setLocked(true);
    setCaret(5, 5);
    QInputMethodEvent again;
    again.setCommitString(commit, replacementStart, replacementLength);
    QApplication::sendEvent(m_box, &again);
    QCOMPARE(m_box->text(), u"Vietam"_qs);
}

void RichTextBoxTest::inputMethodFindsTheCaretInTheSurroundingText_data()
{
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");

    QTest::newRow("near the start") << 3 << 3;
    QTest::newRow("far into a long paragraph") << 3000 << 3000;
    QTest::newRow("a short selection far on") << 2990 << 3000;
    QTest::newRow("a selection from far back") << 10 << 3000;
    QTest::newRow("at the end") << -1 << -1;
}

void RichTextBoxTest::inputMethodFindsTheCaretInTheSurroundingText()
{
    QFETCH(int, anchor);
    QFETCH(int, position);

    m_box->setLocked(false);
    const QString text = u"Первая строка\n"_qs + manyWords(1000);
    m_box->setText(text);
    if (anchor < 0)
        anchor = position = int(text.size());
    setCaret(anchor, position);
    const QString surrounding = m_box->inputMethodQuery(Qt::ImSurroundingText).toString();
    const int caret = m_box->inputMethodQuery(Qt::ImCursorPosition).toInt();
    const int anchorAt = m_box->inputMethodQuery(Qt::ImAnchorPosition).toInt();
    QVERIFY(caret >= 0 && caret <= surrounding.size());
    QVERIFY(anchorAt >= 0 && anchorAt <= surrounding.size());
    // What the input method reads around the caret is what is there.
    QCOMPARE(surrounding.mid(caret, 8), text.mid(position, 8));
    QCOMPARE(surrounding.left(caret).right(8), text.left(position).right(8));
    if (std::abs(position - anchor) < 100)
        QCOMPARE(surrounding.mid(std::min(caret, anchorAt), std::abs(caret - anchorAt)),
                 m_box->textCursor().selectedText());
    else
        QVERIFY(anchorAt == 0 || anchorAt == surrounding.size());
}

// --- while locked ---------------------------------------------------------------------------------------

void RichTextBoxTest::lockedKeysChangeNothing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    const Qt::KeyboardModifiers none;
    QTest::newRow("letters") << u"xyz"_qs << 0 << none;
    QTest::newRow("Cyrillic") << u"ёж"_qs << 0 << none;
    QTest::newRow("space") << u" "_qs << 0 << none;
    QTest::newRow("backspace") << QString() << int(Qt::Key_Backspace) << none;
    QTest::newRow("delete") << QString() << int(Qt::Key_Delete) << none;
    QTest::newRow("ctrl+backspace") << QString() << int(Qt::Key_Backspace) << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("ctrl+delete") << QString() << int(Qt::Key_Delete) << Qt::KeyboardModifiers(Qt::ControlModifier);
    QTest::newRow("enter") << QString() << int(Qt::Key_Return) << none;
    QTest::newRow("undo") << QString() << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ControlModifier);
}

void RichTextBoxTest::lockedKeysChangeNothing()
{
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    // Something typed before the lock, so that an undo would have something to take back.
    m_box->setText(u"one two"_qs);
    m_box->setLocked(false);
    setCaret(7, 7);
    QTest::keyClick(m_box, Qt::Key_Exclam);
    QCOMPARE(m_box->text(), u"one two!"_qs);
    m_box->setLocked(true);

    for (const auto& [anchor, position] : {std::pair{4, 4}, std::pair{2, 6}}) {
        setCaret(anchor, position);
        if (!typed.isEmpty())
            type(m_box, typed);
        else
            QTest::keyClick(m_box, Qt::Key(key), modifiers);
        QCOMPARE(m_box->text(), u"one two!"_qs);
        QCOMPARE(m_box->textCursor().anchor(), anchor);
        QCOMPARE(m_box->textCursor().position(), position);
    }
}

void RichTextBoxTest::lockedTabMovesFocus()
{
    m_box->setLocked(true);
    m_box->setText(u"ab"_qs);
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier)}) {
        m_box->setFocus();
        QTest::keyClick(m_box, Qt::Key_Tab, modifiers);
        QVERIFY(m_after->hasFocus());
        QCOMPARE(m_box->text(), u"ab"_qs);
    }
    m_box->setFocus();
    QTest::keyClick(m_box, Qt::Key_Backtab, Qt::ShiftModifier);
    QVERIFY(m_before->hasFocus());
}

void RichTextBoxTest::lockedInputMethodTypesNothing()
{
    m_box->setLocked(true);
    m_box->setText(u"ab"_qs);
    setCaret(1, 1);
    QVERIFY(!m_box->inputMethodQuery(Qt::ImEnabled).toBool());
    QInputMethodEvent event;
    event.setCommitString(u"ёж"_qs);
    QApplication::sendEvent(m_box, &event);
    QCOMPARE(m_box->text(), u"ab"_qs);
    QCOMPARE(m_box->textCursor().position(), 1);
}

void RichTextBoxTest::caretAndSelectionMoveWhateverTheLock_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("anchor");
    QTest::addColumn<int>("position");

    // "abc def" 0-7, "abc defgh ijk" 8-21, "ab" 22-24: the lines begin alike, so a column is a position.
    const Qt::KeyboardModifiers none;
    const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
    const Qt::KeyboardModifiers ctrl(Qt::ControlModifier);
    const Qt::KeyboardModifiers ctrlShift(Qt::ControlModifier | Qt::ShiftModifier);
    QTest::newRow("right") << 0 << int(Qt::Key_Right) << none << 1 << 1;
    QTest::newRow("shift+right") << 0 << int(Qt::Key_Right) << shift << 0 << 1;
    QTest::newRow("left") << 3 << int(Qt::Key_Left) << none << 2 << 2;
    QTest::newRow("shift+left") << 3 << int(Qt::Key_Left) << shift << 3 << 2;
    QTest::newRow("left at the start") << 0 << int(Qt::Key_Left) << none << 0 << 0;
    QTest::newRow("right at the end") << 24 << int(Qt::Key_Right) << none << 24 << 24;
    QTest::newRow("right over a paragraph end") << 7 << int(Qt::Key_Right) << none << 8 << 8;
    QTest::newRow("left over a paragraph start") << 8 << int(Qt::Key_Left) << none << 7 << 7;
    QTest::newRow("ctrl+right") << 0 << int(Qt::Key_Right) << ctrl << 4 << 4;
    QTest::newRow("ctrl+left") << 7 << int(Qt::Key_Left) << ctrl << 4 << 4;
    QTest::newRow("ctrl+shift+right") << 8 << int(Qt::Key_Right) << ctrlShift << 8 << 12;
    QTest::newRow("home") << 12 << int(Qt::Key_Home) << none << 8 << 8;
    QTest::newRow("end") << 12 << int(Qt::Key_End) << none << 21 << 21;
    QTest::newRow("shift+home") << 12 << int(Qt::Key_Home) << shift << 12 << 8;
    QTest::newRow("shift+end") << 12 << int(Qt::Key_End) << shift << 12 << 21;
    QTest::newRow("ctrl+home") << 12 << int(Qt::Key_Home) << ctrl << 0 << 0;
    QTest::newRow("ctrl+end") << 12 << int(Qt::Key_End) << ctrl << 24 << 24;
    QTest::newRow("ctrl+shift+home") << 12 << int(Qt::Key_Home) << ctrlShift << 12 << 0;
    QTest::newRow("ctrl+shift+end") << 12 << int(Qt::Key_End) << ctrlShift << 12 << 24;
    QTest::newRow("up") << 11 << int(Qt::Key_Up) << none << 3 << 3;
    QTest::newRow("down") << 3 << int(Qt::Key_Down) << none << 11 << 11;
    QTest::newRow("shift+down") << 3 << int(Qt::Key_Down) << shift << 3 << 11;
    QTest::newRow("shift+up") << 11 << int(Qt::Key_Up) << shift << 11 << 3;
    QTest::newRow("down to a shorter line") << 13 << int(Qt::Key_Down) << none << 24 << 24;
    QTest::newRow("up on the first line") << 2 << int(Qt::Key_Up) << none << 0 << 0;
    QTest::newRow("down on the last line") << 23 << int(Qt::Key_Down) << none << 24 << 24;
    QTest::newRow("page down") << 1 << int(Qt::Key_PageDown) << none << 23 << 23;
    QTest::newRow("page up") << 23 << int(Qt::Key_PageUp) << none << 1 << 1;
    QTest::newRow("shift+page down") << 1 << int(Qt::Key_PageDown) << shift << 1 << 23;
    QTest::newRow("ctrl+a") << 12 << int(Qt::Key_A) << ctrl << 0 << 24;
}

void RichTextBoxTest::caretAndSelectionMoveWhateverTheLock()
{
    QFETCH(int, start);
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, anchor);
    QFETCH(int, position);

    const QString text = u"abc def\nabc defgh ijk\nab"_qs;
    for (const bool locked : {true, false}) {
        m_box->setLocked(locked);
        m_box->setText(text);
        setCaret(start, start);
        QTest::keyClick(m_box, Qt::Key(key), modifiers);
        QCOMPARE(m_box->text(), text);
        QCOMPARE(m_box->textCursor().anchor(), anchor);
        QCOMPARE(m_box->textCursor().position(), position);
        QCOMPARE(m_box->selectionLength(), std::abs(position - anchor));
        QCOMPARE(m_box->textCursor().selectionStart(), std::min(anchor, position));
    }
}

// --- a wrapped text -------------------------------------------------------------------------------------

void RichTextBoxTest::upDownKeepTheColumnAcrossWrappedLines()
{
    makeNarrow();
    m_box->setLocked(true);
    // A wrapped paragraph, a short one, and one of letters only that wraps anywhere and so fills its lines.
    const QString first = manyWords(20);
    const QString third(200, u'x');
    m_box->setText(first + u"\nab\n"_qs + third);
    const int shortStart = int(first.size()) + 1;
    const int thirdStart = shortStart + 3;
    const int tolerance = m_box->fontMetrics().horizontalAdvance(u'x') + 1;

    // Down and Up inside the wrapped paragraph come back to where they began, a line lower in between.
    const int middle = 8;
    setCaret(middle, middle);
    const QRect before = m_box->cursorRect();
    QTest::keyClick(m_box, Qt::Key_Down);
    const QRect below = m_box->cursorRect();
    QVERIFY2(below.top() > before.top(), "Down went to a lower line");
    QVERIFY(m_box->textCursor().position() < shortStart);
    QVERIFY(std::abs(below.x() - before.x()) <= m_box->fontMetrics().maxWidth());
    QTest::keyClick(m_box, Qt::Key_Up);
    QCOMPARE(m_box->textCursor().position(), middle);

    // From the end of the wrapped paragraph through the short line, the column comes back after it.
    setCaret(shortStart - 1, shortStart - 1);
    const QRect end = m_box->cursorRect();
    QVERIFY(end.x() > pointOf(shortStart + 2).x() + tolerance);   // wider than "ab"
    setCaret(shortStart - 1, shortStart - 1);
    QTest::keyClick(m_box, Qt::Key_Down);
    QCOMPARE(m_box->textCursor().position(), shortStart + 2);
    QTest::keyClick(m_box, Qt::Key_Down);
    const int landed = m_box->textCursor().position();
    QVERIFY(landed > thirdStart);
    QVERIFY2(std::abs(m_box->cursorRect().x() - end.x()) <= tolerance, "the column was kept");
    QTest::keyClick(m_box, Qt::Key_Up);
    QTest::keyClick(m_box, Qt::Key_Up);
    QCOMPARE(m_box->textCursor().position(), shortStart - 1);
}

void RichTextBoxTest::homeEndGoToTheVisualLinesEnds()
{
    makeNarrow();
    m_box->setLocked(true);
    const QString text = manyWords(30);
    m_box->setText(text);

    // Where the second and third visual lines begin, found from the caret's rectangle.
    QList<int> lineStarts{0};
    int lastTop = pointOf(0).y();
    for (int p = 1; p <= text.size() && lineStarts.size() < 3; ++p) {
        const int top = pointOf(p).y();
        if (top > lastTop) {
            lineStarts << p;
            lastTop = top;
        }
    }
    QCOMPARE(lineStarts.size(), 3);
    const int secondLine = lineStarts[1];
    const int thirdLine = lineStarts[2];
    QCOMPARE(text[secondLine - 1], u' ');

    setCaret(secondLine + 2, secondLine + 2);
    const int y = m_box->cursorRect().y();
    QTest::keyClick(m_box, Qt::Key_Home);
    QCOMPARE(m_box->textCursor().position(), secondLine);
    QCOMPARE(m_box->cursorRect().y(), y);

    QTest::keyClick(m_box, Qt::Key_End);
    // The end of a wrapped line is before the space it wrapped at, still on that line.
    QCOMPARE(m_box->textCursor().position(), thirdLine - 1);
    QCOMPARE(m_box->cursorRect().y(), y);

    QTest::keyClick(m_box, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(m_box->textCursor().anchor(), thirdLine - 1);
    QCOMPARE(m_box->textCursor().position(), secondLine);

    // A click right of the line's text goes where End does.
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, QPoint(m_box->viewport()->width() - 2, y + 3));
    QCOMPARE(m_box->textCursor().position(), thirdLine - 1);
    QCOMPARE(m_box->selectionLength(), 0);
}

void RichTextBoxTest::clickPutsTheCaretAtTheClickedCharacter_data()
{
    QTest::addColumn<bool>("locked");
    QTest::newRow("locked") << true;
    QTest::newRow("unlocked") << false;
}

void RichTextBoxTest::clickPutsTheCaretAtTheClickedCharacter()
{
    QFETCH(bool, locked);
    makeNarrow();
    m_box->setLocked(locked);
    // Short enough to show whole, so that no click scrolls.
    const QString text = manyWords(16) + u"\n\nlast"_qs;
    m_box->setText(text);
    const int end = int(text.size());
    const int lastParagraph = end - 4;
    setCaret(end, end);
    QCOMPARE(m_box->verticalScrollBar()->value(), 0);

    for (int position : {0, 3, 17, 31, 46, 60, lastParagraph - 1, lastParagraph, lastParagraph + 2, end}) {
        const QPoint point = pointOf(position);
        setCaret(end - 2, end - 2);
        QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, point);
        QCOMPARE(m_box->textCursor().position(), position);
        QCOMPARE(m_box->selectionLength(), 0);
        QCOMPARE(m_box->text(), text);
    }
    // Right of a line's text the caret goes to that line's end.
    const QPoint farRight(m_box->viewport()->width() - 2, pointOf(lastParagraph).y());
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, farRight);
    QCOMPARE(m_box->textCursor().position(), end);
}

void RichTextBoxTest::dragSelects()
{
    makeNarrow();
    m_box->setLocked(true);
    m_box->setText(manyWords(16));
    const QPoint from = pointOf(8);
    const QPoint to = pointOf(40);
    const QPoint later = pointOf(50);
    setCaret(0, 0);
    QCOMPARE(m_box->verticalScrollBar()->value(), 0);

    QTest::mousePress(m_box->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_box->viewport(), (from + to) / 2);
    QTest::mouseMove(m_box->viewport(), to);
    QTest::mouseRelease(m_box->viewport(), Qt::LeftButton, {}, to);
    QCOMPARE(m_box->textCursor().anchor(), 8);
    QCOMPARE(m_box->textCursor().position(), 40);
    QCOMPARE(m_box->selectionLength(), 32);

    // Backwards, and a move after the release selects nothing more.
    QTest::mousePress(m_box->viewport(), Qt::LeftButton, {}, to);
    QTest::mouseMove(m_box->viewport(), from);
    QTest::mouseRelease(m_box->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseMove(m_box->viewport(), later);
    QCOMPARE(m_box->textCursor().anchor(), 40);
    QCOMPARE(m_box->textCursor().position(), 8);
}

void RichTextBoxTest::shiftClickExtendsTheSelection()
{
    makeNarrow();
    m_box->setLocked(true);
    m_box->setText(manyWords(16));
    const QPoint from = pointOf(5);
    const QPoint to = pointOf(33);
    const QPoint further = pointOf(44);
    setCaret(0, 0);
    QCOMPARE(m_box->verticalScrollBar()->value(), 0);
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, from);
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, Qt::ShiftModifier, to);
    QCOMPARE(m_box->textCursor().anchor(), 5);
    QCOMPARE(m_box->textCursor().position(), 33);
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, Qt::ShiftModifier, further);
    QCOMPARE(m_box->textCursor().anchor(), 5);
    QCOMPARE(m_box->textCursor().position(), 44);
    // Shift+arrow goes on from there.
    QTest::keyClick(m_box, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(m_box->textCursor().anchor(), 5);
    QCOMPARE(m_box->textCursor().position(), 45);
}

void RichTextBoxTest::doubleClickSelectsAWord()
{
    m_box->setLocked(true);
    const QString text = u"alpha beta_2 gamma"_qs;
    m_box->setText(text);
    QTest::mouseDClick(m_box->viewport(), Qt::LeftButton, {}, pointOf(8));
    QCOMPARE(m_box->textCursor().selectionStart(), 6);
    QCOMPARE(m_box->textCursor().selectionEnd(), 12);
    QCOMPARE(m_box->textCursor().selectedText(), u"beta_2"_qs);
    QCOMPARE(m_box->selectionLength(), 6);

    QTest::mouseDClick(m_box->viewport(), Qt::LeftButton, {}, pointOf(1));
    QCOMPARE(m_box->textCursor().selectedText(), u"alpha"_qs);

    m_box->setText(u"Иванов, Пётр: диск 12;"_qs);
    QTest::mouseDClick(m_box->viewport(), Qt::LeftButton, {}, pointOf(10));
    QCOMPARE(m_box->textCursor().selectedText(), u"Пётр"_qs);
    QTest::mouseDClick(m_box->viewport(), Qt::LeftButton, {}, pointOf(20));
    QCOMPARE(m_box->textCursor().selectedText(), u"12"_qs);
}

void RichTextBoxTest::mouseSignalsCarryButtonModifiersAndPanePosition()
{
    QSignalSpy down(m_box, &RichTextBox::mouseDown);
    QSignalSpy moved(m_box, &RichTextBox::mouseMoved);
    m_box->setText(u"alpha beta"_qs);
    const QPoint offset = m_box->viewport()->mapTo(m_box, QPoint(0, 0));
    QVERIFY(!offset.isNull());   // the frame: the pane's coordinates are not the viewport's

    QTextCursor selection = m_box->textCursor();
    selection.setPosition(1);
    selection.setPosition(4, QTextCursor::KeepAnchor);
    m_box->setTextCursor(selection);
    QTest::mousePress(m_box->viewport(), Qt::RightButton, Qt::ControlModifier, QPoint(10, 7));
    QCOMPARE(down.count(), 1);
    QCOMPARE(m_box->selectionLength(), 3);   // the right button leaves the selection alone
    QCOMPARE(down.at(0).at(0).value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(down.at(0).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ControlModifier));
    QCOMPARE(down.at(0).at(2).toPoint(), QPoint(10, 7) + offset);
    QTest::mouseRelease(m_box->viewport(), Qt::RightButton, Qt::ControlModifier, QPoint(10, 7));

    QTest::mousePress(m_box->viewport(), Qt::LeftButton, Qt::ShiftModifier, QPoint(3, 4));
    QCOMPARE(down.count(), 2);
    QCOMPARE(down.at(1).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    QCOMPARE(down.at(1).at(1).value<Qt::KeyboardModifiers>(), Qt::KeyboardModifiers(Qt::ShiftModifier));
    QCOMPARE(down.at(1).at(2).toPoint(), QPoint(3, 4) + offset);
    QTest::mouseMove(m_box->viewport(), QPoint(30, 9));
    QVERIFY(!moved.isEmpty());
    QCOMPARE(moved.last().at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::LeftButton));
    QCOMPARE(moved.last().at(2).toPoint(), QPoint(30, 9) + offset);
    QTest::mouseRelease(m_box->viewport(), Qt::LeftButton, {}, QPoint(30, 9));

    QTest::mouseMove(m_box->viewport(), QPoint(40, 12));
    QCOMPARE(moved.last().at(0).value<Qt::MouseButtons>(), Qt::MouseButtons(Qt::NoButton));
    QCOMPARE(moved.last().at(2).toPoint(), QPoint(40, 12) + offset);
}

namespace {

// Where each position's caret sits in the text as a whole (not in the view), every step-th position.
QList<QPoint> caretPlaces(RichTextBox& box, int step)
{
    QList<QPoint> places;
    const int end = int(box.document()->characterCount()) - 1;
    for (int p = 0; p <= end; p = p == end ? end + 1 : std::min(end, p + step)) {
        QTextCursor cursor = box.textCursor();
        cursor.setPosition(p);
        box.setTextCursor(cursor);
        const QRect caret = box.cursorRect();
        places << QPoint(caret.x(), caret.y() + box.verticalScrollBar()->value());
    }
    return places;
}

} // namespace

void RichTextBoxTest::editsLayOutAsAFreshPaneWould_data()
{
    QTest::addColumn<int>("line");        // the caret goes to the start of this visual line (-1: the end)
    QTest::addColumn<int>("offset");      // and this many characters on
    QTest::addColumn<QString>("typed");   // typed there key by key, or
    QTest::addColumn<int>("key");         // this key pressed there
    QTest::addColumn<int>("times");

    QTest::newRow("typing near the start") << 0 << 7 << u"xyzzy wo"_qs << 0 << 1;
    QTest::newRow("typing a long word in the middle") << 150 << 2 << u"abcdefghijklmnopqrstuvwxyz"_qs << 0 << 1;
    QTest::newRow("typing at the end") << -1 << 0 << u" more words here"_qs << 0 << 1;
    QTest::newRow("typing at a line start") << 3 << 0 << u"a"_qs << 0 << 1;
    QTest::newRow("typing a space before a line's end") << 3 << -2 << u" "_qs << 0 << 1;
    for (int times = 1; times <= 6; ++times) {
        // The first word of a line shrinks until it fits on the line before.
        QTest::addRow("%d deletes at a line start", times) << 3 << 0 << QString() << int(Qt::Key_Delete) << times;
        QTest::addRow("%d deletes at a line start far on", times) << 200 << 0 << QString() << int(Qt::Key_Delete) << times;
    }
    QTest::newRow("backspaces at a line start") << 4 << 0 << QString() << int(Qt::Key_Backspace) << 12;
    QTest::newRow("deletes across a window") << 120 << 0 << QString() << int(Qt::Key_Delete) << 60;
    QTest::newRow("enter in the middle") << 180 << 3 << QString() << int(Qt::Key_Return) << 2;
    QTest::newRow("enter at the start") << 0 << 0 << QString() << int(Qt::Key_Return) << 1;
    QTest::newRow("spaces make words wrap on") << 5 << 2 << u"          "_qs << 0 << 1;
}

void RichTextBoxTest::editsLayOutAsAFreshPaneWould()
{
    QFETCH(int, line);
    QFETCH(int, offset);
    QFETCH(QString, typed);
    QFETCH(int, key);
    QFETCH(int, times);

    // Long enough for several windows of layout, narrow enough for many lines.
    makeNarrow();
    m_box->setLocked(false);
    m_box->setText(manyWords(900));
    QTest::qWait(20);   // the scroll bar shows, so the width is final before the edit
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);   // lays the lines out to the end
    int position = int(m_box->text().size());
    if (line >= 0) {
        setCaret(0, 0);
        for (int i = 0; i < line; ++i)
            QTest::keyClick(m_box, Qt::Key_Down);
        QTest::keyClick(m_box, Qt::Key_Home);
        position = m_box->textCursor().position() + offset;
    }
    setCaret(position, position);
    for (int i = 0; i < times; ++i) {
        if (!typed.isEmpty())
            type(m_box, typed);
        else
            QTest::keyClick(m_box, Qt::Key(key));
    }
    QTest::qWait(20);   // idle layout

    auto* fresh = new RichTextBox(m_window);
    fresh->setGeometry(m_box->geometry());
    fresh->show();
    fresh->setText(m_box->text());
    QTest::qWait(20);   // the scroll bar shows, and idle layout
    QCOMPARE(fresh->viewport()->width(), m_box->viewport()->width());
    QCOMPARE(caretPlaces(*m_box, 7), caretPlaces(*fresh, 7));
    QCOMPARE(m_box->verticalScrollBar()->maximum(), fresh->verticalScrollBar()->maximum());
}

void RichTextBoxTest::editsBeforeTheLayoutIsDoneLayOutAsAFreshPaneWould_data()
{
    // Steps: "type P TEXT" types at position P, "delete P N" presses Delete N times at P, "enter P",
    // "append TEXT" writes the text with TEXT added, "idle" lets one round of idle work run, "all" lays
    // everything out (Ctrl+End), "width W" makes the pane W pixels wide, "font P" gives it P points.
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("typing near the start") << QStringList{u"type 7 xyz qq"_qs};
    QTest::newRow("appending") << QStringList{u"append  Петров П. П."_qs};
    QTest::newRow("appending twice, then typing") << QStringList{u"append  one"_qs, u"append  two"_qs, u"type 3 abc"_qs};
    QTest::newRow("typing, then appending") << QStringList{u"type 40 zz"_qs, u"append  tail"_qs};
    QTest::newRow("typing far on, then near the start") << QStringList{u"type 20000 far"_qs, u"type 10 near"_qs};
    QTest::newRow("typing far on, idle, appending") << QStringList{u"type 15000 mm"_qs, u"idle"_qs, u"append  end"_qs, u"idle"_qs, u"type 5 a"_qs};
    QTest::newRow("deleting and a paragraph, idle between") << QStringList{u"delete 60 7"_qs, u"idle"_qs, u"enter 30"_qs, u"idle"_qs, u"delete 29 1"_qs};
    QTest::newRow("a paragraph far on, then appending") << QStringList{u"enter 12000"_qs, u"append  x"_qs};
    QTest::newRow("all laid out, a paragraph far on, appending") << QStringList{u"all"_qs, u"enter 12000"_qs, u"append  x y z"_qs};
    QTest::newRow("all laid out, two paragraphs, appending") << QStringList{u"all"_qs, u"enter 9000"_qs, u"enter 12000"_qs, u"append  x"_qs};
    QTest::newRow("all laid out, typing far on, appending") << QStringList{u"all"_qs, u"type 12000 qq"_qs, u"append  x"_qs};
    QTest::newRow("a word longer than a line") << QStringList{u"type 3000 "_qs + QString(300, u'w'), u"idle"_qs, u"type 3100 z"_qs};
    QTest::newRow("a long word cut by a paragraph") << QStringList{u"type 2000 "_qs + QString(200, u'w'), u"enter 2100"_qs, u"delete 2100 1"_qs};
    QTest::newRow("narrower, then typing") << QStringList{u"type 100 ab"_qs, u"width 90"_qs, u"type 200 cd"_qs};
    QTest::newRow("wider while partly laid out") << QStringList{u"width 200"_qs, u"idle"_qs, u"append  x"_qs};
    QTest::newRow("a larger font, then typing") << QStringList{u"font 20"_qs, u"type 300 ab"_qs};
    QTest::newRow("all laid out, a smaller font") << QStringList{u"all"_qs, u"font 6"_qs};
    QTest::newRow("all laid out, a paragraph, typing after it") << QStringList{u"all"_qs, u"enter 9000"_qs, u"type 16000 ab"_qs};
}

void RichTextBoxTest::editsBeforeTheLayoutIsDoneLayOutAsAFreshPaneWould()
{
    QFETCH(QStringList, steps);

    // Several times what one round of idle work lays out, so that edits come while lines are missing.
    makeNarrow();
    m_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_box->setLocked(false);
    m_box->setText(manyWords(5000));
    for (const QString& step : steps) {
        const QString verb = step.section(u' ', 0, 0);
        const int position = step.section(u' ', 1, 1).toInt();
        if (verb == u"type") {
            setCaret(position, position);
            type(m_box, step.section(u' ', 2));
        } else if (verb == u"delete") {
            setCaret(position, position);
            for (int i = step.section(u' ', 2, 2).toInt(); i > 0; --i)
                QTest::keyClick(m_box, Qt::Key_Delete);
        } else if (verb == u"enter") {
            setCaret(position, position);
            QTest::keyClick(m_box, Qt::Key_Return);
        } else if (verb == u"width") {
            m_box->resize(position, m_box->height());
        } else if (verb == u"font") {
            QFont font = m_box->font();
            font.setPointSizeF(position);
            m_box->setFont(font);
        } else if (verb == u"all") {
            QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
        } else if (verb == u"append") {
            m_box->setText(m_box->text() + step.section(u' ', 1));
        } else {
            QCOMPARE(verb, u"idle"_qs);
            QApplication::processEvents();
        }
    }

    auto* fresh = new RichTextBox(m_window);
    fresh->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fresh->setGeometry(m_box->geometry());
    fresh->setFont(m_box->font());
    fresh->show();
    fresh->setText(m_box->text());
    QCOMPARE(fresh->viewport()->width(), m_box->viewport()->width());
    QCOMPARE(caretPlaces(*m_box, 13), caretPlaces(*fresh, 13));
    QCOMPARE(m_box->verticalScrollBar()->maximum(), fresh->verticalScrollBar()->maximum());
}

void RichTextBoxTest::selectionIsPaintedWhereItIs()
{
    makeNarrow();
    m_box->setLocked(true);
    QPalette palette = m_box->palette();
    palette.setColor(QPalette::Highlight, QColor(0, 0, 255));
    palette.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
    m_box->setPalette(palette);
    m_box->setText(manyWords(16));

    // A selection over a line's wrap: from inside the first line into the second.
    const int secondLine = [this] {
        const int top = pointOf(0).y();
        int p = 1;
        while (pointOf(p).y() == top)
            ++p;
        return p;
    }();
    const QRect first = m_box->cursorRect();   // the caret at the second line's start
    setCaret(2, secondLine + 3);
    const QImage shot = m_box->viewport()->grab().toImage();
    const auto highlighted = [&](QRect area) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += shot.pixelColor(x, y) == QColor(0, 0, 255);
        return n;
    };
    const int lineHeight = first.height();
    const QRect lineOne(0, first.top() - lineHeight, shot.width(), lineHeight);
    const QRect lineTwo(0, first.top(), shot.width(), lineHeight);
    const QRect lineThree(0, first.top() + lineHeight, shot.width(), lineHeight);
    QVERIFY(highlighted(lineOne) > 0);
    QVERIFY(highlighted(lineTwo) > 0);
    QCOMPARE(highlighted(lineThree), 0);
    // On the second line only its start is selected.
    QCOMPARE(highlighted(QRect(pointOf(secondLine + 4).x() + 2, first.top(), shot.width(), lineHeight)), 0);
}

void RichTextBoxTest::clickTakesTheFocus()
{
    m_box->setLocked(true);
    m_box->setText(u"alpha beta"_qs);
    m_before->setFocus();
    QVERIFY(m_before->hasFocus());
    QTest::mouseClick(m_box->viewport(), Qt::LeftButton, {}, pointOf(6));
    QVERIFY(m_box->hasFocus());
    QCOMPARE(m_box->textCursor().position(), 6);
}

void RichTextBoxTest::editsNextToFormattedTextLayOutAsAFreshPaneWould()
{
    makeNarrow();
    m_box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_box->setLocked(false);
    m_box->setText(manyWords(400));
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    setCaret(100, 100);
    m_box->editAtCaret([](QTextCursor& cursor) {
        QTextCharFormat arial;
        arial.setFontFamilies({u"Arial"_qs});
        QTextCharFormat bold = arial;
        bold.setFontWeight(QFont::Bold);
        QTextCharFormat big = arial;
        big.setFontPointSize(20);
        cursor.insertText(u"WIDE BOLD WORDS"_qs, bold);
        cursor.insertText(u" "_qs, arial);
        cursor.insertText(u"big"_qs, big);
        cursor.insertText(u" x"_qs, arial);
    });
    QVERIFY(hasOwnCharFormats(*m_box->document()));
    setCaret(50, 50);
    type(m_box, u"typed before "_qs);
    setCaret(20, 20);
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_box, Qt::Key_Delete);
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    type(m_box, u" end"_qs);

    // The same document, formats and all, written into a fresh pane at once.
    auto* fresh = new RichTextBox(m_window);
    fresh->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    fresh->setGeometry(m_box->geometry());
    fresh->show();
    QTextCursor(fresh->document()).insertFragment(QTextDocumentFragment(m_box->document()));
    QCOMPARE(fresh->text(), m_box->text());
    QCOMPARE(caretPlaces(*m_box, 3), caretPlaces(*fresh, 3));
    QCOMPARE(m_box->verticalScrollBar()->maximum(), fresh->verticalScrollBar()->maximum());
}

// --- scrolling ------------------------------------------------------------------------------------------

void RichTextBoxTest::caretAtTheEndIsScrolledIntoView()
{
    m_box->setLocked(true);
    QStringList lines;
    for (int i = 0; i < 200; ++i)
        lines << u"Строка %1"_qs.arg(i);
    m_box->setText(lines.join(u'\n'));
    QScrollBar* bar = m_box->verticalScrollBar();
    QCOMPARE(bar->value(), 0);

    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_box->textCursor().position(), int(m_box->text().size()));
    QVERIFY(bar->value() > 0);
    QVERIFY(bar->value() <= bar->maximum());
    QVERIFY2(m_box->viewport()->rect().contains(m_box->cursorRect()), "the caret is in view");

    QTest::keyClick(m_box, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(bar->value(), 0);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));

    // Page by page down the text, the caret stays in view and the text follows it.
    int lastValue = bar->value();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(m_box, Qt::Key_PageDown);
        QVERIFY(bar->value() > lastValue);
        QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
        lastValue = bar->value();
    }
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(m_box, Qt::Key_Down);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    m_box->viewport()->repaint();

    // And page by page back up to the first line.
    for (int i = 0; i < 10 && m_box->textCursor().position() > 0; ++i) {
        QTest::keyClick(m_box, Qt::Key_PageUp);
        QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    }
    QCOMPARE(m_box->textCursor().position(), 0);
    QCOMPARE(bar->value(), 0);
}

void RichTextBoxTest::setTextPutsTheCaretAtTheStartAndScrollsToTheTop()
{
    m_box->setLocked(true);
    m_box->setText(manyWords(2000));
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(m_box->verticalScrollBar()->value() > 0);

    for (const QString& next : {manyWords(2001), manyWords(3000), u"short"_qs}) {
        QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(m_box->verticalScrollBar()->value() > 0 || next == u"short"_qs);
        m_box->setText(next);
        QCOMPARE(m_box->text(), next);
        QCOMPARE(m_box->textCursor().position(), 0);
        QCOMPARE(m_box->selectionLength(), 0);
        QCOMPARE(m_box->verticalScrollBar()->value(), 0);
        QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    }
}

void RichTextBoxTest::draggingPastTheBottomScrollsAndSelects()
{
    m_box->setLocked(true);
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << u"Строка %1"_qs.arg(i);
    m_box->setText(lines.join(u'\n'));
    QScrollBar* bar = m_box->verticalScrollBar();
    const QPoint start = pointOf(3);
    setCaret(0, 0);
    QTest::mousePress(m_box->viewport(), Qt::LeftButton, {}, start);
    const QPoint below(20, m_box->viewport()->height() + 30);
    for (int i = 0; i < 5; ++i)
        QTest::mouseMove(m_box->viewport(), below);
    QTest::mouseRelease(m_box->viewport(), Qt::LeftButton, {}, below);
    QVERIFY(bar->value() > 0);
    QCOMPARE(m_box->textCursor().anchor(), 3);
    QVERIFY(m_box->textCursor().position() > 3);
    // The selection reaches down to what is in view now.
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    QVERIFY(m_box->cursorRect().bottom() > m_box->viewport()->height() / 2);
}

void RichTextBoxTest::typingScrollsBackToTheCaret()
{
    m_box->setLocked(false);
    QStringList lines;
    for (int i = 0; i < 100; ++i)
        lines << u"Строка %1"_qs.arg(i);
    m_box->setText(lines.join(u'\n'));
    setCaret(2, 2);
    QScrollBar* bar = m_box->verticalScrollBar();
    bar->setValue(bar->maximum());
    QVERIFY(bar->value() > 0);
    QVERIFY(!m_box->viewport()->rect().contains(m_box->cursorRect()));
    QTest::keyClick(m_box, Qt::Key_X);
    QCOMPARE(m_box->text().left(4), u"Стxр"_qs);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
}

// --- a large register -----------------------------------------------------------------------------------

void RichTextBoxTest::largeRegisterIsNeverLaidOutByTheDocument()
{
    QString entries;
    for (int i = 0; i < 20000; ++i)
        entries += u"Иванов И. И. — диск %1; "_qs.arg(i);
    m_box->setLocked(true);
    m_box->setText(entries);
    QAbstractTextDocumentLayout* layout = m_box->document()->documentLayout();
    QVERIFY(layout);
    QVERIFY(!layout->inherits("QTextDocumentLayout"));
    QVERIFY(qstrcmp(layout->metaObject()->className(), "QTextDocumentLayout") != 0);
    QCOMPARE(m_box->document()->blockCount(), 1);

    m_box->viewport()->repaint();
    // Appending an entry keeps the text whole.
    m_box->setText(entries + u"Петров"_qs);
    QCOMPARE(m_box->text().size(), entries.size() + 6);
    m_box->viewport()->repaint();

    m_box->setLocked(false);
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(m_box->textCursor().position(), int(entries.size()) + 6);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    type(m_box, u" П."_qs);
    QTest::keyClick(m_box, Qt::Key_Backspace);
    QTest::keyClick(m_box, Qt::Key_Period);
    QCOMPARE(m_box->text(), entries + u"Петров П."_qs);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    m_box->viewport()->repaint();

    // Undo and redo put the caret where their step was.
    QTest::keyClick(m_box, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_box->text(), entries + u"Петров П"_qs);
    QCOMPARE(m_box->textCursor().position(), int(entries.size()) + 8);
    const QKeyCombination redo = QKeySequence::keyBindings(QKeySequence::Redo).value(0)[0];
    QTest::keyClick(m_box, redo.key(), redo.keyboardModifiers());
    QCOMPARE(m_box->text(), entries + u"Петров П."_qs);
    QCOMPARE(m_box->textCursor().position(), int(entries.size()) + 9);
    m_box->viewport()->repaint();

    // Idle time lays out the rest, and the layout is still the pane's own.
    QTest::qWait(50);
    QCOMPARE(m_box->document()->documentLayout(), layout);
    QTest::keyClick(m_box, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(m_box->verticalScrollBar()->value(), 0);
    m_box->viewport()->repaint();

    // Every cursor of the pane moved and wrote inside edit blocks: none asked for a paragraph's layout.
    // A cursor outside one does, and that would shape the whole paragraph.
    QCOMPARE(m_box->paragraphSizeQueries(), 0);
    QTextCursor outside(m_box->document());
    outside.setPosition(100);
    QVERIFY(m_box->paragraphSizeQueries() > 0);
}

// A short register is laid out whole as it comes, once: at the width it keeps with the scroll bar it
// needs. Ctrl+End right after it lays out nothing more.
void RichTextBoxTest::aShortRegisterIsLaidOutOnceAsItComes()
{
    QStringList entries;
    for (int i = 0; i < 600; ++i)
        entries << u"Иванов И. И.------диск %1 |"_qs.arg(i);
    QTextDocument document;
    document.setDefaultFont(m_box->font());
    document.setPlainText(entries.join(u'\n'));
    QVERIFY(!m_box->verticalScrollBar()->isVisible());

    m_box->setDocument(&document);
    const qint64 laid = m_box->charactersLaidOut();
    QVERIFY(laid >= document.characterCount() - 1);
    QTest::qWait(100);
    QVERIFY(m_box->verticalScrollBar()->isVisible());
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    m_box->viewport()->repaint();
    QCOMPARE(m_box->charactersLaidOut(), laid);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    m_box->setDocument(nullptr);
}

// Keys that come one after another get the processor to themselves: the layout of the text above the
// view goes on once they stop.
void RichTextBoxTest::idleLayoutWaitsWhileKeysCome()
{
    QStringList entries;
    for (int i = 0; i < 8000; ++i)
        entries << u"Иванов И. И.------диск %1 |"_qs.arg(i);
    m_box->setText(entries.join(u'\n'));
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    m_box->viewport()->repaint();

    // What the keys themselves need is laid out after the first.
    qint64 before = 0;
    QElapsedTimer gap;
    qint64 longestGap = 0;
    for (int i = 0; i < 20; ++i) {
        if (i == 1) {
            before = m_box->charactersLaidOut();
            longestGap = 0;
        }
        gap.start();
        QTest::keyClick(m_box, Qt::Key_Left);
        QElapsedTimer between;
        between.start();
        while (between.elapsed() < 3)
            QCoreApplication::processEvents();
        longestGap = std::max(longestGap, gap.elapsed());
    }
    const qint64 during = m_box->charactersLaidOut() - before;
    if (longestGap >= 25)
        QSKIP("the machine was too busy to keep the keys within 25 ms of each other");
    QCOMPARE(during, 0);
    QTRY_VERIFY(m_box->charactersLaidOut() > before);
}

QTEST_MAIN(RichTextBoxTest)
#include "tst_richtextbox.moc"

void RichTextBoxTest::theEndOfALargeRegisterShowsWithoutTheTextAboveIt_data()
{
    QTest::addColumn<bool>("paragraphs");
    QTest::addColumn<QString>("reset");
    for (const bool paragraphs : {false, true})
        for (const char* reset : {"open", "font", "width"})
            QTest::addRow("%s, %s", paragraphs ? "many paragraphs" : "one paragraph", reset)
                << paragraphs << QString::fromLatin1(reset);
}

// Ctrl+End or the scroll bar taken to the end right after the register changed whole lays out the lines
// there, not those above; idle work then lays out the rest without moving the view off the caret, and
// the caret, the characters and the points under them agree all along.
void RichTextBoxTest::theEndOfALargeRegisterShowsWithoutTheTextAboveIt()
{
    QFETCH(bool, paragraphs);
    QFETCH(QString, reset);
    QStringList entries;
    for (int i = 0; i < 8000; ++i)
        entries << u"Иванов И. И.------диск %1 |"_qs.arg(i);
    m_box->setText(entries.join(paragraphs ? u'\n' : u' '));
    m_box->viewport()->repaint();
    if (reset == u"font") {
        QFont font = m_box->font();
        font.setPointSizeF(14);
        m_box->setFont(font);
    }
    else if (reset == u"width")
        m_box->resize(280, 160);

    const qint64 before = m_box->charactersLaidOut();
    QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
    m_box->viewport()->repaint();
    QScrollBar* bar = m_box->verticalScrollBar();
    bar->setValue(bar->maximum());
    m_box->viewport()->repaint();
    const qint64 laid = m_box->charactersLaidOut() - before;
    QVERIFY2(laid < 16000, qPrintable(u"%1 characters laid out"_qs.arg(laid)));

    const int end = int(m_box->text().size());
    QCOMPARE(m_box->textCursor().position(), end);
    QVERIFY2(m_box->viewport()->rect().contains(m_box->cursorRect()), "the caret is in view");
    for (int round = 0; round < 2; ++round) {
        const QRect last = m_box->characterRect(end - 1);
        QCOMPARE(m_box->positionAt(last.center()), end - 1);
        QCOMPARE(m_box->positionAt(m_box->cursorRect().center() + QPoint(2, 0)), end);
        // The layout from the top catches up in idle steps.
        for (qint64 laidBefore = -1; laidBefore != m_box->charactersLaidOut();) {
            laidBefore = m_box->charactersLaidOut();
            QTest::qWait(50);
        }
        m_box->ensureCursorVisible();
        QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
    }
    // Up from the end, line by line, the caret goes through every line above it.
    for (int i = 0; i < 5; ++i)
        QTest::keyClick(m_box, Qt::Key_Up);
    QVERIFY(m_box->textCursor().position() < end - 5 * 10);
    QVERIFY(m_box->viewport()->rect().contains(m_box->cursorRect()));
}
