// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ControlTable.h"
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>

using namespace krambol;
using shell::ControlKind;
using shell::ControlSpec;

class Form1LayoutTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { f.make(); }
    void cleanup() { f.reset(); }

    void everyControlStandsWhereTheTableSays_data();
    void everyControlStandsWhereTheTableSays();
    void clientAreaIsUnderTheMenuBar();
    void frameHasACloseButtonOnlyAndCannotBeResized();
    void focusStartsOnTheRegisterAndTabFollowsTheTable_data();
    void focusStartsOnTheRegisterAndTabFollowsTheTable();
    void fieldsUseTheBoldCentredFont();
    void pointersOverFieldsAndSurface();
    void ispIsDrawnAboveTheToolbar();
    void registerStartsEmptyLockedInItsFont();

private:
    testing::Form1Fixture f;
};

void Form1LayoutTest::everyControlStandsWhereTheTableSays_data()
{
    QTest::addColumn<int>("index");
    const auto table = shell::form1Controls();
    for (int i = 0; i < int(table.size()); ++i)
        QTest::newRow(table[i].name) << i;
}

void Form1LayoutTest::everyControlStandsWhereTheTableSays()
{
    QFETCH(int, index);
    const ControlSpec& row = shell::form1Controls()[index];
    QWidget* control = f.child(QString::fromUtf8(row.name));
    f.form->show();

    // Container: the client area, or the frame the control sits in.
    const QString container = row.container ? QString::fromUtf8(row.container) : QStringLiteral("client");
    QCOMPARE(control->parentWidget()->objectName(), container);

    // Place and size: twips / 15, the docked bars included at start.
    QCOMPARE(control->geometry(), QRect(row.place.left / 15, row.place.top / 15, row.place.width / 15, row.place.height / 15));
    QCOMPARE(control->isVisibleTo(f.form.get()), !row.hidden);

    // Type and caption.
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::TextBox:
        QCOMPARE(qobject_cast<QLineEdit*>(control)->text(), caption);
        break;
    case ControlKind::Frame:
        QCOMPARE(qobject_cast<QGroupBox*>(control)->title(), caption);
        break;
    case ControlKind::CheckBox:
        QCOMPARE(qobject_cast<QCheckBox*>(control)->text(), caption);
        break;
    case ControlKind::PictureButton:
    case ControlKind::PictureCheckBox: {
        auto* button = qobject_cast<widgets::PictureButton*>(control);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->isCheckable(), row.kind == ControlKind::PictureCheckBox);
        break;
    }
    case ControlKind::Button:
        QVERIFY(!qobject_cast<widgets::PictureButton*>(control));
        QCOMPARE(qobject_cast<QAbstractButton*>(control)->text(), caption);
        break;
    case ControlKind::RichText:
        QVERIFY(qobject_cast<textpane::RichTextBox*>(control));
        break;
    case ControlKind::Toolbar:
        QVERIFY(qobject_cast<QToolBar*>(control));
        break;
    case ControlKind::StatusBar:
        QVERIFY(qobject_cast<QStatusBar*>(control));
        break;
    case ControlKind::Image:
    case ControlKind::PictureBox:
        QCOMPARE(control->focusPolicy(), Qt::NoFocus);
        break;
    }
}

void Form1LayoutTest::clientAreaIsUnderTheMenuBar()
{
    f.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(f.form.get()));
    QCOMPARE(f.ui().client->size(), QSize(517, 389));
    QVERIFY(f.form->menuBar()->isVisible());
    QCOMPARE(f.ui().client->y(), f.form->menuBar()->geometry().bottom() + 1);
    QCOMPARE(f.form->windowTitle(), QStringLiteral("Крамбол"));
    // The cursor panel lies beyond the client width at start.
    QVERIFY(f.ui().Frame6->x() >= f.ui().client->width());
}

