#pragma once

#include <QString>

#include <optional>

namespace krambol::platform {

// The system clipboard in its plain-text format only.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    // The clipboard's text; an empty string when it holds no text, nothing when it cannot be read.
    virtual std::optional<QString> text() = 0;
    // Replaces the clipboard's content by the text; false when the clipboard cannot be reached.
    virtual bool setText(const QString& text) = 0;
};

class QtClipboard final : public Clipboard
{
public:
    std::optional<QString> text() override;
    bool setText(const QString& text) override;
};

} // namespace krambol::platform
