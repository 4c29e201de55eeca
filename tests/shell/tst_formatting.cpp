// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FontSize.h"
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTextBlock>

using namespace krambol;

// Whole-register style: bold, italic, underline and size apply to all text now and to every entry
// accepted later; the background colour comes from the shared dialog.
class FormattingTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.makeShown(); }
    void cleanup() { f.reset(); }

    void styleFlagsAreIndependentAndReachEveryEntry_data();
    void styleFlagsAreIndependentAndReachEveryEntry();
    void unstylingMakesAllTextRegularAgain();
    void sizeFieldReadings_data();
    void sizeFieldReadings();
    void typingIntoTheSizeFieldAppliesEachKeystroke();
    void backgroundColourFromTheDialogAndCancelKeepsIt();

private:
    // Every character of the register as it shows: its explicit format over the control's font.
    QList<QFont> shownFonts() const
    {
        QList<QFont> fonts;
        const QTextDocument* doc = f.ui().Box->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                fonts << it.fragment().charFormat().font().resolve(doc->defaultFont());
        return fonts;
    }
    void accept(const QString& name)
    {
        f.ui().Text1->setText(name);
        f.ui().Text2->setText(QStringLiteral("Диск"));
        f.form->Command1_Click();
    }

    testing::Form1Fixture f;
};

void FormattingTest::styleFlagsAreIndependentAndReachEveryEntry_data()
{
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    for (int mask = 1; mask < 8; ++mask)
        QTest::addRow("b%d i%d u%d", mask & 1, (mask >> 1) & 1, (mask >> 2) & 1)
            << bool(mask & 1) << bool(mask & 2) << bool(mask & 4);
}

void FormattingTest::styleFlagsAreIndependentAndReachEveryEntry()
{
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    accept(QStringLiteral("Иван"));  // text before the style
    QVERIFY(f.ui().Box->isLocked()); // formatting works while locked

    f.ui().Command2->setChecked(bold);
    f.ui().Command3->setChecked(italic);
    f.ui().Check3->setChecked(underline);
    accept(QStringLiteral("Пётр"));  // an accept rewrites plain text: the style must survive it

    const QList<QFont> fonts = shownFonts();
    QVERIFY(!fonts.isEmpty());
    for (const QFont& font : fonts) {
        QCOMPARE(font.bold(), bold);
        QCOMPARE(font.italic(), italic);
        QCOMPARE(font.underline(), underline);
        QCOMPARE(font.pointSizeF(), 24.0);
    }
}

void FormattingTest::unstylingMakesAllTextRegularAgain()
{
    f.ui().Command2->setChecked(true);
    f.ui().Check3->setChecked(true);
    accept(QStringLiteral("Иван"));
    f.ui().Command2->setChecked(false);
    for (const QFont& font : shownFonts()) {
        QVERIFY(!font.bold());
        QVERIFY(font.underline());
    }
}

void FormattingTest::sizeFieldReadings_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<double>("size");
    QTest::addColumn<QString>("field");  // what the field holds afterwards
    QTest::newRow("whole number") << "12" << 12.0 << "12";
    QTest::newRow("digits then letters") << "12abc" << 12.0 << "12abc";
    QTest::newRow("fraction") << "7.5" << 7.5 << "7.5";
    QTest::newRow("comma ends the number") << "10,5" << 10.0 << "10,5";
    QTest::newRow("empty puts 24 back") << "" << 24.0 << "24";
    QTest::newRow("zero puts 24 back") << "0" << 24.0 << "24";
    QTest::newRow("negative puts 24 back") << "-5" << 24.0 << "24";
    QTest::newRow("letters put 24 back") << "abc" << 24.0 << "24";
    QTest::newRow("above the limit is clamped") << "5000" << shell::kMaxFontSize << "5000";
    QTest::newRow("huge exponent is clamped") << "1e300" << shell::kMaxFontSize << "1e300";
    QTest::newRow("at the limit") << "1638" << 1638.0 << "1638";
}

void FormattingTest::sizeFieldReadings()
{
    QFETCH(QString, typed);
    QFETCH(double, size);
    QFETCH(QString, field);
    accept(QStringLiteral("Иван"));
    f.ui().Text8->setText(typed);
    QCOMPARE(f.ui().Text8->text(), field);
    QCOMPARE(f.ui().Box->document()->defaultFont().pointSizeF(), size);
    for (const QFont& font : shownFonts())
        QCOMPARE(font.pointSizeF(), size);

    // A pure reading agrees with what the window did.
    QCOMPARE(shell::readFontSize(typed).points, size);
}

void FormattingTest::typingIntoTheSizeFieldAppliesEachKeystroke()
{
    // Connected after the window's own reaction, so it sees the size each keystroke applied.
    QList<double> applied;
    connect(f.ui().Text8, &QLineEdit::textChanged, this, [&] { applied << f.ui().Box->document()->defaultFont().pointSizeF(); });
    f.ui().Text8->setFocus();
    f.ui().Text8->selectAll();
    QTest::keyClicks(f.ui().Text8, QStringLiteral("36"));
    QCOMPARE(applied, (QList<double>{3.0, 36.0}));

    // Deleting the last character empties the field: "24" comes back at once.
    QTest::keyClick(f.ui().Text8, Qt::Key_Backspace);
    QTest::keyClick(f.ui().Text8, Qt::Key_Backspace);
    QCOMPARE(f.ui().Text8->text(), QStringLiteral("24"));
    QCOMPARE(f.ui().Box->document()->defaultFont().pointSizeF(), 24.0);
}

void FormattingTest::backgroundColourFromTheDialogAndCancelKeepsIt()
{
    f.seams->dialog.colors.enqueue(QColor(Qt::yellow));
    f.form->Command9_Click();
    QCOMPARE(f.ui().Box->backgroundColor(), QColor(Qt::yellow));
    const testing::DialogCall& call = f.seams->dialog.calls.last();
    QCOMPARE(call.kind, testing::DialogCall::Color);
    QCOMPARE(call.title, QStringLiteral("Фон"));

    // Cancel: the dialog reports the current colour.
    f.form->Command9_Click();
    QCOMPARE(f.seams->dialog.calls.last().currentColor, QColor(Qt::yellow));
    QCOMPARE(f.ui().Box->backgroundColor(), QColor(Qt::yellow));
}

QTEST_MAIN(FormattingTest)
#include "tst_formatting.moc"
