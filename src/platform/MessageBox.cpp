// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/MessageBox.h"

#include "platform/Product.h"

#include <QDir>
#include <QMessageBox>
#include <QPushButton>

namespace krambol::platform {

void showFileFailure(MessageBox& messages, const QString& what, const QString& path, const QString& reason)
{
    messages.show(what + QStringLiteral(" «") + QDir::toNativeSeparators(path) + QStringLiteral("».\n") + reason,
                  productName(), MessageIcon::Critical, MessageButtons::Ok);
}

QtMessageBox::QtMessageBox(QWidget* parent)
    : m_parent(parent)
{
}

MessageAnswer QtMessageBox::show(const QString& text, const QString& title, MessageIcon icon,
                                 MessageButtons buttons)
{
    QMessageBox box(m_parent);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case MessageIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MessageIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MessageIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MessageIcon::Information: box.setIcon(QMessageBox::Information); break;
    }
    if (buttons == MessageButtons::Ok) {
        box.setStandardButtons(QMessageBox::Ok);
        box.exec();
        return MessageAnswer::Ok;
    }
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Отмена"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return MessageAnswer::Yes;
    if (box.clickedButton() == no)
        return MessageAnswer::No;
    return MessageAnswer::Cancel;
}

} // namespace krambol::platform
