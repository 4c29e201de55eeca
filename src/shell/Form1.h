// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Services.h"

#include <QMainWindow>

#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;

namespace krambol::cursors {
class ImageSlot;
struct PointerPicture;
} // namespace krambol::cursors

namespace krambol::textpane {
class RichTextBox;
} // namespace krambol::textpane

namespace krambol::widgets {
class PictureButton;
} // namespace krambol::widgets

namespace krambol::reg {
class DateModes;
class EditMode;
class EntryAcceptance;
class Register;
class RegisterFiles;
} // namespace krambol::reg

namespace krambol::shell {

// The controls of the main window by their design names (built from the control table).
struct Form1Controls
{
    QWidget* client = nullptr;  // the client area under the menu bar
    QToolBar* Toolbar1 = nullptr;
    widgets::PictureButton* isp = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QLineEdit* Text7 = nullptr;
    widgets::PictureButton* Command1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    widgets::PictureButton* Check1 = nullptr;
    widgets::PictureButton* Command6 = nullptr;
    widgets::PictureButton* Command5 = nullptr;
    widgets::PictureButton* Command4 = nullptr;
    widgets::PictureButton* Command10 = nullptr;
    widgets::PictureButton* Command7 = nullptr;
    widgets::PictureButton* Command2 = nullptr;
    widgets::PictureButton* Command3 = nullptr;
    widgets::PictureButton* Check3 = nullptr;
    QPushButton* Command9 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLineEdit* Text8 = nullptr;
    textpane::RichTextBox* Box = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QGroupBox* Frame6 = nullptr;
    cursors::ImageSlot* Image1 = nullptr;
    cursors::ImageSlot* Image2 = nullptr;
    cursors::ImageSlot* Image3 = nullptr;
    cursors::ImageSlot* Image4 = nullptr;
    cursors::ImageSlot* Image5 = nullptr;
    cursors::ImageSlot* Image6 = nullptr;
    cursors::ImageSlot* Image7 = nullptr;
    cursors::ImageSlot* Image8 = nullptr;
    cursors::ImageSlot* Image9 = nullptr;
    QPushButton* Command12 = nullptr;
    widgets::PictureButton* Command8 = nullptr;
    widgets::PictureButton* Command11 = nullptr;
    QCheckBox* Check5 = nullptr;
    QCheckBox* Check6 = nullptr;
    QLineEdit* Text3 = nullptr;
    QLineEdit* Text4 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text6 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* Picture3 = nullptr;
    QLabel* Picture4 = nullptr;
    QLabel* Picture5 = nullptr;
    QLabel* e = nullptr;
};

// The main window: holds the debtor register and all state of a run in its controls. Its reactions are
// public member functions named after control and event; the command surface, the tests and the
// benchmarks call them directly.
class Form1 : public QMainWindow
{
    Q_OBJECT

public:
    explicit Form1(const platform::Services& services, QWidget* parent = nullptr);
    ~Form1() override;

    const Form1Controls& controls() const { return m_ui; }

    // The load reaction: opens the splash window; run once, before the window first shows.
    void Form_Load();

    // Entry acceptance (Form1Register.cpp).
    void Command1_Click();
    void AcceptEntryFromToolbar();
    // Date modes.
    void Check2_Click();
    void Check4_Click();
    // Edit mode.
    void Check1_Click();
    void isp_Click();
    void ыв_Click();
    void аа_Click();

    // Register files (Form1Files.cpp).
    void Command5_Click();
    void Command6_Click();
    void Command4_Click();
    void SaveRegisterFromToolbar();
    void OpenRegisterFromToolbar();
    void ыы_Click();
    void в_Click();

    // Formatting and background colour (Form1Format.cpp).
    void Command2_Click();
    void Command3_Click();
    void Check3_Click();
    void Text8_Change();
    void Command9_Click();

    // Clipboard and printing (Form1Clipboard.cpp).
    void щщ_Click();
    void мм_Click();
    void амвпа_Click();
    void нг_Click();

    // Size modes and bar visibility (Form1Sizes.cpp).
    void Command7_Click();
    void Command8_Click();
    void ааа_Click();
    void всв_Click();
    void паиап_Click();
    void тпп_Click();

    // Command surface (Form1Commands.cpp): menu commands that run another reaction, the toolbar
    // dispatcher, the register's context menu, the tips and about windows.
    void ав_Click();
    void а_Click();
    void Toolbar1_ButtonClick(const QString& key);
    void Box_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void перар_Click();
    void вв_Click();

    // Cursor collection (Form1Cursors.cpp).
    void Command10_Click();
    void Command11_Click();
    void Image1_Click();
    void Image2_Click();
    void Image3_Click();
    void Image4_Click();
    void Image5_Click();
    void Image6_Click();
    void Image7_Click();
    void Image8_Click();
    void Image9_Click();
    void Command12_Click();

    // Hover and press feedback (Form1Hover.cpp). The reactions take the event's button, shift state and
    // position (in twips) and use none of them: every button and place is treated alike.
    void Check1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command4_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command5_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command6_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command7_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command8_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command10_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command11_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Check1_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command1_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command4_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command5_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command6_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command7_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command8_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command10_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command11_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command4_MouseUp(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command2_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Command3_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Check3_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Check2_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Check4_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Text1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Text2_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Text8_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Box_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Toolbar1_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);
    void Form_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, int x, int y);

    // Window size in the design's outer twips (frame, caption bar and menu bar included).
    void setOuterHeightTwips(int twips);
    void setOuterWidthTwips(int twips);
    int outerHeightTwips() const;
    int outerWidthTwips() const;

    // The window's pointer image, shown over its bare surface; an empty picture clears it.
    void setPointerPicture(const cursors::PointerPicture& picture);

    // Waits for a save whose file is still being written and tells its failure; false when it failed.
    bool finishWriting();
    // Ends an open whose file is still being read and tells its failure; false when it failed.
    bool finishOpening();
    bool isOpening() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Closing the window waits for a file being written; one that could not be written keeps the window
    // open, so the register is not lost.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void bindReactions();
    void layoutDockedBars();
    // Each concern binds its own controls, in its own file.
    void bindRegisterFiles();
    void bindFormatting();
    void bindSizes();
    void bindCommandSurface();
    void bindHover();
    void bindStatusBar();
    void bindCursors();
    // Accessible names, descriptions and the keyboard path through the cursor panel.
    void bindAccessibility();
    // Puts the register's selected part on the clipboard as RTF source text. The text is written when a
    // paste asks for it, from what was selected now.
    void copySelectionRtf();

    platform::Services m_services;
    // The register the pane shows; it outlives the pane's hold on it (see ~Form1).
    std::unique_ptr<reg::Register> m_register;
    Form1Controls m_ui;
    std::unique_ptr<reg::EntryAcceptance> m_acceptance;
    std::unique_ptr<reg::DateModes> m_dateModes;
    std::unique_ptr<reg::EditMode> m_editMode;
    std::unique_ptr<reg::RegisterFiles> m_files;
    // Status bar: panels 1 to 3 refresh themselves; panel 4 is the hint panel.
    void setHint(const QString& hint);
    void refreshStatusPanels();
    QLabel* m_panels[4] = {};
    // The check marks of the bar toggles.
    QAction* m_statusBarMark = nullptr;
    QAction* m_toolbarMark = nullptr;
};

} // namespace krambol::shell
