// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"
#include "WindowMouse.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <functional>
#include <stdexcept>

using namespace krambol;

using Procedure = std::function<void(krambol::shell::Form1&)>;

namespace {

// The menu bar as lines "name|caption|shortcut|mark", lists indented under their entry.
void describeMenu(const QList<QAction*>& actions, int depth, QStringList& lines)
{
    for (QAction* action : actions) {
        QString line = QString(depth * 2, ' ') + action->objectName() + "|" + action->text() + "|"
                       + action->shortcut().toString(QKeySequence::PortableText);
        if (action->isCheckable())
            line += action->isChecked() ? "|on" : "|off";
        lines << line;
        if (action->menu())
            describeMenu(action->menu()->actions(), depth + 1, lines);
    }
}

// Closes every popup that opens while it runs, noting where each one stood.
class PopupWatcher
{
public:
    PopupWatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                menus << menu->objectName();
                corners << menu->pos();
                if (choose.isEmpty()) {
                    menu->close();
                } else {
                    const QString name = std::exchange(choose, QString());
                    for (QAction* action : menu->actions())
                        if (action->objectName() == name)
                            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                }
            }
        });
        m_timer.start(10);
    }

    QString choose;  // the item to click in the next popup instead of closing it
    QStringList menus;
    QList<QPoint> corners;

private:
    QTimer m_timer;
};

} // namespace

class Form1CommandsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void menuBarHoldsEveryElementInOrder();
    void shortcutsWorkWhereverTheFocusIs_data();
    void shortcutsWorkWhereverTheFocusIs();
    void ctrlAInTheRegisterRunsTheFullAcceptAndTheToolbarTheShortOne();

    void toolbarHoldsFifteenPositionsAroundIsp();
    void toolbarPicturesAreSixteenSquareOnATransparentGround();
    void toolbarKeysRunTheirProcedure_data();
    void toolbarKeysRunTheirProcedure();
    void toolbarDispatchLetsNoFailureEscape();
    void separatorClickRunsNothing();

    void rightPressOnTheRegisterPopsTheEditList_data();
    void rightPressOnTheRegisterPopsTheEditList();
    void contextMenuCornerIsInClientCoordinates_data();
    void contextMenuCornerIsInClientCoordinates();
    void contextMenuItemRunsBeforeThePressReturns();

private:
    QAction* toolAction(const QString& key) const { return f.child<QAction>("Toolbar1_" + key); }
    void fillFields(testing::Form1Fixture& fixture);
    QStringList effects(testing::Form1Fixture& fixture) const;

    testing::Form1Fixture f;
};

void Form1CommandsTest::init()
{
    f.make();
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
}

void Form1CommandsTest::cleanup()
{
    f.reset();
    // F1 opens a tips window that nothing holds on to.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->inherits("krambol::windows::FrmTip"))
            delete window;
}

void Form1CommandsTest::fillFields(testing::Form1Fixture& fixture)
{
    fixture.ui().Text1->setText("Иван");
    fixture.ui().Text2->setText("Матрица");
    fixture.ui().Box->setText("старый список");
    fixture.ui().Box->selectAll();
    fixture.seams->clipboard.content = "из буфера";
}

// Everything a command can leave behind, as seen through the seams and the register.
QStringList Form1CommandsTest::effects(testing::Form1Fixture& fixture) const
{
    QStringList lines;
    for (const testing::DialogCall& call : fixture.seams->dialog.calls)
        lines << QString("dialog %1 %2").arg(call.kind).arg(call.title);
    for (const testing::MessageCall& call : fixture.seams->messages.calls)
        lines << "message " + call.title + " " + call.text;
    lines << QString("clipboard %1 %2").arg(fixture.seams->clipboard.writes).arg(fixture.seams->clipboard.text().value_or(QString()));
    lines << QString("exits %1").arg(fixture.seams->appExit.exits);
    lines << "register " + fixture.ui().Box->text();
    lines << "first entry " + fixture.ui().Text5->text();
    return lines;
}

