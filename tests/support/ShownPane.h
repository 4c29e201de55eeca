// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "textpane/RichTextBox.h"

#include <QTest>
#include <QTextCursor>

// What the tests of the text pane share: a window shown and active with the pane holding the
// keyboard, and a selection set from an anchor and a position.
namespace krambol::testing {

inline void showWithFocusIn(QWidget* window, QWidget* focus)
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    focus->setFocus();
    QTRY_VERIFY(focus->hasFocus());
}

inline void selectRange(textpane::RichTextBox& box, int anchor, int position)
{
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

} // namespace krambol::testing
