// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Clock.h"

#include <QTest>

using krambol::platform::shortDateText;
using krambol::platform::shortTimeText;

// Dates and times as the regional settings write them: the date always with a four-digit year.
class ClockTest : public QObject
{
    Q_OBJECT

private slots:
    void shortDateKeepsAFourDigitYear_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("twoDigitYearFormat");
        QTest::addColumn<QDate>("date");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Russian") << "ru_RU" << false << QDate(2005, 4, 17) << "17.04.2005";
        QTest::newRow("US English, month first") << "en_US" << true << QDate(2005, 4, 17) << "4/17/2005";
        QTest::newRow("US English, last century") << "en_US" << true << QDate(1999, 12, 31) << "12/31/1999";
        QTest::newRow("German") << "de_DE" << true << QDate(2005, 4, 7) << "07.04.2005";
        QTest::newRow("Korean, year first") << "ko_KR" << true << QDate(2005, 4, 17) << "2005. 4. 17.";
        QTest::newRow("Swedish, four digits already") << "sv_SE" << false << QDate(2005, 4, 17) << "2005-04-17";
    }
    void shortDateKeepsAFourDigitYear()
    {
        QFETCH(QString, locale);
        QFETCH(bool, twoDigitYearFormat);
        QFETCH(QDate, date);
        QFETCH(QString, expected);
        const QLocale regional(locale);
        // The row tests what it says only if the locale's own short format is as described.
        const QString format = regional.dateFormat(QLocale::ShortFormat);
        QCOMPARE(format.contains(QStringLiteral("yy")) && !format.contains(QStringLiteral("yyyy")), twoDigitYearFormat);
        QCOMPARE(shortDateText(date, regional), expected);
    }

    void shortTimeHasHoursAndMinutes_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("Russian") << "ru_RU" << "10:07";
        QTest::newRow("US English") << "en_US" << "10:07 AM";
    }
    void shortTimeHasHoursAndMinutes()
    {
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(shortTimeText(QTime(10, 7, 42), QLocale(locale)), expected);
    }
};

QTEST_GUILESS_MAIN(ClockTest)
#include "tst_clock.moc"
