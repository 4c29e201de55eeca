// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Version.h"
#include "platform/Product.h"
#include "windows/ProjectVersion.h"

#include <QCoreApplication>

namespace krambol::windows {

QString productName()
{
    return platform::productName();
}

QString companyName()
{
    return QStringLiteral("Kermil sift");
}

QVersionNumber version()
{
    return QVersionNumber(
        {KRAMBOL_VERSION_MAJOR, KRAMBOL_VERSION_MINOR, KRAMBOL_VERSION_BUILD, KRAMBOL_VERSION_REVISION});
}

QString versionText()
{
    return QStringLiteral(KRAMBOL_FILE_VERSION_TEXT);
}

QString versionLabelText()
{
    return QStringLiteral("Version " KRAMBOL_RELEASE_VERSION);
}

void applyApplicationMetadata()
{
    QCoreApplication::setApplicationName(productName());
    QCoreApplication::setOrganizationName(companyName());
    QCoreApplication::setApplicationVersion(versionText());
    // The display name is deliberately left unset: applicationDisplayName() then falls back to the
    // application name, while an explicit one would be appended by the desktop to every window
    // caption ("Подсказки - Крамбол").
}

} // namespace krambol::windows
