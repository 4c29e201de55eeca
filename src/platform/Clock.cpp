// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <QRegularExpression>

namespace krambol::platform {

QString shortDateText(QDate date, const QLocale& locale)
{
    QString format = locale.dateFormat(QLocale::ShortFormat);
    // Some locales write a two-digit year in their short format; the register always carries four.
    static const QRegularExpression twoDigitYear(QStringLiteral("(?<!y)yy(?!y)"));
    format.replace(twoDigitYear, QStringLiteral("yyyy"));
    return locale.toString(date, format);
}

QString shortTimeText(QTime time, const QLocale& locale)
{
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // Hours and minutes only, whatever else the short format carries.
    static const QRegularExpression seconds(QStringLiteral("[:.]?s+"));
    format.remove(seconds);
    return locale.toString(time, format.trimmed());
}

} // namespace krambol::platform
