// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedServices.h"
#include "textpane/RichTextBox.h"
#include "windows/FrmTip.h"
#include "windows/PictureBox.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using krambol::windows::FrmTip;

namespace {

// The tips as the window must show them, word for word.
const QString kTips[] = {
    QStringLiteral("С помощью Крамбол вы навсягда забудите термин *потерянный диск*. У Вас будет католог "
                   "дисков, которые Вы дали на время. Можно также фиксировать дату, когда отдали диск."),
    QStringLiteral("Чтобы не вводить дату с клавиатуры можно щелкнуть на флажке СЕГОДНЯ."),
    QStringLiteral("Крамбол сохраняет файлы в своём собственном расширинии (*krm)."),
    QStringLiteral("Расширение (*krm) можно открыть с помощью Word."),
    QStringLiteral("Можно изменять размер шрифта, жирность, курсив, подчёркнутый."),
    QStringLiteral("Можно менять цвет фона текстового поля, только цвет не сохраняется."),
    QStringLiteral("С помощью коллекции курсоров вы можите выбрать полюбившийся вам курсор."),
};

void pressNext(FrmTip* tip, int times = 1)
{
    for (int i = 0; i < times; ++i)
        QTest::mouseClick(tip->cmdNextTip(), Qt::LeftButton);
}

} // namespace

class TipsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void newWindowShowsTheFirstTipWithFocusOnOk();
    void nextStepsThroughTheSevenTipsAndBackToTheFirst_data();
    void nextStepsThroughTheSevenTipsAndBackToTheFirst();
    void enterAndEscCloseWhereverTheFocusIs_data();
    void enterAndEscCloseWhereverTheFocusIs();
    void enterOnTheFocusedNextButtonShowsTheNextTip();
    void tabReachesTheCounterOutsideTheWindow();
    void typedCounterSelectsTheTipAfterIt_data();
    void typedCounterSelectsTheTipAfterIt();
    void everyWindowKeepsItsOwnCounter();
    void tipTextKeysUseTheClipboardGiven();

private:
    QPointer<FrmTip> m_tip;
};

void TipsTest::init()
{
    m_tip = new FrmTip();
    m_tip->show();
    m_tip->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_tip));
}

void TipsTest::cleanup()
{
    delete m_tip.data();
}

