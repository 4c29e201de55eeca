#include "platform/rtf/Error.h"

namespace krambol::rtf {

QString Error::message() const
{
    switch (code) {
    case Code::Empty:
        return QStringLiteral("Файл пуст.");
    case Code::NotRtf:
        return QStringLiteral("Файл не является документом RTF.");
    case Code::UnexpectedEnd:
        return QStringLiteral("Документ RTF обрывается на байте %1: файл неполон или повреждён.").arg(position);
    }
    return QStringLiteral("Документ RTF повреждён (байт %1).").arg(position);
}

} // namespace krambol::rtf