void Form1CommandsTest::menuBarHoldsEveryElementInOrder()
{
    QStringList lines;
    describeMenu(f.form->menuBar()->actions(), 0, lines);
    const QStringList expected = {
        "w|Файл|",
        "  ва|Режим исправлений|",
        "    ыв|Да|",
        "    аа|Нет|",
        "  ав|Принять|Ctrl+A",
        "  ыы|Coхранить|Ctrl+S",
        "  в|Загрузить|Ctrl+L",
        "  fv|Размер|",
        "    ааа|Больше|",
        "    всв|Меньше|",
        "  а|Выход|Ctrl+F4",
        "ыввув|Правка|",
        "  щщ|Вырезать|",
        "  мм|Копировать|",
        "  амвпа|Вставить|",
        "  нг|Печать|",
        "пиап|Вид|",
        "  паиап|Строка состояния||on",
        "  тпп|Панель управления||on",
        "  перар|Подсказки|F1",
        // A command of the bar itself, not a list.
        "вв|О проекте|",
    };
    QCOMPARE(lines, expected);
    // "Coхранить" begins with the Latin C and o.
    QCOMPARE(f.child<QAction>("ыы")->text().left(2), QString("Co"));
}

void Form1CommandsTest::shortcutsWorkWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<bool>("toolbarHidden");
    QTest::addColumn<QKeySequence>("keys");
    QTest::addColumn<QString>("item");

    const QList<std::pair<QKeySequence, QString>> shortcuts = {
        {QKeySequence(Qt::CTRL | Qt::Key_A), "ав"},   {QKeySequence(Qt::CTRL | Qt::Key_S), "ыы"},
        {QKeySequence(Qt::CTRL | Qt::Key_L), "в"},    {QKeySequence(Qt::CTRL | Qt::Key_F4), "а"},
        {QKeySequence(Qt::Key_F1), "перар"},
    };
    // "Box+" is the register while editing is on.
    for (const QString focus : {"Box", "Box+", "Text1", "Text2", "Text8", "Check2", "Command1"})
        for (const auto& [keys, item] : shortcuts)
            QTest::addRow("%s %s in %s", qPrintable(keys.toString()), qPrintable(item), qPrintable(focus))
                << focus << false << keys << item;
    for (const auto& [keys, item] : shortcuts)
        QTest::addRow("%s toolbar hidden", qPrintable(keys.toString())) << "Text1" << true << keys << item;
}

void Form1CommandsTest::shortcutsWorkWhereverTheFocusIs()
{
    QFETCH(QString, focus);
    QFETCH(bool, toolbarHidden);
    QFETCH(QKeySequence, keys);
    QFETCH(QString, item);

    if (toolbarHidden)
        f.form->тпп_Click();
    if (focus == "Box+") {
        f.form->ыв_Click();
        QVERIFY(!f.ui().Box->isLocked());
    }
    QWidget* target = f.child(focus == "Box+" ? QString("Box") : focus);
    if (auto* field = qobject_cast<QLineEdit*>(target))
        field->setText("текст");
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);

    QSignalSpy chosen(f.child<QAction>(item), &QAction::triggered);
    QTest::keySequence(target, keys);
    QCOMPARE(chosen.count(), 1);
    // The editor did not take the key for itself.
    if (auto* field = qobject_cast<QLineEdit*>(target))
        QVERIFY(!field->hasSelectedText());
}

void Form1CommandsTest::ctrlAInTheRegisterRunsTheFullAcceptAndTheToolbarTheShortOne()
{
    const shell::Form1Controls& ui = f.ui();
    ui.Text1->setText("Иван");
    ui.Text2->setText("Матрица");
    ui.Box->setFocus();
    QTest::keyClick(ui.Box, Qt::Key_A, Qt::ControlModifier);
    const QString full = "Иван" + ui.Text3->text() + ui.Text7->text() + ui.Text3->text() + "Матрица" + ui.Text6->text();
    QCOMPARE(ui.Box->text(), full);
    QVERIFY(!ui.Box->textCursor().hasSelection());

    QTest::mouseClick(ui.Toolbar1->widgetForAction(toolAction("q")), Qt::LeftButton);
    QCOMPARE(ui.Box->text(), full + ui.Text4->text() + "Иван" + ui.Text3->text() + "Матрица");
}

