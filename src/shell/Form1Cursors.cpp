// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "cursors/ImageSlot.h"
#include "cursors/PointerPicture.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "widgets/PictureButton.h"

namespace krambol::shell {

namespace {
// Outer widths of the window with the cursor panel in view and out of view.
constexpr int kWideWidth = 9390;
constexpr int kNarrowWidth = 7830;
} // namespace

void Form1::bindCursors()
{
    connect(m_ui.Command10, &QPushButton::clicked, this, &Form1::Command10_Click);
    connect(m_ui.Command11, &QPushButton::clicked, this, &Form1::Command11_Click);
    connect(m_ui.Command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    connect(m_ui.Image1, &cursors::ImageSlot::clicked, this, &Form1::Image1_Click);
    connect(m_ui.Image2, &cursors::ImageSlot::clicked, this, &Form1::Image2_Click);
    connect(m_ui.Image3, &cursors::ImageSlot::clicked, this, &Form1::Image3_Click);
    connect(m_ui.Image4, &cursors::ImageSlot::clicked, this, &Form1::Image4_Click);
    connect(m_ui.Image5, &cursors::ImageSlot::clicked, this, &Form1::Image5_Click);
    connect(m_ui.Image6, &cursors::ImageSlot::clicked, this, &Form1::Image6_Click);
    connect(m_ui.Image7, &cursors::ImageSlot::clicked, this, &Form1::Image7_Click);
    connect(m_ui.Image8, &cursors::ImageSlot::clicked, this, &Form1::Image8_Click);
    connect(m_ui.Image9, &cursors::ImageSlot::clicked, this, &Form1::Image9_Click);
}

void Form1::Command10_Click()
{
    m_ui.Command10->hide();
    m_ui.Command11->show();
    setOuterWidthTwips(kWideWidth);
}

void Form1::Command11_Click()
{
    m_ui.Command11->hide();
    m_ui.Command10->show();
    setOuterWidthTwips(kNarrowWidth);
}

// A slot's picture object itself becomes the pointer, not its rendering in the panel.
void Form1::Image1_Click() { setPointerPicture(m_ui.Image1->picture()); }
void Form1::Image2_Click() { setPointerPicture(m_ui.Image2->picture()); }
void Form1::Image3_Click() { setPointerPicture(m_ui.Image3->picture()); }
void Form1::Image4_Click() { setPointerPicture(m_ui.Image4->picture()); }
void Form1::Image5_Click() { setPointerPicture(m_ui.Image5->picture()); }
void Form1::Image6_Click() { setPointerPicture(m_ui.Image6->picture()); }
void Form1::Image7_Click() { setPointerPicture(m_ui.Image7->picture()); }
void Form1::Image8_Click() { setPointerPicture(m_ui.Image8->picture()); }
void Form1::Image9_Click() { setPointerPicture(m_ui.Image9->picture()); }

void Form1::Command12_Click()
{
    const QString path =
        m_services.dialog.showOpen({QStringLiteral("Открыть"), QStringLiteral("Иконки(*.ico)|*.ico")});
    // A cancelled dialog changes nothing: the slot keeps its icon and the pointer stays.
    if (path.isEmpty())
        return;
    const cursors::PointerPictureRead read = cursors::loadPointerPicture(path);
    if (read.error) {
        // A file that is no usable icon changes neither the slot nor the pointer.
        platform::showFileFailure(m_services.messages, QStringLiteral("Не удалось загрузить значок из файла"), path,
                                  *read.error);
        return;
    }
    m_ui.Image6->setPicture(read.picture);
    setPointerPicture(m_ui.Image6->picture());
}

} // namespace krambol::shell
