#include "platform/rtf/Document.h"

namespace krambol::rtf {

QString Document::plainText() const
{
    QString text;
    qsizetype size = 0;
    for (const Run& run : runs)
        size += run.text.size();
    text.reserve(size);
    for (const Run& run : runs)
        text += run.text;
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

} // namespace krambol::rtf