void Form1CommandsTest::toolbarHoldsFifteenPositionsAroundIsp()
{
    const shell::Form1Controls& ui = f.ui();
    QCOMPARE(ui.Toolbar1->geometry(), QRect(0, 0, 517, 28));
    QCOMPARE(ui.Toolbar1->iconSize(), QSize(16, 16));

    QStringList positions;
    for (QAction* action : ui.Toolbar1->actions()) {
        if (action->isSeparator()) {
            positions << "|";
            continue;
        }
        positions << action->data().toString() + " " + action->toolTip();
        QWidget* button = ui.Toolbar1->widgetForAction(action);
        QVERIFY(qobject_cast<QToolButton*>(button));
        QCOMPARE(button->size(), QSize(23, 22));
        QVERIFY(action->text().isEmpty());
    }
    const QStringList expected = {"q Принять",    "|",          "qq Сохранить", "qqq Открыть", "|",
                                  "cut Вырезать", "copy Копировать", "past Вставить", "print Печать",
                                  "|",            "|",          "|",            "|",           "|",
                                  "end Выход"};
    QCOMPARE(positions, expected);

    // isp sits in the gap of the five separators, and "end" follows the gap.
    const QRect print = ui.Toolbar1->widgetForAction(toolAction("print"))->geometry();
    const QRect end = ui.Toolbar1->widgetForAction(toolAction("end"))->geometry();
    QVERIFY2(print.right() < ui.isp->x(), qPrintable(QString::number(print.right())));
    QVERIFY2(ui.isp->geometry().right() < end.left(), qPrintable(QString::number(end.left())));
    QVERIFY(ui.isp->isVisible());
}

void Form1CommandsTest::toolbarPicturesAreSixteenSquareOnATransparentGround()
{
    for (const char* key : {"q", "qq", "qqq", "cut", "copy", "past", "print", "end"}) {
        const QIcon icon = toolAction(key)->icon();
        QVERIFY2(!icon.isNull(), key);
        // 16 x 16, and a rendering for screens at twice the density.
        QVERIFY2(icon.availableSizes().contains(QSize(16, 16)), key);
        const QImage picture = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
        int transparent = 0;
        int opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const QRgb pixel = picture.pixel(x, y);
                if (qAlpha(pixel) == 0) {
                    ++transparent;
                    continue;
                }
                ++opaque;
                // Silver is the ground colour and never shows.
                QVERIFY2(qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)) != qRgb(192, 192, 192), key);
            }
        }
        QVERIFY2(transparent > 0 && opaque > 0, key);
    }
}

void Form1CommandsTest::toolbarKeysRunTheirProcedure_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("button");  // clicked on the toolbar, or only handed to the dispatcher
    QTest::addColumn<Procedure>("procedure");

    using shell::Form1;
    QTest::newRow("q") << "q" << true << Procedure(&Form1::AcceptEntryFromToolbar);
    QTest::newRow("qq") << "qq" << true << Procedure(&Form1::SaveRegisterFromToolbar);
    QTest::newRow("qqq") << "qqq" << true << Procedure(&Form1::OpenRegisterFromToolbar);
    QTest::newRow("cut") << "cut" << true << Procedure(&Form1::щщ_Click);
    QTest::newRow("copy") << "copy" << true << Procedure(&Form1::мм_Click);
    QTest::newRow("past") << "past" << true << Procedure(&Form1::амвпа_Click);
    QTest::newRow("print") << "print" << true << Procedure(&Form1::нг_Click);
    QTest::newRow("end") << "end" << true << Procedure(&Form1::а_Click);
    // Keys compare exactly and case-sensitively; anything else runs nothing.
    const Procedure nothing = [](Form1&) {};
    for (const char* key : {"Q", "End", "cut ", "pr", "paste", ""})
        QTest::addRow("unknown '%s'", key) << key << false << nothing;
}

void Form1CommandsTest::toolbarKeysRunTheirProcedure()
{
    QFETCH(QString, key);
    QFETCH(bool, button);
    QFETCH(Procedure, procedure);

    // The same procedure run directly on an identical window leaves the same traces.
    testing::Form1Fixture twin;
    twin.make();
    twin.form->show();
    fillFields(twin);
    procedure(*twin.form);

    fillFields(f);
    if (button)
        QTest::mouseClick(f.ui().Toolbar1->widgetForAction(toolAction(key)), Qt::LeftButton);
    else
        f.form->Toolbar1_ButtonClick(key);
    QCOMPARE(effects(f), effects(twin));
    if (key == "q")
        QVERIFY(f.ui().Box->text() != "старый список");
}