void Form1LayoutTest::frameHasACloseButtonOnlyAndCannotBeResized()
{
    const Qt::WindowFlags flags = f.form->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QCOMPARE(f.form->windowType(), Qt::Window);
    f.form->show();
    QCOMPARE(f.form->minimumSize(), f.form->maximumSize());
    const QSize before = f.form->size();
    f.form->resize(before + QSize(50, 50));
    QCOMPARE(f.form->size(), before);
}

void Form1LayoutTest::focusStartsOnTheRegisterAndTabFollowsTheTable_data()
{
    QTest::addColumn<bool>("editing");
    QTest::newRow("register locked") << false;
    QTest::newRow("register being edited") << true;
}

void Form1LayoutTest::focusStartsOnTheRegisterAndTabFollowsTheTable()
{
    QFETCH(bool, editing);
    f.form->show();
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.ui().Box));
    if (editing) {
        f.ui().Check1->click();
        QVERIFY(!f.ui().Box->isLocked());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(f.ui().Box));
    }

    // Expected order: visible controls that take focus, by their tab numbers.
    QList<std::pair<int, QString>> expected;
    for (const ControlSpec& row : shell::form1Controls()) {
        QWidget* control = f.child(QString::fromUtf8(row.name));
        if (row.tab >= 0 && !row.hidden && control->focusPolicy() & Qt::TabFocus)
            expected.append({row.tab, QString::fromUtf8(row.name)});
    }
    std::sort(expected.begin(), expected.end());
    QStringList walked;
    for (int i = 0; i < expected.size(); ++i) {
        walked << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QStringList names;
    for (const auto& [tab, name] : expected)
        names << name;
    QCOMPARE(walked, names);
    QVERIFY(names.contains(QStringLiteral("Text1")) && names.contains(QStringLiteral("isp")));
    QCOMPARE(f.ui().Box->text(), QString());  // Tab typed nothing on its way through the register
}

void Form1LayoutTest::fieldsUseTheBoldCentredFont()
{
    for (QLineEdit* field : {f.ui().Text1, f.ui().Text2, f.ui().Text7, f.ui().Text8}) {
        QCOMPARE(field->font().family(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(field->font().pointSize(), 18);
        QVERIFY(field->font().bold());
        QCOMPARE(field->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }
}

void Form1LayoutTest::pointersOverFieldsAndSurface()
{
    // The window's surface carries a cursor picture (Image3's); the fields and the register share the
    // icon pointer; buttons show the standard arrow.
    QCOMPARE(f.ui().client->cursor().shape(), Qt::BitmapCursor);
    const QImage fieldPointer = f.ui().Text1->cursor().pixmap().toImage();
    QVERIFY(!fieldPointer.isNull());
    for (QWidget* w : {static_cast<QWidget*>(f.ui().Text2), static_cast<QWidget*>(f.ui().Text7),
                       static_cast<QWidget*>(f.ui().Text8), f.ui().Box->viewport()})
        QCOMPARE(w->cursor().pixmap().toImage(), fieldPointer);
    QCOMPARE(f.ui().Command1->cursor().shape(), Qt::ArrowCursor);
}

void Form1LayoutTest::ispIsDrawnAboveTheToolbar()
{
    const QObjectList& children = f.ui().client->children();
    QVERIFY(children.indexOf(f.ui().isp) > children.indexOf(f.ui().Toolbar1));
    QVERIFY(f.ui().Toolbar1->geometry().contains(f.ui().isp->geometry()));
}

void Form1LayoutTest::registerStartsEmptyLockedInItsFont()
{
    QCOMPARE(f.ui().Box->text(), QString());
    QVERIFY(f.ui().Box->isLocked());
    const QFont font = f.ui().Box->document()->defaultFont();
    QCOMPARE(font.family(), QStringLiteral("MS Sans Serif"));
    QCOMPARE(font.pointSize(), 24);
    QVERIFY(!font.bold() && !font.italic() && !font.underline());
}

QTEST_MAIN(Form1LayoutTest)
#include "tst_form1layout.moc"
