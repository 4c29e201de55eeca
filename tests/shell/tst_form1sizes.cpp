// SPDX-License-Identifier: GPL-3.0-or-later
#include "design/Twips.h"
#include "shell/ControlTable.h"
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAction>
#include <QCheckBox>
#include <QStatusBar>
#include <QToolBar>

using namespace krambol;

class Form1SizesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.makeShown(); }
    void cleanup() { f.reset(); }

    void commandsSetFixedHeightsAndBars_data();
    void commandsSetFixedHeightsAndBars();
    void barMarksFollowTheBarsWhenChosenFromTheMenu();

private:
    void run(const QString& command);

    testing::Form1Fixture f;
};

// Buttons are clicked, menu items chosen.
void Form1SizesTest::run(const QString& command)
{
    if (command.startsWith("Command")) {
        auto* button = f.child<QAbstractButton>(command);
        QVERIFY2(button->isVisible(), qPrintable(command));
        QTest::mouseClick(button, Qt::LeftButton);
    } else {
        f.child<QAction>(command)->trigger();
    }
}

void Form1SizesTest::commandsSetFixedHeightsAndBars_data()
{
    QTest::addColumn<QString>("commands");
    QTest::addColumn<int>("windowHeight");  // outer, twips
    QTest::addColumn<int>("boxHeight");     // twips
    QTest::addColumn<bool>("largerShown");  // "Больше >>" rather than "<< Меньше"
    QTest::addColumn<bool>("statusBarShown");
    QTest::addColumn<bool>("toolbarShown");

    QTest::newRow("start") << "" << 6450 << 1335 << true << true << true;
    QTest::newRow("button larger") << "Command7" << 11000 << 5850 << false << true << true;
    QTest::newRow("button larger, smaller") << "Command7 Command8" << 6450 << 1335 << true << true << true;
    QTest::newRow("menu larger") << "ааа" << 11000 << 8000 << false << true << true;
    QTest::newRow("menu larger, button smaller") << "ааа Command8" << 6450 << 1335 << true << true << true;
    QTest::newRow("menu smaller") << "всв" << 4050 << 615 << true << true << true;
    QTest::newRow("menu smaller, menu larger") << "всв ааа" << 11000 << 8000 << false << true << true;
    QTest::newRow("menu smaller, button larger") << "всв Command7" << 11000 << 5850 << false << true << true;
    QTest::newRow("menu smaller, status bar") << "всв паиап" << 6060 << 615 << true << false << true;
    QTest::newRow("menu smaller, toolbar") << "всв тпп" << 6060 << 615 << true << true << false;
    QTest::newRow("larger, status bar hidden") << "Command7 паиап" << 6060 << 5850 << false << false << true;
    QTest::newRow("larger, toolbar hidden") << "Command7 тпп" << 6060 << 5850 << false << true << false;
    QTest::newRow("status bar hidden, larger") << "паиап Command7" << 11000 << 5850 << false << false << true;
    QTest::newRow("status bar hidden") << "паиап" << 6060 << 1335 << true << false << true;
    QTest::newRow("status bar back") << "паиап паиап" << 6450 << 1335 << true << true << true;
    QTest::newRow("toolbar hidden") << "тпп" << 6060 << 1335 << true << true << false;
    QTest::newRow("toolbar back") << "тпп тпп" << 6450 << 1335 << true << true << true;
    QTest::newRow("both hidden") << "паиап тпп" << 6060 << 1335 << true << false << false;
    QTest::newRow("both hidden, status bar back") << "паиап тпп паиап" << 6450 << 1335 << true << true << false;
    QTest::newRow("both hidden, toolbar back") << "паиап тпп тпп" << 6450 << 1335 << true << false << true;
    QTest::newRow("larger after the bars") << "тпп паиап ааа" << 11000 << 8000 << false << false << false;
}

void Form1SizesTest::commandsSetFixedHeightsAndBars()
{
    QFETCH(QString, commands);
    QFETCH(int, windowHeight);
    QFETCH(int, boxHeight);
    QFETCH(bool, largerShown);
    QFETCH(bool, statusBarShown);
    QFETCH(bool, toolbarShown);

    for (const QString& command : commands.split(' ', Qt::SkipEmptyParts))
        run(command);

    const shell::Form1Controls& ui = f.ui();
    QCOMPARE(ui.client->height(), design::clientHeightForOuter(windowHeight));
    QCOMPARE(ui.client->width(), 7755 / 15);
    QTRY_COMPARE(f.form->height(), ui.client->geometry().bottom() + 1);
    QCOMPARE(ui.Box->height(), design::twipsToPixels(boxHeight));
    QCOMPARE(ui.Command7->isVisible(), largerShown);
    QCOMPARE(ui.Command8->isVisible(), !largerShown);

    QCOMPARE(ui.StatusBar1->isVisible(), statusBarShown);
    QCOMPARE(ui.Check5->isChecked(), !statusBarShown);
    QCOMPARE(f.child<QAction>("паиап")->isChecked(), statusBarShown);
    QCOMPARE(ui.Toolbar1->isVisible(), toolbarShown);
    QCOMPARE(ui.isp->isVisible(), toolbarShown);
    QCOMPARE(ui.Check6->isChecked(), !toolbarShown);
    QCOMPARE(f.child<QAction>("тпп")->isChecked(), toolbarShown);
    QVERIFY(!ui.Check5->isVisible());
    QVERIFY(!ui.Check6->isVisible());

    // Only the docked bars move: the status bar follows the lower edge, the toolbar the width.
    for (const shell::ControlSpec& row : shell::form1Controls()) {
        const QString name = QString::fromUtf8(row.name);
        QWidget* control = f.child(name);
        const QRect design = design::twipsToPixels(row.place);
        if (name == "StatusBar1")
            QCOMPARE(control->geometry(), QRect(0, ui.client->height() - design.height(), ui.client->width(),
                                                design.height()));
        else if (name == "Box")
            QCOMPARE(control->geometry(), QRect(design.topLeft(), QSize(design.width(), control->height())));
        else
            QCOMPARE(control->geometry(), design);
    }
}

void Form1SizesTest::barMarksFollowTheBarsWhenChosenFromTheMenu()
{
    // Calling the reactions directly and choosing the items give the same marks.
    f.form->тпп_Click();
    QVERIFY(!f.child<QAction>("тпп")->isChecked());
    f.child<QAction>("тпп")->trigger();
    QVERIFY(f.child<QAction>("тпп")->isChecked());
    QVERIFY(f.ui().Toolbar1->isVisible());
    f.child<QAction>("паиап")->trigger();
    f.form->паиап_Click();
    QVERIFY(f.child<QAction>("паиап")->isChecked());
    QVERIFY(f.ui().StatusBar1->isVisible());
}

QTEST_MAIN(Form1SizesTest)
#include "tst_form1sizes.moc"
