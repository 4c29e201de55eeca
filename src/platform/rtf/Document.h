#pragma once

#include <QList>
#include <QString>

#include <optional>

// The same type as QtGui's QRgb (0xAARRGGBB): the codec links Qt Core only.
typedef unsigned int QRgb;

namespace krambol::rtf {

// The character format of a run as the document shows it.
struct CharFormat {
    QString fontName = QStringLiteral("MS Sans Serif");
    int charset = 204;           // \fcharset of the font
    int halfPoints = 48;         // \fs
    bool bold = false, italic = false, underline = false;
    std::optional<QRgb> color;   // 0xFFRRGGBB; nullopt = auto colour
    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};

// Text conventions inside runs: paragraph break = U+2029, \line = U+2028, tab = '\t'.
// The control's built-in final paragraph mark (the trailing \par) is not part of the text.
struct Run {
    CharFormat format;
    QString text;
    friend bool operator==(const Run&, const Run&) = default;
};

struct Document {
    QList<Run> runs;
    // The text of all runs, with paragraph breaks and line breaks as '\n'.
    QString plainText() const;
};

} // namespace krambol::rtf
