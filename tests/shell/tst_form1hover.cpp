// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/PictureButton.h"
#include "support/Form1Fixture.h"
#include "WindowMouse.h"

#include <QLabel>
#include <QStatusBar>

using namespace krambol;

namespace {

// The nine feedback targets, in the order the bare surface resets them.
const QStringList kTargets = {"Check1", "Command7", "Command8", "Command1", "Command5",
                              "Command6", "Command4", "Command10", "Command11"};

// A spot of the client area with no control under it.
const QPoint kBareSurface(360, 230);

QPixmap solid(QColor colour, QSize size)
{
    QPixmap picture(size);
    picture.fill(colour);
    return picture;
}

} // namespace

class Form1HoverTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startsWithPlainLooksAndAnEmptyHint();
    void mouseSequencesGiveLooksAndHint_data();
    void mouseSequencesGiveLooksAndHint();
    void surfaceResetsHiddenTargetsToo();
    void hintIsWrittenWhileTheStatusBarIsHidden();

private:
    // "g" hover, "y" pressed, "r" exit pressed, "-" plain, "?" anything else.
    QString look(const QString& target) const;
    // Every target that is not plain, as "Name=look", in target order.
    QString litTargets() const;
    QString hint() const { return f.child<QLabel>("Panel4")->text(); }
    void run(const QString& steps);

    testing::Form1Fixture f;
    std::unique_ptr<testing::WindowMouse> mouse;
};

void Form1HoverTest::init()
{
    f.make();
    // Known colours in the look holders, so each look can be told from the others.
    f.ui().Picture3->setPixmap(solid(QColor(0, 255, 0), QSize(139, 63)));
    f.ui().Picture5->setPixmap(solid(QColor(255, 255, 0), QSize(217, 77)));
    f.ui().Picture4->setPixmap(solid(QColor(255, 0, 0), QSize(139, 63)));
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    mouse = std::make_unique<testing::WindowMouse>(f.form.get());
    // Start from a pointer outside the window, so the first move of a test is a move.
    QTest::mouseMove(f.form->windowHandle(), QPoint(-20, -20));
}

void Form1HoverTest::cleanup()
{
    mouse.reset();
    f.reset();
}

QString Form1HoverTest::look(const QString& target) const
{
    const QPixmap face = f.child<widgets::PictureButton>(target)->facePicture();
    if (face.isNull())
        return "-";
    const QColor colour = face.toImage().pixelColor(0, 0);
    if (colour == QColor(0, 255, 0))
        return "g";
    if (colour == QColor(255, 255, 0))
        return "y";
    if (colour == QColor(255, 0, 0))
        return "r";
    return "?";
}

QString Form1HoverTest::litTargets() const
{
    QStringList lit;
    for (const QString& target : kTargets)
        if (look(target) != "-")
            lit << target + "=" + look(target);
    return lit.join(' ');
}

// Steps separated by ";": "move X [x,y]", "press X [right|middle]", "release", "click X", "show X", where
// X is a control's name or "surface" for the bare client area, at its centre unless x,y is given. As
// with a real mouse, a press away from the last position moves the pointer there first.
void Form1HoverTest::run(const QString& steps)
{
    for (const QString& step : steps.split(';', Qt::SkipEmptyParts)) {
        const QStringList words = step.split(' ', Qt::SkipEmptyParts);
        const QString verb = words.value(0);
        const QString name = words.value(1);
        QWidget* widget = name == "surface" ? f.ui().client : (name.isEmpty() ? nullptr : f.child(name));
        QPoint point = name == "surface" ? kBareSurface : QPoint(-1, -1);
        const QString which = words.value(2);
        if (which.contains(','))
            point = QPoint(which.section(',', 0, 0).toInt(), which.section(',', 1, 1).toInt());
        if (verb == "move") {
            mouse->move(widget, point);
        } else if (verb == "press") {
            const Qt::MouseButton button = which == "right" ? Qt::RightButton
                                           : which == "middle" ? Qt::MiddleButton
                                                               : Qt::LeftButton;
            mouse->press(widget, button, {}, point);
        } else if (verb == "release") {
            mouse->release();
        } else if (verb == "click") {
            mouse->press(widget, Qt::LeftButton, {}, point);
            mouse->release();
        } else if (verb == "show") {
            widget->show();
        } else {
            QFAIL(qPrintable("unknown step " + step));
        }
    }
}

void Form1HoverTest::startsWithPlainLooksAndAnEmptyHint()
{
    QCOMPARE(litTargets(), QString());
    QCOMPARE(hint(), QString());
}

