#include "cursors/ImageSlot.h"
#include "platform/PictureButton.h"
#include "platform/RichTextBox.h"
#include "support/AccessibleTree.h"
#include "support/Form1Fixture.h"

#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

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

    void theRegisterReadsAsTextWithItsCaret()
    {
        platform::RichTextBox* box = f.ui().Box;
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
        platform::RichTextBox* box = f.ui().Box;
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
        platform::RichTextBox* box = f.ui().Box;
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
