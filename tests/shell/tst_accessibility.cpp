// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/ImageSlot.h"
#include "support/AccessibleTree.h"
#include "support/Form1Fixture.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include <functional>
#include <vector>

using namespace krambol;

// The main window for people who use a screen reader or only the keyboard.
class AccessibilityTest : public QObject
{
    Q_OBJECT

private:
    testing::Form1Fixture f;

    // Presses a key on a widget and returns the popup menu it opened (closed again), with its corner.
    std::pair<QString, QPoint> popupAfterKey(QWidget* target, Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        std::pair<QString, QPoint> seen;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                seen = {menu->objectName(), menu->pos()};
                menu->close();
            }
        });
        watcher.start(10);
        QTest::keyClick(target, key, modifiers);
        QTest::qWait(50);
        watcher.stop();
        if (auto* still = QApplication::activePopupWidget())
            still->close();
        return seen;
    }

private slots:
    void init()
    {
        f.make();
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    }
    void cleanup() { f.reset(); }

    void everyFocusableNodeHasAName()
    {
        for (bool wide : {false, true}) {
            if (wide)
                f.form->Command10_Click();  // the cursor panel in view, its images focusable
            int visited = 0;
            const QStringList nameless = testing::namelessFocusableNodes(f.form.get(), &visited);
            QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QLatin1Char('\n'))));
            QVERIFY2(visited > 40, "the walk did not reach the controls");
        }
    }

    void controlsAreNamedByCaptionFrameOrPicture_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::newRow("name field") << "Text1" << "Имя";
        QTest::newRow("disc field") << "Text2" << "Диск";
        QTest::newRow("date field") << "Text7" << "Дата";
        QTest::newRow("font size field") << "Text8" << "Размер шрифта";
        QTest::newRow("register pane") << "Box" << "Список должников";
        QTest::newRow("accept button") << "Command1" << "Принять";
        QTest::newRow("save button reads as Cyrillic") << "Command5" << "Сохранить";
        QTest::newRow("check box by caption") << "Check4" << "Ввод";
        QTest::newRow("toolbar picture by tool tip") << "Toolbar1_print" << "Печать";
        QTest::newRow("edit switch by tool tip") << "isp" << "Исправить/Не исправлять";
        QTest::newRow("cursor image") << "Image5" << "Рука";
    }
    void controlsAreNamedByCaptionFrameOrPicture()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QCOMPARE(testing::accessibleName(f.child(control)), name);
    }

    // Each control whose caption, picture, visibility or check mark changes at run time, after every
    // change, as the accessibility interfaces report it.
    void namesAndStatesFollowWhatTheWindowShows()
    {
        QMenu* view = f.form->findChild<QMenu*>(QStringLiteral("пиап"));
        QVERIFY(view);
        const auto menuItem = [view](const QString& caption) -> QAccessibleInterface* {
            QAccessibleInterface* list = QAccessible::queryAccessibleInterface(view);
            for (int i = 0; list && i < list->childCount(); ++i)
                if (list->child(i)->text(QAccessible::Name) == caption)
                    return list->child(i);
            return nullptr;
        };
        const auto node = [this](const char* name) { return QAccessible::queryAccessibleInterface(f.child(name)); };
        const auto shown = [&](const char* name) { return !node(name)->state().invisible; };
        const auto checked = [&](const char* name) { return bool(node(name)->state().checked); };
        const auto described = [&](const char* name) { return node(name)->text(QAccessible::Description); };

        struct Step
        {
            const char* what;
            std::function<void()> act;
            std::function<void()> expect;
        };
        const QString crossedA = QStringLiteral("Перечёркнутая буква А: список закрыт для исправлений");
        const QString plainA = QStringLiteral("Буква А: список можно исправлять");
        const auto editing = [&](bool on, const QString& caption) {
            QCOMPARE(testing::accessibleName(f.ui().Check1), caption);
            QCOMPARE(checked("Check1"), on);
            QCOMPARE(testing::accessibleName(f.ui().isp), QStringLiteral("Исправить/Не исправлять"));
            QCOMPARE(checked("isp"), on);
            QCOMPARE(described("isp"), on ? plainA : crossedA);
        };
        const std::vector<Step> steps{
            {"start", [] {}, [&] {
                 editing(false, QStringLiteral("Исправить"));
                 QCOMPARE(testing::accessibleName(f.ui().Command10), QStringLiteral("Курсор >>"));
                 QVERIFY(shown("Command10") && !shown("Command11"));
                 QCOMPARE(testing::accessibleName(f.ui().Command7), QStringLiteral("Больше >>"));
                 QVERIFY(shown("Command7") && !shown("Command8"));
                 QVERIFY(menuItem(QStringLiteral("Строка состояния"))->state().checked);
                 QVERIFY(menuItem(QStringLiteral("Панель управления"))->state().checked);
                 QCOMPARE(described("Text8"), QStringLiteral("Размер шрифта всего списка в пунктах"));
             }},
            {"Check1 ticked", [&] { f.ui().Check1->click(); }, [&] { editing(true, QStringLiteral("Не исправлять")); }},
            {"isp unticked", [&] { f.ui().isp->click(); }, [&] { editing(false, QStringLiteral("Исправлять")); }},
            {"isp ticked", [&] { f.ui().isp->click(); }, [&] { editing(true, QStringLiteral("Не исправлять")); }},
            {"menu Нет", [&] { f.form->аа_Click(); }, [&] { editing(false, QStringLiteral("Исправлять")); }},
            {"menu Да", [&] { f.form->ыв_Click(); }, [&] { editing(true, QStringLiteral("Не исправлять")); }},
            {"Курсор >>", [&] { f.form->Command10_Click(); }, [&] {
                 QVERIFY(!shown("Command10") && shown("Command11"));
                 QCOMPARE(testing::accessibleName(f.ui().Command11), QStringLiteral("<< Курсор "));
             }},
            {"<< Курсор", [&] { f.form->Command11_Click(); }, [&] { QVERIFY(shown("Command10") && !shown("Command11")); }},
            {"Больше >>", [&] { f.form->Command7_Click(); }, [&] {
                 QVERIFY(!shown("Command7") && shown("Command8"));
                 QCOMPARE(testing::accessibleName(f.ui().Command8), QStringLiteral("<< Меньше"));
             }},
            {"<< Меньше", [&] { f.form->Command8_Click(); }, [&] { QVERIFY(shown("Command7") && !shown("Command8")); }},
            {"status bar hidden", [&] { f.form->паиап_Click(); }, [&] {
                 QVERIFY(!menuItem(QStringLiteral("Строка состояния"))->state().checked);
                 QVERIFY(menuItem(QStringLiteral("Строка состояния"))->state().checkable);
             }},
            {"toolbar hidden", [&] { f.form->тпп_Click(); }, [&] {
                 QVERIFY(!menuItem(QStringLiteral("Панель управления"))->state().checked);
                 QVERIFY(!shown("isp"));
             }},
            {"both shown again", [&] { f.form->паиап_Click(); f.form->тпп_Click(); }, [&] {
                 QVERIFY(menuItem(QStringLiteral("Строка состояния"))->state().checked);
                 QVERIFY(menuItem(QStringLiteral("Панель управления"))->state().checked);
                 QVERIFY(shown("isp"));
             }},
        };
        for (const Step& step : steps) {
            step.act();
            QTest::qWait(0);
            step.expect();
            if (QTest::currentTestFailed())
                QFAIL(step.what);
        }
    }

    void theRegisterReadsAsTextWithItsCaret()
    {
        textpane::RichTextBox* box = f.ui().Box;
        box->setText(QStringLiteral("Иван------------Игра | Пётр------------Диск |"));
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(box);
        QVERIFY(node);
        QCOMPARE(node->role(), QAccessible::EditableText);
        QVERIFY(node->state().multiLine);
        QVERIFY(node->state().readOnly);   // locked until "Исправить"
        QAccessibleTextInterface* text = node->textInterface();
        QVERIFY(text);
        QCOMPARE(text->characterCount(), int(box->text().size()));
        QCOMPARE(text->text(0, 4), QStringLiteral("Иван"));
        QCOMPARE(node->text(QAccessible::Value), box->text());

        int start = 0;
        int end = 0;
        QCOMPARE(text->textAtOffset(25, QAccessible::WordBoundary, &start, &end), QStringLiteral("Пётр"));
        QCOMPARE(start, 23);
        // Lines are the pane's wrapped lines: the first and the ones after it make up the register.
        QString lines = text->textAtOffset(2, QAccessible::LineBoundary, &start, &end);
        QCOMPARE(start, 0);
        while (end < text->characterCount()) {
            const int lineEnd = end;
            lines += text->textAfterOffset(lineEnd - 1, QAccessible::LineBoundary, &start, &end);
            QCOMPARE(start, lineEnd);
        }
        QCOMPARE(lines, box->text());

        text->setSelection(0, 23, 27);
        QCOMPARE(box->selectionLength(), 4);
        QCOMPARE(text->selectionCount(), 1);
        text->setCursorPosition(5);
        QCOMPARE(box->textCursor().position(), 5);
        QCOMPARE(text->cursorPosition(), 5);
        // The character's place on screen is where a click puts the caret back.
        const QRect place = text->characterRect(23);
        QVERIFY(place.isValid());
        QCOMPARE(text->offsetAtPoint(place.center() - QPoint(place.width() / 4, 0)), 23);
    }

    void theRegisterTakesEditsOnlyWhileUnlocked()
    {
        textpane::RichTextBox* box = f.ui().Box;
        box->setText(QStringLiteral("Иван------------Игра |"));
        QAccessibleInterface* node = QAccessible::queryAccessibleInterface(box);
        QVERIFY(!node->editableTextInterface());
        f.ui().Check1->click();   // "Исправить": editing allowed
        QVERIFY(!box->isLocked());
        QVERIFY(node->state().editable);
        QAccessibleEditableTextInterface* editable = node->editableTextInterface();
        QVERIFY(editable);
        editable->replaceText(0, 4, QStringLiteral("Олег"));
        QCOMPARE(box->text(), QStringLiteral("Олег------------Игра |"));
        editable->deleteText(4, 16);
        QCOMPARE(box->text(), QStringLiteral("ОлегИгра |"));
    }

    void contextKeysOpenTheEditListAtTheCaret_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void contextKeysOpenTheEditListAtTheCaret()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        textpane::RichTextBox* box = f.ui().Box;
        box->setFocus();
        const auto [menu, corner] = popupAfterKey(box, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(menu, QStringLiteral("ыввув"));
        QCOMPARE(corner, box->viewport()->mapToGlobal(box->cursorRect().bottomLeft()));
    }

    void plainF10OpensNoList()
    {
        f.ui().Box->setFocus();
        QCOMPARE(popupAfterKey(f.ui().Box, Qt::Key_F10, Qt::NoModifier).first, QString());
    }

    void cursorImagesTakeTheFocusOnlyWhileThePanelIsInView()
    {
        QCOMPARE(f.ui().Image1->focusPolicy(), Qt::NoFocus);
        f.form->Command10_Click();
        QCOMPARE(f.ui().Image1->focusPolicy(), Qt::StrongFocus);
        f.form->Command11_Click();
        QCOMPARE(f.ui().Image9->focusPolicy(), Qt::NoFocus);
    }

    void tabWalksTheCursorImagesInOrder()
    {
        f.form->Command10_Click();
        const QList<QWidget*> expected{f.ui().Image1, f.ui().Image2, f.ui().Image3, f.ui().Image4, f.ui().Image5,
                                       f.ui().Image6, f.ui().Image7, f.ui().Image8, f.ui().Image9, f.ui().Command11};
        f.ui().Image1->setFocus();
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), expected[i]);
        }
    }

    void spaceAndEnterOnAnImageTakeItsPointer_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void spaceAndEnterOnAnImageTakeItsPointer()
    {
        QFETCH(int, key);
        f.form->Command10_Click();
        cursors::ImageSlot* hand = f.ui().Image5;
        hand->setFocus();
        QSignalSpy clicked(hand, &cursors::ImageSlot::clicked);
        QTest::keyClick(hand, Qt::Key(key));
        QCOMPARE(clicked.count(), 1);
        QCOMPARE(f.ui().client->cursor().hotSpot(), QPoint(12, 1));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
