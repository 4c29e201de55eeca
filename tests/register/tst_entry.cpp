// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/Entry.h"

#include <QTest>

using namespace krambol::reg;

class EntryTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void composesEachShape_data();
    void composesEachShape();
    void firstAcceptWhileFlagIsNotTwo_data();
    void firstAcceptWhileFlagIsNotTwo();
};

void EntryTest::composesEachShape_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("disc");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("full");
    QTest::addColumn<bool>("first");
    QTest::addColumn<QString>("expected");

    QTest::newRow("full, first, no date: twelve hyphens")
        << "Иван" << "Игра" << "" << "------" << true << true << "Иван------------Игра |";
    QTest::newRow("full, later, today's date")
        << "Пётр" << "Диск" << "17.04.2005" << "-" << true << false << " Пётр-17.04.2005-Диск |";
    QTest::newRow("short, later: no date, no end mark")
        << "Анна" << "Кино" << "17.04.2005" << "-" << false << false << " Анна-Кино";
    QTest::newRow("short, first") << "Анна" << "Кино" << "" << "------" << false << true << "Анна------Кино";
    QTest::newRow("full with a date typed without a mode")
        << "Иван" << "Игра" << "1 мая" << "------" << true << true << "Иван------1 мая------Игра |";
    QTest::newRow("hyphens and bars are kept") << "А-|Б" << "|-|" << "" << "-" << true << false << " А-|Б--|-| |";
    QTest::newRow("a name of spaces") << "   " << "Игра" << "" << "------" << false << true << "   ------Игра";
}

void EntryTest::composesEachShape()
{
    QFETCH(QString, name);
    QFETCH(QString, disc);
    QFETCH(QString, date);
    QFETCH(QString, separator);
    QFETCH(bool, full);
    QFETCH(bool, first);
    QFETCH(QString, expected);
    const EntryFields fields{name, disc, date, separator, QStringLiteral(" "), QStringLiteral(" |")};
    QCOMPARE(composeEntry(fields, full ? EntryShape::Full : EntryShape::Short, first), expected);
}

void EntryTest::firstAcceptWhileFlagIsNotTwo_data()
{
    QTest::addColumn<QString>("flag");
    QTest::addColumn<bool>("first");
    QTest::newRow("start text") << "Text5" << true;
    QTest::newRow("after an accept") << "2" << false;
    QTest::newRow("leading 2 with more") << "2abc" << false;
    QTest::newRow("2.0 is two") << "2.0" << false;
    QTest::newRow("20") << "20" << true;
    QTest::newRow("empty") << "" << true;
}

void EntryTest::firstAcceptWhileFlagIsNotTwo()
{
    QFETCH(QString, flag);
    QFETCH(bool, first);
    QCOMPARE(isFirstAccept(flag), first);
}

QTEST_GUILESS_MAIN(EntryTest)
#include "tst_entry.moc"
