// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CommonDialog.h"

#include <QApplication>
#include <QColorDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using krambol::platform::ColorRequest;
using krambol::platform::FileRequest;
using krambol::platform::QtCommonDialog;

namespace {

// A home of its own for the whole run, made before the application starts, so the toolkit takes
// every settings location from it. It holds the toolkit's settings file as an earlier run of any
// program would have left it: a file dialog's history, folder, view and sidebar, a custom colour.
struct ScratchHome
{
    ScratchHome()
    {
        qputenv("HOME", QFile::encodeName(home()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(userConfig()));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(systemConfig()));
    }
    QString home() const { return dir.filePath(u"home"_qs); }
    QString userConfig() const { return home() + u"/.config"_qs; }
    QString systemConfig() const { return dir.filePath(u"xdg"_qs); }
    QString seenFolder() const { return dir.filePath(u"seen"_qs); }

    QTemporaryDir dir;
};
const ScratchHome scratch;

constexpr QRgb kSeededColour = 0xff123456;

// Every file under the scratch folder with its bytes. Caches (fonts) are no settings.
QMap<QString, QByteArray> filesUnderScratch()
{
    QMap<QString, QByteArray> files;
    QDirIterator it(scratch.dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path.startsWith(scratch.home() + u"/.cache/"_qs))
            continue;
        QFile file(path);
        files.insert(path, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable"));
    }
    return files;
}

void write(const QString& path, const QByteArray& bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// Runs a modal dialog through `show`, hands it to `inspect` once it is up and cancels it.
void cancelWhenShown(const std::function<void()>& show, const std::function<void(QDialog*)>& inspect)
{
    bool seen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()); dialog && !seen) {
            seen = true;
            inspect(dialog);
            dialog->reject();
        }
    });
    closer.start(10);
    show();
    QVERIFY2(seen, "no dialog came up");
}

// What a file dialog would have taken from the seeded settings.
void expectNothingRead(QFileDialog* dialog)
{
    const QString seen = QUrl::fromLocalFile(scratch.seenFolder()).toString();
    QVERIFY2(!dialog->history().contains(scratch.seenFolder()), qPrintable(dialog->history().join(u' ')));
    QVERIFY(dialog->directory().absolutePath() != scratch.seenFolder());
    QVERIFY(!dialog->sidebarUrls().contains(QUrl(seen)));
    QCOMPARE(dialog->viewMode(), QFileDialog::Detail);
}

} // namespace

// The toolkit's own dialogs, as the application shows them: no settings file read or written.
class CommonDialogTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QtCommonDialog> m_dialog;
    QMap<QString, QByteArray> m_before;

private slots:
    void initTestCase()
    {
#ifdef Q_OS_WIN
        QSKIP("On Windows the toolkit keeps its dialogs' settings in the registry");
#endif
        QVERIFY(scratch.dir.isValid());
        QVERIFY(QDir().mkpath(scratch.seenFolder()));
        const QByteArray seen = QUrl::fromLocalFile(scratch.seenFolder()).toEncoded();
        const QByteArray settings = "[FileDialog]\nhistory=" + seen + "\nlastVisited=" + seen
                                    + "\nshortcuts=" + seen + "\nsidebarWidth=300\nviewMode=List\n"
                                    + "qtVersion=" QT_VERSION_STR "\n\n[Qt]\ncustomColors\\0="
                                    + QByteArray::number(kSeededColour) + "\n";
        write(scratch.userConfig() + u"/QtProject.conf"_qs, settings);
        write(scratch.systemConfig() + u"/QtProject.conf"_qs, settings);
        m_before = filesUnderScratch();
        QCOMPARE(m_before.size(), 2);

        m_dialog = std::make_unique<QtCommonDialog>();
    }

    void cleanup()
    {
        // Whatever a dialog would keep is kept when it goes away.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        const QMap<QString, QByteArray> after = filesUnderScratch();
        QCOMPARE(after.keys(), m_before.keys());
        QVERIFY2(after == m_before, "a settings file was changed");
    }

    void aFileDialogShownAndClosedReadsAndWritesNothing()
    {
        // The first file dialog of a run starts where the settings say the last one ended.
        auto* dialog = new QFileDialog;
        dialog->setOption(QFileDialog::DontUseNativeDialog);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        expectNothingRead(dialog);
        dialog->close();
    }

    void theSeamsDialogsReadAndWriteNothing_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("open") << 0;
        QTest::newRow("save") << 1;
        QTest::newRow("colour") << 2;
    }
    void theSeamsDialogsReadAndWriteNothing()
    {
        QFETCH(int, kind);
        const FileRequest file{u"Загрузить"_qs, u"Крамбол(*.krm)|*.krm"_qs};
        cancelWhenShown(
            [&] {
                if (kind == 0)
                    QCOMPARE(m_dialog->showOpen(file), QString());
                else if (kind == 1)
                    QCOMPARE(m_dialog->showSave(file), QString());
                else
                    QCOMPARE(m_dialog->showColor(ColorRequest{u"Цвет"_qs, Qt::white}), QColor(Qt::white));
            },
            [](QDialog* dialog) {
                if (auto* files = qobject_cast<QFileDialog*>(dialog))
                    expectNothingRead(files);
                else
                    QVERIFY(QColorDialog::customColor(0).rgba() != kSeededColour);
            });
    }
};

QTEST_MAIN(CommonDialogTest)
#include "tst_commondialog.moc"
