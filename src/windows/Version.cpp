#include "windows/Version.h"

#include <QCoreApplication>

namespace krambol::windows {

QString productName()
{
    return QStringLiteral("Крамбол");
}

QString companyName()
{
    return QStringLiteral("Kermil sift");
}

QVersionNumber version()
{
    return QVersionNumber({2, 4, 0, 9});
}

QString versionText()
{
    return QStringLiteral("2.04.0009");
}

QString versionLabelText()
{
    return QStringLiteral("Version 2.4.9");
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
