// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAction>
#include <QCheckBox>
#include <QStatusBar>
#include <QToolBar>

namespace krambol::shell {

namespace {

// Outer window heights and register pane heights in twips; every command sets fixed values.
constexpr int kLargeWindow = 11000;
constexpr int kDesignWindow = 6450;
constexpr int kSmallWindow = 4050;
constexpr int kOneBarHidden = 6060;

// One size command: which of the two size buttons shows, the window height and the pane height.
struct SizeMode
{
    bool largerShown;  // Command7 "Больше >>" shows, Command8 "<< Меньше" hides
    int windowHeight;
    int boxHeight;
};

constexpr SizeMode kButtonLarge{false, kLargeWindow, 5850};
constexpr SizeMode kButtonSmall{true, kDesignWindow, 1335};
constexpr SizeMode kMenuLarge{false, kLargeWindow, 8000};
constexpr SizeMode kMenuSmall{true, kSmallWindow, 615};

// Four steps in this order: the two buttons' visibility, the window height, the pane height.
void applySizeMode(Form1& form, const SizeMode& mode)
{
    const Form1Controls& ui = form.controls();
    ui.Command7->setVisible(mode.largerShown);
    ui.Command8->setVisible(!mode.largerShown);
    form.setOuterHeightTwips(mode.windowHeight);
    ui.Box->setHeightTwips(mode.boxHeight);
}

} // namespace

void Form1::bindSizes()
{
    m_statusBarMark = findChild<QAction*>(QStringLiteral("паиап"));
    m_toolbarMark = findChild<QAction*>(QStringLiteral("тпп"));
    Q_ASSERT(m_statusBarMark && m_toolbarMark);
    connect(m_ui.Command7, &QPushButton::clicked, this, &Form1::Command7_Click);
    connect(m_ui.Command8, &QPushButton::clicked, this, &Form1::Command8_Click);
}

void Form1::Command7_Click()
{
    applySizeMode(*this, kButtonLarge);
}

void Form1::Command8_Click()
{
    applySizeMode(*this, kButtonSmall);
}

void Form1::ааа_Click()
{
    applySizeMode(*this, kMenuLarge);
}

void Form1::всв_Click()
{
    applySizeMode(*this, kMenuSmall);
}

// The bar toggles set the height regardless of the size mode and of the other bar.
void Form1::паиап_Click()
{
    if (m_ui.Check5->isChecked()) {
        m_ui.StatusBar1->show();
        setOuterHeightTwips(kDesignWindow);
        m_statusBarMark->setChecked(true);
        m_ui.Check5->setChecked(false);
    } else {
        m_ui.StatusBar1->hide();
        setOuterHeightTwips(kOneBarHidden);
        m_statusBarMark->setChecked(false);
        m_ui.Check5->setChecked(true);
    }
}

void Form1::тпп_Click()
{
    if (m_ui.Check6->isChecked()) {
        m_ui.Toolbar1->show();
        m_ui.isp->show();
        setOuterHeightTwips(kDesignWindow);
        m_toolbarMark->setChecked(true);
        m_ui.Check6->setChecked(false);
    } else {
        m_ui.Toolbar1->hide();
        m_ui.isp->hide();
        setOuterHeightTwips(kOneBarHidden);
        m_toolbarMark->setChecked(false);
        m_ui.Check6->setChecked(true);
    }
}

} // namespace krambol::shell
