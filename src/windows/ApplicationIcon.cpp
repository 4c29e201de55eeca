// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ApplicationIcon.h"

namespace krambol::windows {

QIcon applicationIcon()
{
    QIcon icon(QStringLiteral(":/form1/krambol.ico"));
    for (int size : {64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/krambol.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace krambol::windows
