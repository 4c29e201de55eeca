// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Progress.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QWidget>

using namespace krambol;

// The real progress: a dialog of the main window, titled with the product's name, that reports Cancel.
class ProgressTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dialogBelongsToTheWindowAndHearsCancel();
    void pollLetsEventsThroughAndShowsTheDialogInTime();
};

void ProgressTest::dialogBelongsToTheWindowAndHearsCancel()
{
    QWidget window;
    platform::QtProgress progress(&window);
    progress.start(QStringLiteral("Печатается страница 1…"), 100);
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Крамбол"));
    QCOMPARE(dialog->windowModality(), Qt::WindowModal);
    QCOMPARE(dialog->maximum(), 100);
    QVERIFY(dialog->findChild<QPushButton*>());
    QCOMPARE(dialog->findChild<QPushButton*>()->text(), QStringLiteral("Отмена"));

    QVERIFY(progress.advance(10, QStringLiteral("Печатается страница 2…")));
    QCOMPARE(dialog->value(), 10);
    QCOMPARE(dialog->labelText(), QStringLiteral("Печатается страница 2…"));
    dialog->cancel();
    QVERIFY(!progress.advance(20, QStringLiteral("Печатается страница 3…")));

    progress.finish();
    QVERIFY(!window.findChild<QProgressDialog*>());
    // A new task starts afresh.
    progress.start(QStringLiteral("Печатается страница 1…"), 5);
    QVERIFY(progress.advance(1, QString()));
}

// While a task runs elsewhere, a poll lets the window handle what waits for it; the dialog comes after its
// minimum time, as it does for a task that advances, and Cancel is heard there too.
void ProgressTest::pollLetsEventsThroughAndShowsTheDialogInTime()
{
    QWidget window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    platform::QtProgress progress(&window);
    progress.start(QStringLiteral("Печатается страница 1…"), 100);
    auto* dialog = window.findChild<QProgressDialog*>();
    QVERIFY(dialog);
    bool handled = false;
    QMetaObject::invokeMethod(&window, [&] { handled = true; }, Qt::QueuedConnection);
    QVERIFY(progress.poll());
    QVERIFY(handled);
    QVERIFY(!dialog->isVisible());

    QTest::qSleep(dialog->minimumDuration() + 50);
    QVERIFY(progress.poll());
    QVERIFY(dialog->isVisible());
    dialog->cancel();
    QVERIFY(!progress.poll());
    progress.finish();
}

QTEST_MAIN(ProgressTest)
#include "tst_progress.moc"