void TipsTest::newWindowShowsTheFirstTipWithFocusOnOk()
{
    QCOMPARE(m_tip->objectName(), QStringLiteral("frmTip"));
    QCOMPARE(m_tip->windowTitle(), QStringLiteral("Подсказки"));
    QCOMPARE(m_tip->size(), QSize(368, 189));
    QCOMPARE(m_tip->minimumSize(), m_tip->maximumSize());
    QVERIFY(!m_tip->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!m_tip->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(m_tip->testAttribute(Qt::WA_DeleteOnClose));

    QCOMPARE(m_tip->lblTipText()->text(), kTips[0]);
    QCOMPARE(m_tip->Text1()->text(), QStringLiteral("Text1"));
    QCOMPARE(m_tip->currentTip(), 0.0);
    QCOMPARE(m_tip->Label1()->text(), QStringLiteral("А вы знаите что?"));
    QCOMPARE(m_tip->Label1()->parentWidget(), m_tip->Picture1());
    QCOMPARE(m_tip->cmdNextTip()->text(), QStringLiteral("Следующее"));
    QVERIFY(m_tip->cmdOK()->isDefault());
    QCOMPARE(QApplication::focusWidget(), m_tip->cmdOK());
    // The counter lies wholly to the right of the client area.
    QCOMPARE(m_tip->Text1()->geometry(), QRect(376, 128, 25, 19));
}

void TipsTest::nextStepsThroughTheSevenTipsAndBackToTheFirst_data()
{
    QTest::addColumn<int>("presses");
    QTest::addColumn<int>("shownTip");
    QTest::addColumn<QString>("counter");
    for (int presses = 1; presses <= 6; ++presses)
        QTest::addRow("%d presses", presses) << presses << presses << QString::number(presses);
    QTest::newRow("seventh press resets to the first tip") << 7 << 0 << "0";
    QTest::newRow("eighth press goes on with the second") << 8 << 1 << "1";
    QTest::newRow("fourteenth press is the first again") << 14 << 0 << "0";
}

void TipsTest::nextStepsThroughTheSevenTipsAndBackToTheFirst()
{
    QFETCH(int, presses);
    QFETCH(int, shownTip);
    QFETCH(QString, counter);

    pressNext(m_tip, presses);
    QCOMPARE(m_tip->lblTipText()->text(), kTips[shownTip]);
    QCOMPARE(m_tip->Text1()->text(), counter);
    QCOMPARE(m_tip->currentTip(), double(shownTip));
}

void TipsTest::enterAndEscCloseWhereverTheFocusIs_data()
{
    QTest::addColumn<QString>("focused");
    QTest::addColumn<Qt::Key>("key");
    const char* const controls[] = {"cmdOK", "Picture1", "lblTipText", "Text1"};
    const std::pair<const char*, Qt::Key> keys[] = {
        {"Esc", Qt::Key_Escape}, {"Enter", Qt::Key_Return}, {"keypad Enter", Qt::Key_Enter}};
    for (const char* control : controls)
        for (const auto& [name, key] : keys)
            QTest::addRow("%s in %s", name, control) << QString::fromLatin1(control) << key;
    QTest::newRow("Esc in cmdNextTip") << "cmdNextTip" << Qt::Key_Escape;
}

void TipsTest::enterAndEscCloseWhereverTheFocusIs()
{
    QFETCH(QString, focused);
    QFETCH(Qt::Key, key);

    auto* target = m_tip->findChild<QWidget*>(focused);
    QVERIFY(target);
    target->setFocus();
    QCOMPARE(QApplication::focusWidget(), target);
    const QString textBefore = m_tip->lblTipText()->text();

    QTest::keyClick(target, key);
    QVERIFY(!m_tip->isVisible());
    QCOMPARE(m_tip->lblTipText()->text(), textBefore); // the key typed nothing on its way
    QTRY_VERIFY(m_tip.isNull());
}

void TipsTest::enterOnTheFocusedNextButtonShowsTheNextTip()
{
    m_tip->cmdNextTip()->setFocus();
    QTest::keyClick(m_tip->cmdNextTip(), Qt::Key_Return);
    QVERIFY(m_tip->isVisible());
    QCOMPARE(m_tip->lblTipText()->text(), kTips[1]);
}

void TipsTest::tabReachesTheCounterOutsideTheWindow()
{
    const QStringList order = {"Picture1", "cmdNextTip", "lblTipText", "Text1", "cmdOK"};
    QCOMPARE(QApplication::focusWidget(), m_tip->cmdOK());
    for (const QString& next : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QCOMPARE(m_tip->lblTipText()->text(), kTips[0]); // Tab was not typed into the tip text
}

void TipsTest::typedCounterSelectsTheTipAfterIt_data()
{
    // A shown tip of -1 means the tip shown before, tip 2, stays.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("counterAfterOne");
    QTest::addColumn<int>("tipAfterOne");
    QTest::addColumn<QString>("counterAfterTwo");
    QTest::addColumn<int>("tipAfterTwo");
    QTest::newRow("digits then letters") << "3abc" << "4" << 4 << "5" << 5;
    QTest::newRow("blank and digit") << " 5" << "6" << 6 << "0" << 0;
    QTest::newRow("empty counts as 0") << "" << "1" << 1 << "2" << 2;
    QTest::newRow("6 passes through 7 to the first") << "6" << "0" << 0 << "1" << 1;
    QTest::newRow("-1 comes to the first") << "-1" << "0" << 0 << "1" << 1;
    QTest::newRow("9 never returns") << "9" << "10" << -1 << "11" << -1;
    QTest::newRow("typed 7 goes on to 8") << "7" << "8" << -1 << "9" << -1;
    QTest::newRow("fraction is no index") << "2.5" << "3.5" << -1 << "4.5" << -1;
    QTest::newRow("below the cycle") << "-5" << "-4" << -1 << "-3" << -1;
    QTest::newRow("too large to hold") << "1e400" << "1E+309" << -1 << "1E+309" << -1;
}

void TipsTest::typedCounterSelectsTheTipAfterIt()
{
    QFETCH(QString, typed);
    QFETCH(QString, counterAfterOne);
    QFETCH(int, tipAfterOne);
    QFETCH(QString, counterAfterTwo);
    QFETCH(int, tipAfterTwo);

    pressNext(m_tip, 2);
    QLineEdit* counter = m_tip->Text1();
    counter->setFocus();
    counter->selectAll();
    QTest::keyClick(counter, Qt::Key_Delete);
    QTest::keyClicks(counter, typed);
    QCOMPARE(counter->text(), typed);

    pressNext(m_tip);
    QCOMPARE(counter->text(), counterAfterOne);
    QCOMPARE(m_tip->lblTipText()->text(), kTips[tipAfterOne < 0 ? 2 : tipAfterOne]);
    pressNext(m_tip);
    QCOMPARE(counter->text(), counterAfterTwo);
    QCOMPARE(m_tip->lblTipText()->text(), kTips[tipAfterTwo < 0 ? 2 : tipAfterTwo]);
}

void TipsTest::everyWindowKeepsItsOwnCounter()
{
    pressNext(m_tip, 2);
    QPointer<FrmTip> second = new FrmTip();
    second->show();
    QCOMPARE(second->lblTipText()->text(), kTips[0]);
    QCOMPARE(second->Text1()->text(), QStringLiteral("Text1"));

    pressNext(second);
    QCOMPARE(second->lblTipText()->text(), kTips[1]);
    QCOMPARE(m_tip->lblTipText()->text(), kTips[2]);
    pressNext(m_tip);
    QCOMPARE(m_tip->lblTipText()->text(), kTips[3]);
    QCOMPARE(second->lblTipText()->text(), kTips[1]);

    QTest::mouseClick(second->cmdOK(), Qt::LeftButton);
    QTRY_VERIFY(second.isNull());
    QVERIFY(m_tip->isVisible());
}

void TipsTest::tipTextKeysUseTheClipboardGiven()
{
    krambol::testing::ScriptedClipboard clipboard;
    auto* tip = new FrmTip(clipboard);
    tip->show();
    QVERIFY(QTest::qWaitForWindowExposed(tip));
    auto* text = tip->lblTipText();
    text->setFocus();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(2);
    cursor.setPosition(7, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);

    QTest::keyClick(text, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(clipboard.text().value_or(QString()), QStringLiteral("помощ"));
    clipboard.content = QStringLiteral("X");
    QTest::keyClick(text, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(clipboard.text().value_or(QString()), QStringLiteral("помощ"));
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text->text(), QStringLiteral("С помощпомощью") + kTips[0].mid(9));
    QCOMPARE(clipboard.writes, 2);
    // A clipboard out of reach pastes nothing.
    clipboard.reachable = false;
    QTest::keyClick(text, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(text->text(), QStringLiteral("С помощпомощью") + kTips[0].mid(9));
    delete tip;
}

QTEST_MAIN(TipsTest)
#include "tst_tips.moc"
