// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/NoSettings.h"

#include <QSettings>
#include <QString>

namespace krambol::platform {

namespace {

#ifdef Q_OS_WIN
// No Windows file system accepts '?' in a name, so no file can be opened or made below it. The
// native format is the registry, which has no path to move: what the toolkit keeps there stays.
const QString kNowhere = QStringLiteral("C:/?");
#else
// Below a device that is no folder: "/dev/null/QtProject.conf" can be neither read nor created.
const QString kNowhere = QStringLiteral("/dev/null");
#endif

} // namespace

void keepNoSettings()
{
    // Both scopes: a user-scope read falls back on the system-wide files (/etc/xdg, XDG_CONFIG_DIRS).
    for (const QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
        for (const QSettings::Scope scope : {QSettings::UserScope, QSettings::SystemScope})
            QSettings::setPath(format, scope, kNowhere);
}

} // namespace krambol::platform
