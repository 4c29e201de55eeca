// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/AccessibleTree.h"
#include "textpane/RichTextBox.h"
#include "windows/Form2.h"
#include "windows/Form3.h"
#include "windows/FrmTip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QPointer>
#include <QTest>

#include <functional>

using namespace krambol;

Q_DECLARE_METATYPE(std::function<QWidget*()>)

// The splash, about and tips windows give a screen reader a name for everything it can reach.
class WindowsAccessibilityTest : public QObject
{
    Q_OBJECT

private:
    QPointer<QWidget> m_window;

private slots:
    void cleanup() { delete m_window; }

    void everyFocusableNodeHasAName_data()
    {
        QTest::addColumn<std::function<QWidget*()>>("make");
        QTest::newRow("about") << std::function<QWidget*()>([] { return new windows::Form2(); });
        QTest::newRow("splash") << std::function<QWidget*()>([] { return new windows::Form3(); });
        QTest::newRow("tips") << std::function<QWidget*()>([] { return new windows::FrmTip(); });
    }
    void everyFocusableNodeHasAName()
    {
        QFETCH(std::function<QWidget*()>, make);
        m_window = make();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        int visited = 0;
        const QStringList nameless = testing::namelessFocusableNodes(m_window, &visited);
        QVERIFY2(nameless.isEmpty(), qPrintable(nameless.join(QLatin1Char('\n'))));
        QVERIFY(visited > 1);
    }

    void tipsFieldsAreNamedForWhatTheyHold()
    {
        auto* tips = new windows::FrmTip();
        m_window = tips;
        QCOMPARE(testing::accessibleName(tips->lblTipText()), QStringLiteral("Подсказка"));
        QCOMPARE(testing::accessibleName(tips->Text1()), QStringLiteral("Номер подсказки"));
        QCOMPARE(testing::accessibleName(tips->cmdNextTip()), QStringLiteral("Следующее"));
    }
};

QTEST_MAIN(WindowsAccessibilityTest)
#include "tst_windowsaccessibility.moc"
