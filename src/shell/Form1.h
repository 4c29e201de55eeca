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

namespace krambol::platform {
class PictureButton;
class RichTextBox;
} // namespace krambol::platform

namespace krambol::reg {
class DateModes;
class EditMode;
class EntryAcceptance;
} // namespace krambol::reg

namespace krambol::shell {

// The controls of the main window by their design names (built from the control table).
struct Form1Controls
{
    QWidget* client = nullptr;  // the client area under the menu bar
    QToolBar* Toolbar1 = nullptr;
    platform::PictureButton* isp = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text2 = nullptr;
    QGroupBox* Frame5 = nullptr;
    QCheckBox* Check2 = nullptr;
    QCheckBox* Check4 = nullptr;
    QLineEdit* Text7 = nullptr;
    platform::PictureButton* Command1 = nullptr;
    QGroupBox* Frame3 = nullptr;
    platform::PictureButton* Check1 = nullptr;
    platform::PictureButton* Command6 = nullptr;
    platform::PictureButton* Command5 = nullptr;
    platform::PictureButton* Command4 = nullptr;
    platform::PictureButton* Command10 = nullptr;
    platform::PictureButton* Command7 = nullptr;
    platform::PictureButton* Command2 = nullptr;
    platform::PictureButton* Command3 = nullptr;
    platform::PictureButton* Check3 = nullptr;
    QPushButton* Command9 = nullptr;
    QGroupBox* Frame4 = nullptr;
    QLineEdit* Text8 = nullptr;
    platform::RichTextBox* Box = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QGroupBox* Frame6 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    QLabel* Image3 = nullptr;
    QLabel* Image4 = nullptr;
    QLabel* Image5 = nullptr;
    QLabel* Image6 = nullptr;
    QLabel* Image7 = nullptr;
    QLabel* Image8 = nullptr;
    QLabel* Image9 = nullptr;
    QPushButton* Command12 = nullptr;
    platform::PictureButton* Command8 = nullptr;
    platform::PictureButton* Command11 = nullptr;
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

    // Entry acceptance.
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
    // Menu commands that run another reaction.
    void ав_Click();

    // Window size in the design's outer twips (frame, caption bar and menu bar included).
    void setOuterHeightTwips(int twips);
    void setOuterWidthTwips(int twips);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenu();
    void bindReactions();
    void layoutDockedBars();

    platform::Services m_services;
    Form1Controls m_ui;
    std::unique_ptr<reg::EntryAcceptance> m_acceptance;
    std::unique_ptr<reg::DateModes> m_dateModes;
    std::unique_ptr<reg::EditMode> m_editMode;
};

} // namespace krambol::shell
