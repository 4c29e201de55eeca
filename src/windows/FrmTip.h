// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;

namespace krambol::platform {
class Clipboard;
}
namespace krambol::textpane {
class RichTextBox;
}

namespace krambol::windows {

class PictureBox;

// The tip-of-the-day window (design name frmTip): one of seven built-in tips at a time, stepped by
// "Следующее" in a fixed cycle. The index of the tip lives in the text of the counter field Text1,
// which lies outside the client area but is still reached by Tab. Every opening makes a new window
// with its own counter: `auto* w = new FrmTip(clipboard); w->show();` (no owner; deletes itself when
// closed). The tip text's copy, cut and paste keys go through the clipboard given (the system's when none
// is), which must outlive the window's use of it.
class FrmTip : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kTipCount = 7;

    explicit FrmTip(QWidget* parent = nullptr);
    explicit FrmTip(platform::Clipboard& clipboard, QWidget* parent = nullptr);

    // The built-in tip of an index from 0 to 6.
    static QString tip(int index);

    // Shows the tip the counter selects; run once when the window is created and again by each
    // press of "Следующее".
    void Form_Load();
    // Advances the counter by one and shows the tip it then selects.
    void cmdNextTip_Click();
    // Closes and unloads this window.
    void cmdOK_Click();

    // The counter value read by the last Form_Load.
    double currentTip() const { return m_currentTip; }

    PictureBox* Picture1() const { return m_Picture1; }
    QLabel* Label1() const { return m_Label1; }
    textpane::RichTextBox* lblTipText() const { return m_lblTipText; }
    QPushButton* cmdOK() const { return m_cmdOK; }
    QPushButton* cmdNextTip() const { return m_cmdNextTip; }
    QLineEdit* Text1() const { return m_Text1; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    FrmTip(platform::Clipboard* clipboard, QWidget* parent);
    bool pressDialogButton(QWidget* focused, const QKeyEvent* event);

    PictureBox* m_Picture1 = nullptr;
    QLabel* m_Label1 = nullptr;
    textpane::RichTextBox* m_lblTipText = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdNextTip = nullptr;
    QLineEdit* m_Text1 = nullptr;
    double m_currentTip = 0;
};

} // namespace krambol::windows
