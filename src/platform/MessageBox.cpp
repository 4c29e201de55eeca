#include "platform/MessageBox.h"

#include <QMessageBox>

namespace krambol::platform {

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
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    box.setButtonText(QMessageBox::Yes, QStringLiteral("Да"));
    box.setButtonText(QMessageBox::No, QStringLiteral("Нет"));
    box.setButtonText(QMessageBox::Cancel, QStringLiteral("Отмена"));
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
    }
}

} // namespace krambol::platform
