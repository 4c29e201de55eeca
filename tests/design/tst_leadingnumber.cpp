// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/LeadingNumber.h"

#include <QTest>

#include <cmath>

using krambol::design::leadingNumber;

class LeadingNumberTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheNumberTheTextBeginsWith_data();
    void readsTheNumberTheTextBeginsWith();
    void hugeExponentsGiveInfinityOrZero();
};

void LeadingNumberTest::readsTheNumberTheTextBeginsWith_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("integer") << "24" << 24.0;
    QTest::newRow("digits then letters") << "12abc" << 12.0;
    QTest::newRow("decimal point") << "7.5" << 7.5;
    QTest::newRow("comma ends the number") << "10,5" << 10.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("start text of a flag") << "Text5" << 0.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus sign") << "+4" << 4.0;
    QTest::newRow("leading blanks") << "  \t2" << 2.0;
    QTest::newRow("blanks inside are skipped") << "1 2" << 12.0;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("point without digits") << "." << 0.0;
    QTest::newRow("exponent") << "1e2" << 100.0;
    QTest::newRow("D exponent") << "1.5D1" << 15.0;
    QTest::newRow("exponent without digits ends the number") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+x" << 3.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("number then second point") << "1.2.3" << 1.2;
    QTest::newRow("non-ASCII digits do not count") << "\u0663" << 0.0;
}

void LeadingNumberTest::readsTheNumberTheTextBeginsWith()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(leadingNumber(text), expected);
}

void LeadingNumberTest::hugeExponentsGiveInfinityOrZero()
{
    QVERIFY(std::isinf(leadingNumber(u"1e999")));
    QCOMPARE(leadingNumber(u"1e-999"), 0.0);
    QVERIFY(std::isinf(leadingNumber(u"-1e999")) && leadingNumber(u"-1e999") < 0);
}

QTEST_GUILESS_MAIN(LeadingNumberTest)
#include "tst_leadingnumber.moc"
