#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace krambol::platform {

std::optional<QString> QtClipboard::text()
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return std::nullopt;
    return clipboard->text();
}

bool QtClipboard::setText(const QString& text)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setText(text);
    return true;
}

} // namespace krambol::platform
