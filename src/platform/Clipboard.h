// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <optional>

namespace krambol::platform {

// The system clipboard in its plain-text format only, and the primary selection of systems that have one
// (X11: what was selected last, anywhere, pasted with the middle mouse button).
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // The clipboard's text; an empty string when it holds no text, nothing when it cannot be read.
    virtual std::optional<QString> text() = 0;
    // Replaces the clipboard's content by the text; false when the clipboard cannot be reached.
    virtual bool setText(const QString& text) = 0;
    // The same for a text that `render` makes when it is first asked for, by a paste here or in another
    // program, perhaps long after (on X11 even while the application ends): `render` must hold all it
    // needs. It runs once at most; a clipboard that cannot wait runs it now.
    virtual bool setDeferredText(std::function<QString()> render) { return setText(render()); }

    // Whether there is a primary selection at all; without one the two below do nothing.
    virtual bool supportsSelection() const { return false; }
    // The primary selection's text, as text() reads the clipboard.
    virtual std::optional<QString> selectionText() { return std::nullopt; }
    // Makes the text the primary selection; false when there is none or it cannot be reached.
    virtual bool setSelectionText(const QString& /*text*/) { return false; }
    // The same for a text made when it is first asked for, as setDeferredText makes the clipboard's.
    virtual bool setDeferredSelectionText(std::function<QString()> render)
    {
        return supportsSelection() && setSelectionText(render());
    }
};

class QtClipboard final : public Clipboard
{
public:
    std::optional<QString> text() override;
    bool setText(const QString& text) override;
    bool setDeferredText(std::function<QString()> render) override;
    bool supportsSelection() const override;
    std::optional<QString> selectionText() override;
    bool setSelectionText(const QString& text) override;
    bool setDeferredSelectionText(std::function<QString()> render) override;
};

} // namespace krambol::platform
