// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace krambol::platform {

namespace {

// Text on the clipboard in the formats QClipboard::setText offers (plain text only), made when a paste
// first asks for it, as QTextEdit makes its HTML. The clipboard owns it and drops it when something else
// takes the clipboard's place.
class DeferredText final : public QMimeData
{
public:
    explicit DeferredText(std::function<QString()> render) : m_render(std::move(render)) {}

    QStringList formats() const override { return {plainText()}; }
    bool hasFormat(const QString& mimeType) const override { return mimeType == plainText(); }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType /*type*/) const override
    {
        if (!hasFormat(mimeType))
            return {};
        if (m_render) {
            m_text = m_render();
            m_render = nullptr;   // what it held is not needed any more
        }
        return m_text;
    }

private:
    static QString plainText() { return QStringLiteral("text/plain"); }

    mutable std::function<QString()> m_render;
    mutable QString m_text;
};

} // namespace

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

bool QtClipboard::setDeferredText(std::function<QString()> render)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        return false;
    clipboard->setMimeData(new DeferredText(std::move(render)));
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

bool QtClipboard::setDeferredSelectionText(std::function<QString()> render)
{
    if (!supportsSelection())
        return false;
    QGuiApplication::clipboard()->setMimeData(new DeferredText(std::move(render)), QClipboard::Selection);
    return true;
}

} // namespace krambol::platform
