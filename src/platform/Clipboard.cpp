// SPDX-License-Identifier: GPL-3.0-or-later
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

bool QtClipboard::supportsSelection() const
{
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard && clipboard->supportsSelection();
}

std::optional<QString> QtClipboard::selectionText()
{
    if (!supportsSelection())
        return std::nullopt;
    return QGuiApplication::clipboard()->text(QClipboard::Selection);
}

bool QtClipboard::setSelectionText(const QString& text)
{
    if (!supportsSelection())
        return false;
    QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
    return true;
}

} // namespace krambol::platform