void Form1HoverTest::mouseSequencesGiveLooksAndHint_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("lit");
    QTest::addColumn<QString>("hint");

    // Hover on each target: hover look, then its hint.
    QTest::newRow("hover Check1") << "move Check1" << "Check1=g" << "Исправить текст";
    QTest::newRow("hover Command1") << "move Command1" << "Command1=g" << "Принять набраный текст";
    QTest::newRow("hover Command4") << "move Command4" << "Command4=g" << "Если надоело";
    QTest::newRow("hover Command5") << "move Command5" << "Command5=g" << "Сохранить ваших должников";
    QTest::newRow("hover Command6") << "move Command6" << "Command6=g" << "Открыть ваших должников";
    QTest::newRow("hover Command7") << "move Command7" << "Command7=g" << "Увеличить размер окна";
    QTest::newRow("hover Command8") << "show Command8; move Command8" << "Command8=g" << "Уменьшить размер окна";
    QTest::newRow("hover Command10") << "move Command10" << "Command10=g" << "Коллекция курсоров";
    // Command11 lights without a hint of its own: the panel keeps the last one.
    QTest::newRow("Command11 keeps the hint")
        << "move Command10; show Command11; move Command11 5,5" << "Command10=g Command11=g" << "Коллекция курсоров";

    // Hint-only controls.
    QTest::newRow("Command2") << "move Command2" << "" << "Текст жирный";
    QTest::newRow("Command3") << "move Command3" << "" << "Текст курсивом";
    QTest::newRow("Check3") << "move Check3" << "" << "Текст подчёркнутый";
    QTest::newRow("Check2") << "move Check2" << "" << "Вставить сегоднешнею дату";
    QTest::newRow("Check4") << "move Check4" << "" << "Вставить набранную с клавиатуры дату";
    QTest::newRow("Text1") << "move Text1" << "" << "Имя должника";
    QTest::newRow("Text2") << "move Text2" << "" << "Диск который у вас взяли";
    QTest::newRow("Box") << "move Box" << "" << "Текстовое поле";
    QTest::newRow("Toolbar1 button") << "move Toolbar1_q" << "" << "Панель инструментов";
    QTest::newRow("Toolbar1 empty end") << "move Toolbar1" << "" << "Панель инструментов";
    QTest::newRow("Text8 empties the panel") << "move Text1; move Text8" << "" << "";
    QTest::newRow("bare surface") << "move surface" << "" << "Для помощи F1";

    // Only the bare surface clears looks; two targets can be lit at once.
    QTest::newRow("two lit") << "move Command1; move Frame1; move Text2; move Command5" << "Command1=g Command5=g"
                             << "Сохранить ваших должников";
    QTest::newRow("controls without reactions")
        << "move Command1; move Text7; move Command9; move isp; move Frame3 3,40; move Panel2; move StatusBar1"
        << "Command1=g" << "Принять набраный текст";
    QTest::newRow("surface clears all")
        << "move Command1; move Command5; press Command6; release; move surface" << "" << "Для помощи F1";

    // Presses, with any button; the pointer reaches the target first.
    QTest::newRow("press Command1") << "press Command1; release" << "Command1=y" << "Принять набраный текст";
    QTest::newRow("press Check1") << "press Check1; release" << "Check1=y" << "Исправить текст";
    QTest::newRow("press right") << "press Command5 right; release" << "Command5=y" << "Сохранить ваших должников";
    QTest::newRow("press middle") << "press Command10 middle; release" << "Command10=y" << "Коллекция курсоров";
    QTest::newRow("Command4 red while held") << "press Command4" << "Command4=r" << "Если надоело";
    QTest::newRow("Command4 plain on release") << "press Command4; release" << "" << "Если надоело";
    QTest::newRow("Command4 right button") << "press Command4 right; release" << "" << "Если надоело";
    QTest::newRow("move while held lights") << "press Command6; move Command6 5,5" << "Command6=g"
                                            << "Открыть ваших должников";
    QTest::newRow("pressed stays after leaving") << "press Command1; release; move Text1" << "Command1=y"
                                                 << "Имя должника";
    // Clicking "Больше >>" hides it with its pressed look; "<< Меньше" shows in its place.
    QTest::newRow("Command7 hidden pressed") << "click Command7" << "Command7=y" << "Увеличить размер окна";
    QTest::newRow("Command8 over Command7") << "click Command7; move Command8 5,5" << "Command7=y Command8=g"
                                            << "Уменьшить размер окна";
}

void Form1HoverTest::mouseSequencesGiveLooksAndHint()
{
    QFETCH(QString, steps);
    QFETCH(QString, lit);
    QFETCH(QString, hint);
    run(steps);
    QCOMPARE(litTargets(), lit);
    QCOMPARE(this->hint(), hint);
    // The hint-only picture-style check boxes never take a look.
    for (const char* name : {"Command2", "Command3", "Check3"})
        QVERIFY(f.child<widgets::PictureButton>(name)->facePicture().isNull());
}

void Form1HoverTest::surfaceResetsHiddenTargetsToo()
{
    for (const QString& target : kTargets)
        f.child<widgets::PictureButton>(target)->setFacePicture(f.ui().Picture5->pixmap());
    QVERIFY(!f.ui().Command8->isVisible());
    QVERIFY(!f.ui().Command11->isVisible());
    run("move surface");
    QCOMPARE(litTargets(), QString());
    QCOMPARE(hint(), "Для помощи F1");
}

void Form1HoverTest::hintIsWrittenWhileTheStatusBarIsHidden()
{
    f.form->паиап_Click();
    QVERIFY(!f.ui().StatusBar1->isVisible());
    run("move Text2");
    QCOMPARE(hint(), "Диск который у вас взяли");
    f.form->паиап_Click();
    QVERIFY(f.ui().StatusBar1->isVisible());
    QCOMPARE(hint(), "Диск который у вас взяли");
}

QTEST_MAIN(Form1HoverTest)
#include "tst_form1hover.moc"