void Form1CommandsTest::toolbarDispatchLetsNoFailureEscape()
{
    // The empty name makes the accept complain; the complaint itself fails.
    f.seams->messages.onShow = [](const testing::MessageCall&) { throw std::runtime_error("box failed"); };
    QTest::mouseClick(f.ui().Toolbar1->widgetForAction(toolAction("q")), Qt::LeftButton);
    QCOMPARE(f.seams->messages.calls.size(), 1);
    QCOMPARE(f.ui().Box->text(), QString());
    // The window goes on working.
    f.seams->messages.onShow = nullptr;
    f.ui().Text1->setText("Иван");
    f.ui().Text2->setText("Матрица");
    QTest::mouseClick(f.ui().Toolbar1->widgetForAction(toolAction("q")), Qt::LeftButton);
    QVERIFY(f.ui().Box->text().startsWith("Иван"));
}

void Form1CommandsTest::separatorClickRunsNothing()
{
    fillFields(f);
    const QStringList before = effects(f);
    QSignalSpy clicked(f.ui().Toolbar1, &QToolBar::actionTriggered);
    for (QAction* action : f.ui().Toolbar1->actions()) {
        if (!action->isSeparator())
            continue;
        QWidget* separator = f.ui().Toolbar1->widgetForAction(action);
        QVERIFY(separator && separator->isVisible());
        QTest::mouseClick(separator, Qt::LeftButton);
    }
    QCOMPARE(clicked.count(), 0);
    QCOMPARE(effects(f), before);
}

void Form1CommandsTest::rightPressOnTheRegisterPopsTheEditList_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("pops");

    QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers() << false;
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers() << false;
    QTest::newRow("left with ctrl") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier) << false;
    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers() << true;
    QTest::newRow("right with shift") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ShiftModifier) << true;
    QTest::newRow("right with ctrl") << Qt::RightButton << Qt::KeyboardModifiers(Qt::ControlModifier) << true;
    QTest::newRow("right with alt") << Qt::RightButton << Qt::KeyboardModifiers(Qt::AltModifier) << true;
}

void Form1CommandsTest::rightPressOnTheRegisterPopsTheEditList()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, pops);

    // The register is locked at start; the list opens all the same.
    QVERIFY(f.ui().Box->isLocked());
    QWidget* viewport = f.ui().Box->viewport();
    const QPoint pointer(40, 30);
    PopupWatcher watcher;
    {
        testing::WindowMouse mouse(f.form.get());
        mouse.press(viewport, button, modifiers, pointer);
        mouse.release(modifiers);
    }
    QTest::qWait(50);

    // Only the "Правка" list, never the text control's own menu, with its corner at the pointer.
    QCOMPARE(watcher.menus, pops ? QStringList{"ыввув"} : QStringList{});
    if (pops) {
        QCOMPARE(watcher.corners.first(), viewport->mapToGlobal(pointer));
        QStringList items;
        for (QAction* action : f.child<QMenu>("ыввув")->actions())
            items << action->text();
        QCOMPARE(items, QStringList({"Вырезать", "Копировать", "Вставить", "Печать"}));
    }
}

void Form1CommandsTest::contextMenuCornerIsInClientCoordinates_data()
{
    QTest::addColumn<QString>("sizeCommand");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");

    QTest::newRow("corner") << "" << 0 << 0;
    QTest::newRow("corner, menu larger") << "ааа" << 0 << 0;
    QTest::newRow("corner, button larger") << "Command7" << 0 << 0;
    QTest::newRow("inside") << "" << 1500 << 450;
}

void Form1CommandsTest::contextMenuCornerIsInClientCoordinates()
{
    QFETCH(QString, sizeCommand);
    QFETCH(int, x);
    QFETCH(int, y);

    if (sizeCommand == "ааа")
        f.child<QAction>("ааа")->trigger();
    else if (sizeCommand == "Command7")
        QTest::mouseClick(f.ui().Command7, Qt::LeftButton);
    PopupWatcher watcher;
    f.form->Box_MouseDown(Qt::RightButton, Qt::NoModifier, x, y);
    QCOMPARE(watcher.corners.size(), 1);
    QCOMPARE(watcher.corners.first(), f.ui().client->mapToGlobal(QPoint(x / 15, (y + 4080) / 15)));
}

void Form1CommandsTest::contextMenuItemRunsBeforeThePressReturns()
{
    QSignalSpy copied(f.child<QAction>("мм"), &QAction::triggered);
    PopupWatcher watcher;
    watcher.choose = "мм";
    f.form->Box_MouseDown(Qt::RightButton, Qt::ShiftModifier, 300, 300);
    QCOMPARE(copied.count(), 1);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
}

QTEST_MAIN(Form1CommandsTest)
#include "tst_form1commands.moc"
