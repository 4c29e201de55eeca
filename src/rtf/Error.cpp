// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/Error.h"

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
    case Code::TooComplex:
        return QStringLiteral("Документ RTF слишком сложен для своего размера: к байту %1 в нём столько абзацев, "
                              "шрифтов, цветов или смен оформления, что для показа понадобилось бы во много раз "
                              "больше памяти, чем занимает сам файл.").arg(position);
    case Code::TooLarge:
        return QStringLiteral("Документ RTF слишком велик: больше %1 байт.").arg(position);
    }
    return QStringLiteral("Документ RTF повреждён (байт %1).").arg(position);
}

} // namespace krambol::rtf
