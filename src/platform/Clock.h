// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

namespace krambol::platform {

// Today's date and the time of day, behind a seam so tests can fix them.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDate today() const override { return QDate::currentDate(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A date as the user's regional settings write it without time, always with a four-digit year
// (17.04.2005 with Russian settings).
QString shortDateText(QDate date, const QLocale& locale = QLocale::system());
// Hours and minutes as the user's regional settings write them (10:07 with Russian settings).
QString shortTimeText(QTime time, const QLocale& locale = QLocale::system());

} // namespace krambol::platform
