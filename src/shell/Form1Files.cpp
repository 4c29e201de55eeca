// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "register/Register.h"
#include "register/RegisterFiles.h"
#include "shell/EventHook.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QCloseEvent>

namespace krambol::shell {

void Form1::bindRegisterFiles()
{
    m_files = std::make_unique<reg::RegisterFiles>(
        *m_register, *m_ui.Box, reg::RegisterFiles::Seams{m_services.dialog, m_services.messages, m_services.appExit},
        [this](const QString& caption) {
            // The caption is the path as it is: Qt would take a "[*]" in it for the modified marker
            // and drop it, unless the marker is doubled.
            setWindowTitle(QString(caption).replace(QLatin1String("[*]"), QLatin1String("[*][*]")));
        });
    // What the user does in the register pane waits for an open under way, so that it is done in the
    // register the file brings; looking, pointing and scrolling do not wait.
    (new EventHook(this,
                   {QEvent::KeyPress, QEvent::InputMethod, QEvent::MouseButtonPress, QEvent::MouseButtonDblClick,
                    QEvent::Drop, QEvent::ContextMenu},
                   [this](QObject*, QEvent*) {
                       m_files->finishOpening();
                       return false;
                   }))
        ->watch(m_ui.Box)
        ->watch(m_ui.Box->viewport());
    connect(m_ui.Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(m_ui.Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(m_ui.Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
}

void Form1::Command5_Click()
{
    m_files->save(QString::fromUtf16(reg::kSaveTitle));
}

void Form1::SaveRegisterFromToolbar()
{
    m_files->save(QString::fromUtf16(reg::kSaveTitle));
}

void Form1::ыы_Click()
{
    m_files->save(QString::fromUtf16(reg::kMenuSaveTitle));
}

void Form1::Command6_Click()
{
    m_files->open();
}

void Form1::OpenRegisterFromToolbar()
{
    m_files->open();
}

void Form1::в_Click()
{
    m_files->open();
}

void Form1::Command4_Click()
{
    m_files->exit();
}

bool Form1::finishWriting()
{
    return m_files->finishWriting();
}

bool Form1::finishOpening()
{
    return m_files->finishOpening();
}

bool Form1::isOpening() const
{
    return m_register->opening();
}

void Form1::closeEvent(QCloseEvent* event)
{
    if (!m_files->finishWriting()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

} // namespace krambol::shell
