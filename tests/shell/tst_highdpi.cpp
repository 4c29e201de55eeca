// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/Form1Fixture.h"

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QTextStream>
#include <QToolBar>

#include <cstdio>

using namespace krambol;

namespace {

// One visible control of the client area as the child process reports it: its rectangle in
// device-independent pixels, how far its content overflows it, whom it overlaps.
struct ControlReport
{
    QRect rect;
    QSize overflow;
    QStringList overlaps;
};

struct LayoutReport
{
    qreal ratio = 0;
    QSize client;
    QSize grabbed;
    QMap<QString, ControlReport> controls;
};

// Child mode: builds Form1 under whatever QT_SCALE_FACTOR the parent set, renders it and prints
// one line per visible control of the client area.
int dumpLayout()
{
    testing::Form1Fixture f;
    f.make();
    f.form->show();
    if (!QTest::qWaitForWindowExposed(f.form.get()))
        return 1;
    QWidget* client = f.ui().client;
    QTextStream out(stdout);
    const QImage grabbed = f.form->grab().toImage();
    out << "ratio " << f.form->devicePixelRatioF() << "\n";
    out << "client " << client->width() << ' ' << client->height() << "\n";
    out << "grab " << grabbed.width() << ' ' << grabbed.height() << "\n";
    const QList<QWidget*> siblings = client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : client->findChildren<QWidget*>()) {
        if (!control->isVisibleTo(f.form.get()) || control->objectName().isEmpty()
            || control->objectName().startsWith(QLatin1String("qt_")))
            continue;
        const QRect rect(control->mapTo(client, QPoint(0, 0)), control->size());
        const QSize hint = control->sizeHint();
        QStringList overlaps;
        if (control->parentWidget() == client)
            for (QWidget* other : siblings)
                if (other != control && other->isVisibleTo(f.form.get()) && other->geometry().intersects(rect))
                    overlaps << other->objectName();
        out << "control " << control->objectName() << ' ' << rect.x() << ' ' << rect.y() << ' ' << rect.width()
            << ' ' << rect.height() << ' ' << qMax(0, hint.width() - rect.width()) << ' '
            << qMax(0, hint.height() - rect.height()) << ' ' << overlaps.join(QLatin1Char(',')) << "\n";
    }
    return 0;
}

LayoutReport layoutAt(const QString& factor)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), factor);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--dump-layout")});
    LayoutReport report;
    if (!child.waitForFinished(60000) || child.exitCode() != 0) {
        child.kill();
        qWarning() << "layout dump failed at" << factor << child.readAllStandardError();
        return report;
    }
    for (const QString& line : QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const QStringList w = line.split(QLatin1Char(' '));
        if (w.value(0) == QLatin1String("ratio"))
            report.ratio = w.value(1).toDouble();
        else if (w.value(0) == QLatin1String("client"))
            report.client = QSize(w.value(1).toInt(), w.value(2).toInt());
        else if (w.value(0) == QLatin1String("grab"))
            report.grabbed = QSize(w.value(1).toInt(), w.value(2).toInt());
        else if (w.value(0) == QLatin1String("control") && w.size() >= 9)
            report.controls.insert(w[1], {QRect(w[2].toInt(), w[3].toInt(), w[4].toInt(), w[5].toInt()),
                                          QSize(w[6].toInt(), w[7].toInt()),
                                          w[8].split(QLatin1Char(','), Qt::SkipEmptyParts)});
    }
    return report;
}

} // namespace

// The window at 150 % and 200 %: the same layout in device-independent pixels, rendered at the
// screen's density, with nothing crowded that is not already at 100 %.
class HighDpiTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutScalesWithoutNewOverlapOrClipping_data()
    {
        QTest::addColumn<QString>("factor");
        QTest::newRow("150 %") << "1.5";
        QTest::newRow("200 %") << "2";
    }
    void layoutScalesWithoutNewOverlapOrClipping()
    {
        QFETCH(QString, factor);
        const LayoutReport plain = layoutAt(QStringLiteral("1"));
        const LayoutReport scaled = layoutAt(factor);
        QCOMPARE(plain.ratio, 1.0);
        QCOMPARE(scaled.ratio, factor.toDouble());
        QVERIFY(plain.controls.size() > 20);
        QCOMPARE(scaled.client, plain.client);
        QCOMPARE(scaled.client, QSize(517, 389));
        // The rendering has the screen's pixels: the client area alone is 517 x 389 times the ratio.
        QVERIFY(scaled.grabbed.width() >= qRound(517 * scaled.ratio));
        QVERIFY(scaled.grabbed.height() >= qRound(389 * scaled.ratio));
        QCOMPARE(scaled.controls.keys(), plain.controls.keys());
        for (auto it = plain.controls.cbegin(); it != plain.controls.cend(); ++it) {
            const ControlReport& at1 = it.value();
            const ControlReport& atN = scaled.controls.value(it.key());
            const QByteArray what = it.key().toUtf8();
            QVERIFY2(atN.rect == at1.rect, what.constData());
            // Text metrics round differently at other densities: one pixel is allowed.
            QVERIFY2(atN.overflow.width() <= at1.overflow.width() + 1, what.constData());
            QVERIFY2(atN.overflow.height() <= at1.overflow.height() + 1, what.constData());
            for (const QString& other : atN.overlaps)
                QVERIFY2(at1.overlaps.contains(other), qPrintable(it.key() + QLatin1String(" overlaps ") + other));
        }
    }

    void picturesHaveRenderingsForTwiceTheDensity()
    {
        testing::Form1Fixture f;
        f.make();
        for (QAction* action : f.ui().Toolbar1->actions()) {
            if (action->isSeparator())
                continue;
            const QPixmap face = action->icon().pixmap(QSize(16, 16), 2.0);
            QVERIFY2(face.size() == QSize(32, 32), qPrintable(action->objectName()));
        }
        QVERIFY(f.form->windowIcon().availableSizes().contains(QSize(128, 128)));
        QCOMPARE(f.form->windowIcon().pixmap(QSize(48, 48), 2.0).size(), QSize(96, 96));
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "--dump-layout") == 0)
        return dumpLayout();
    HighDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_highdpi.moc"
