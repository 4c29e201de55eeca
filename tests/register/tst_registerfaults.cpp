// SPDX-License-Identifier: GPL-3.0-or-later
#include "cursors/ImageSlot.h"
#include "support/Form1Fixture.h"
#include "support/TempFolder.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace krambol;
using platform::MessageAnswer;
using testing::contents;
using testing::write;

namespace {

// A small file system of its own, so that "the disk is full" is the real thing. Mounting needs root
// (as the tests have on CI); elsewhere the cases that need it are skipped.
class SmallDisk
{
public:
    explicit SmallDisk(const QString& where, const QString& options) : m_where(where)
    {
        if (::geteuid() != 0)
            return;
        m_mounted = QProcess::execute(QStringLiteral("mount"),
                                      {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"), options,
                                       QStringLiteral("tmpfs"), where}) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_where});
    }
    bool mounted() const { return m_mounted; }
    bool remountReadOnly()
    {
        return QProcess::execute(QStringLiteral("mount"), {QStringLiteral("-o"), QStringLiteral("remount,ro"), m_where})
            == 0;
    }

private:
    QString m_where;
    bool m_mounted = false;
};

// Fills the file system that holds `folder` until not one more byte fits, then frees `leave` bytes.
void fill(const QString& folder, qint64 leave)
{
    QFile filler(folder + QStringLiteral("/filler"));
    QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    filler.close();
    if (leave > 0)
        QVERIFY(filler.resize(std::max<qint64>(0, filler.size() - leave)));
}

QString shownCaption(QWidget* window)
{
    window->winId();  // the native window, whose title is what the desktop shows
    return window->windowHandle()->title();
}

// The old file that a failed save must leave as it was: 50 000 bytes that open as a register.
QByteArray oldRegisterFile()
{
    QByteArray bytes = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fnil\\fcharset204 Arial;}}\\f0 ";
    while (bytes.size() < 50000 - 6)
        bytes += "Old entry - old disc |";
    bytes.truncate(50000 - 6);
    return bytes + "\\par }";
}

} // namespace

// Saving and opening against the real operating system: full and read-only disks, size limits,
// pipes, devices, sockets, links and unusual names. Whatever fails is said, and nothing is lost.
class RegisterFaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        f.make();
        files.make();
    }
    void cleanup()
    {
        f.reset();
        disk.reset();
        files.reset();
    }

    void failureLosesNothing_data();
    void failureLosesNothing();
    void openOfAPipeNeverWaits();
    void unusualNamesSaveAndOpen_data();
    void unusualNamesSaveAndOpen();
    void savePreservesLinksAndPermissions();
    void iconLoadRefusesWhatIsNoFile_data();
    void iconLoadRefusesWhatIsNoFile();

private:
    QString path(const QString& name) const { return files.path(name); }
    void makeState()
    {
        // A state that differs from the start in everything a failure must keep.
        f.ui().Text1->setText(QStringLiteral("Иван"));
        f.ui().Text2->setText(QStringLiteral("Игра"));
        f.form->Command1_Click();
        QString more;
        // About 100 KB of RTF: a save writes it in several pieces, and a full disk stops it after some.
        for (int i = 0; i < 1000; ++i)
            more += QStringLiteral(" Пётр------------Кино |");
        f.ui().Box->setText(f.ui().Box->text() + more);
        f.ui().Check1->click();
        QVERIFY(!f.ui().Box->isLocked());
    }
    bool mountSmallDisk(const QString& options)
    {
        QDir().mkpath(path(QStringLiteral("disk")));
        disk = std::make_unique<SmallDisk>(path(QStringLiteral("disk")), options);
        return disk->mounted();
    }
    void runCommand(const QString& command);

    testing::Form1Fixture f;
    testing::TempFolder files;
    std::unique_ptr<SmallDisk> disk;
};

void RegisterFaultsTest::runCommand(const QString& command)
{
    if (command == QLatin1String("Command5")) {
        f.form->Command5_Click();
    } else if (command == QLatin1String("qq")) {
        f.form->SaveRegisterFromToolbar();
    } else if (command == u"ыы") {
        f.form->ыы_Click();
    } else if (command == QLatin1String("exit")) {
        f.seams->messages.answers.enqueue(MessageAnswer::Yes);
        f.form->Command4_Click();
    } else if (command == QLatin1String("Command6")) {
        f.form->Command6_Click();
    } else if (command == QLatin1String("qqq")) {
        f.form->OpenRegisterFromToolbar();
    } else {
        f.form->в_Click();
    }
    // A save's file is written on a thread of its own: its failure is told when the write ends.
    f.form->finishWriting();
    f.form->finishOpening();
}

void RegisterFaultsTest::failureLosesNothing_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("reason");  // a part of the message that names the cause

    QTest::newRow("save, disk full") << "full" << "Command5" << "не хватает места";
    QTest::newRow("save, disk full, exit question") << "full" << "exit" << "не хватает места";
    QTest::newRow("save, 4 KiB free, part written") << "almost full" << "qq" << "не хватает места";
    QTest::newRow("save, file size limit") << "size limit" << "ыы" << "больше, чем разрешено";
    QTest::newRow("save, file size limit, exit question") << "size limit" << "exit" << "больше, чем разрешено";
    QTest::newRow("save, read-only disk") << "read-only disk" << "Command5" << "только для чтения";
    QTest::newRow("save, folder without write rights") << "read-only folder" << "qq" << "Нет прав на запись в папку";
    QTest::newRow("save, onto a pipe") << "save fifo" << "ыы" << "канал";
    QTest::newRow("save, onto a device") << "save device" << "Command5" << "устройство";
    QTest::newRow("save, onto a folder") << "save folder" << "exit" << "папка";
    QTest::newRow("save, folder missing") << "missing folder" << "Command5" << "не найдена";
    QTest::newRow("save, name too long") << "long name" << "Command5" << "слишком длинные";
    QTest::newRow("open, pipe") << "fifo" << "Command6" << "канал";
    QTest::newRow("open, /dev/zero") << "/dev/zero" << "qqq" << "устройство";
    QTest::newRow("open, /dev/urandom") << "/dev/urandom" << "в" << "устройство";
    QTest::newRow("open, link to /dev/zero") << "link to zero" << "Command6" << "устройство";
    QTest::newRow("open, socket") << "socket" << "qqq" << "сокет";
    QTest::newRow("open, folder") << "folder" << "в" << "папка";
    QTest::newRow("open, no read rights") << "unreadable" << "Command6" << "Нет прав на чтение";
    QTest::newRow("open, larger than a register can be") << "too large" << "Command6" << "слишком велик";
    QTest::newRow("open, missing") << "missing" << "qqq" << "не найден";
}

void RegisterFaultsTest::failureLosesNothing()
{
    QFETCH(QString, fault);
    QFETCH(QString, command);
    QFETCH(QString, reason);

    makeState();
    QString target = path(QStringLiteral("список.krm"));
    QByteArray before;  // what is on disk at the target and must stay
    const bool saving = !command.startsWith(QLatin1String("Command6")) && command != QLatin1String("qqq")
                        && command != u"в";
    struct rlimit savedLimit {};

    if (fault == QLatin1String("full") || fault == QLatin1String("almost full")) {
        if (!mountSmallDisk(QStringLiteral("size=256k")))
            QSKIP("needs root to mount a small file system");
        target = path(QStringLiteral("disk/список.krm"));
        before = oldRegisterFile();
        QVERIFY(write(target, before));
        fill(path(QStringLiteral("disk")), fault == QLatin1String("full") ? 0 : 4096);
    } else if (fault == QLatin1String("size limit")) {
        before = oldRegisterFile();
        QVERIFY(write(target, before));
        QCOMPARE(::getrlimit(RLIMIT_FSIZE, &savedLimit), 0);
        struct rlimit small = savedLimit;
        small.rlim_cur = 4096;
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &small), 0);
    } else if (fault == QLatin1String("read-only disk")) {
        if (!mountSmallDisk(QStringLiteral("size=256k")))
            QSKIP("needs root to mount a small file system");
        target = path(QStringLiteral("disk/список.krm"));
        before = oldRegisterFile();
        QVERIFY(write(target, before));
        QVERIFY(disk->remountReadOnly());
    } else if (fault == QLatin1String("read-only folder")) {
        if (::geteuid() == 0)
            QSKIP("root writes into any folder; the read-only disk case stands for it");
        QDir().mkpath(path(QStringLiteral("ro")));
        target = path(QStringLiteral("ro/список.krm"));
        before = oldRegisterFile();
        QVERIFY(write(target, before));
        QVERIFY(QFile::setPermissions(path(QStringLiteral("ro")), QFile::ReadOwner | QFile::ExeOwner));
    } else if (fault == QLatin1String("save fifo") || fault == QLatin1String("fifo")) {
        target = path(QStringLiteral("канал.krm"));
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    } else if (fault == QLatin1String("save device")) {
        target = QStringLiteral("/dev/null");
    } else if (fault == QLatin1String("save folder") || fault == QLatin1String("folder")) {
        target = files.root();
    } else if (fault == QLatin1String("missing folder")) {
        target = path(QStringLiteral("нет/список.krm"));
    } else if (fault == QLatin1String("long name")) {
        target = path(QString(256, u'д') + QStringLiteral(".krm"));
    } else if (fault.startsWith(u'/')) {
        target = fault;
    } else if (fault == QLatin1String("link to zero")) {
        target = path(QStringLiteral("ноль.krm"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), target));
    } else if (fault == QLatin1String("socket")) {
        target = path(QStringLiteral("s.krm"));
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(target);
        QVERIFY(size_t(native.size()) < sizeof(address.sun_path));
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
        ::close(fd);
    } else if (fault == QLatin1String("unreadable")) {
        if (::geteuid() == 0)
            QSKIP("root reads any file");
        target = path(QStringLiteral("закрыт.krm"));
        QVERIFY(write(target, oldRegisterFile()));
        QVERIFY(QFile::setPermissions(target, QFile::WriteOwner));
    } else if (fault == QLatin1String("too large")) {
        // Sparse: claims to be larger than any register without taking the disk.
        QFile big(target);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(2) * 1024 * 1024 * 1024));
    } else if (fault == QLatin1String("missing")) {
        target = path(QStringLiteral("нет.krm"));
    }

    const QString registerBefore = f.ui().Box->text();
    const QString captionBefore = shownCaption(f.form.get());
    const QString flagBefore = f.ui().Text5->text();
    const bool lockedBefore = f.ui().Box->isLocked();
    const QStringList folderBefore = QDir(QFileInfo(target).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden);

    f.seams->dialog.fileNames.enqueue(target);
    runCommand(command);

    if (fault == QLatin1String("size limit"))
        QCOMPARE(::setrlimit(RLIMIT_FSIZE, &savedLimit), 0);

    QCOMPARE(f.seams->messages.calls.size(), command == QLatin1String("exit") ? 2 : 1);
    const testing::MessageCall& message = f.seams->messages.calls.last();
    QCOMPARE(message.title, QStringLiteral("Крамбол"));
    QCOMPARE(message.icon, platform::MessageIcon::Critical);
    QVERIFY2(message.text.contains(QDir::toNativeSeparators(target)), qPrintable(message.text));
    QVERIFY2(message.text.contains(reason), qPrintable(message.text));
    QVERIFY2(!message.text.contains(QStringLiteral("Неизвестная")), qPrintable(message.text));

    QCOMPARE(f.ui().Box->text(), registerBefore);
    QCOMPARE(shownCaption(f.form.get()), captionBefore);
    QCOMPARE(f.ui().Text5->text(), flagBefore);
    QCOMPARE(f.ui().Box->isLocked(), lockedBefore);
    QCOMPARE(f.seams->appExit.exits, 0);  // the exit question's failed save keeps the program running
    if (!before.isEmpty())
        QCOMPARE(contents(target), before);
    if (saving && target.startsWith(files.root() + u'/'))  // no temporary file is left behind
        QCOMPARE(QDir(QFileInfo(target).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden), folderBefore);
    if (fault == QLatin1String("read-only folder"))
        QFile::setPermissions(path(QStringLiteral("ro")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // And after the fault is gone, the same register saves whole.
    if (saving && fault != QLatin1String("save device") && fault != QLatin1String("save folder")) {
        f.seams->messages.calls.clear();
        f.seams->dialog.fileNames.enqueue(path(QStringLiteral("после.krm")));
        f.form->Command5_Click();
        f.form->finishWriting();
        QVERIFY(f.seams->messages.calls.isEmpty());
        QVERIFY(contents(path(QStringLiteral("после.krm"))).trimmed().endsWith("}"));
    }
}

void RegisterFaultsTest::openOfAPipeNeverWaits()
{
    // A pipe with no writer: opening it for reading in the usual way waits for one. Here a writer
    // comes after a while; the open must have been refused long before.
    makeState();
    const QString fifo = path(QStringLiteral("канал.krm"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    std::thread writer([native = QFile::encodeName(fifo)] {
        std::this_thread::sleep_for(std::chrono::seconds(3));
        const int fd = ::open(native.constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0)
            ::close(fd);
    });
    for (const QString& command : {QStringLiteral("Command6"), QStringLiteral("qqq"), QStringLiteral("в")}) {
        QElapsedTimer timer;
        timer.start();
        f.seams->dialog.fileNames.enqueue(fifo);
        runCommand(command);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    }
    writer.join();
    QCOMPARE(f.seams->messages.calls.size(), 3);
}

void RegisterFaultsTest::unusualNamesSaveAndOpen_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("255 bytes") << QString(127, u'ж') + QStringLiteral("a");
    QTest::newRow("255 bytes, .krm") << QString(125, u'ж') + QStringLiteral("a.krm");
    QTest::newRow("modified marker") << QStringLiteral("list[*].krm");
    QTest::newRow("two markers") << QStringLiteral("[*][*]x[*].krm");
    QTest::newRow("newline") << QStringLiteral("два\nряда.krm");
    QTest::newRow("leading dash and blanks") << QStringLiteral("-n  пробел .krm");
    QTest::newRow("percent and quotes") << QStringLiteral("%1 «\"'» %s.krm");
}

void RegisterFaultsTest::unusualNamesSaveAndOpen()
{
    QFETCH(QString, name);
    QVERIFY(QFile::encodeName(name).size() <= 255);
    const QString file = path(name);
    makeState();
    const QString registerText = f.ui().Box->text();

    // A new file, then the same name again, replacing it.
    for (int round = 0; round < 2; ++round) {
        f.seams->dialog.fileNames.enqueue(file);
        f.form->Command5_Click();
        f.form->finishWriting();
        QVERIFY2(f.seams->messages.calls.isEmpty(), qPrintable(f.seams->messages.calls.value(0).text));
    }
    QCOMPARE(QDir(files.root()).entryList(QDir::Files | QDir::Hidden), QStringList{name});

    f.reset();
    f.make();
    f.seams->dialog.fileNames.enqueue(file);
    f.form->Command6_Click();
    f.form->finishOpening();
    QVERIFY2(f.seams->messages.calls.isEmpty(), qPrintable(f.seams->messages.calls.value(0).text));
    QCOMPARE(f.ui().Box->text(), registerText);
    QCOMPARE(shownCaption(f.form.get()), file);
}

void RegisterFaultsTest::savePreservesLinksAndPermissions()
{
    makeState();
    const QString real = path(QStringLiteral("настоящий.krm"));
    const QString link = path(QStringLiteral("ссылка.krm"));
    QVERIFY(write(real, "old"));
    QVERIFY(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(QStringLiteral("настоящий.krm"), link));  // relative, as people make them

    f.seams->dialog.fileNames.enqueue(link);
    f.form->Command5_Click();
    f.form->finishWriting();
    QVERIFY(f.seams->messages.calls.isEmpty());
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(contents(real).startsWith("{\\rtf1"));
    QCOMPARE(QFile::permissions(real) & 0x0777, QFile::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup));

    // A dangling link gets its file made where it points.
    const QString dangling = path(QStringLiteral("висячая.krm"));
    QVERIFY(QFile::link(path(QStringLiteral("новый.krm")), dangling));
    f.seams->dialog.fileNames.enqueue(dangling);
    f.form->Command5_Click();
    f.form->finishWriting();
    QVERIFY(f.seams->messages.calls.isEmpty());
    QVERIFY(QFileInfo(dangling).isSymLink());
    QVERIFY(contents(path(QStringLiteral("новый.krm"))).startsWith("{\\rtf1"));
}

void RegisterFaultsTest::iconLoadRefusesWhatIsNoFile_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("reason");
    QTest::newRow("pipe") << "fifo" << "канал";
    QTest::newRow("/dev/zero") << "/dev/zero" << "устройство";
    QTest::newRow("link to /dev/urandom") << "link" << "устройство";
    QTest::newRow("folder") << "folder" << "папка";
    QTest::newRow("sparse and huge") << "huge" << "слишком велик";
}

void RegisterFaultsTest::iconLoadRefusesWhatIsNoFile()
{
    QFETCH(QString, fault);
    QFETCH(QString, reason);
    QString target = path(QStringLiteral("значок.ico"));
    if (fault == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
    else if (fault == QLatin1String("link"))
        QVERIFY(QFile::link(QStringLiteral("/dev/urandom"), target));
    else if (fault == QLatin1String("folder"))
        target = files.root();
    else if (fault == QLatin1String("huge")) {
        QFile big(target);
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(qint64(4) * 1024 * 1024 * 1024));
    } else
        target = fault;

    const QImage before = f.ui().Image6->picture().image;
    const QCursor pointerBefore = f.form->cursor();
    QElapsedTimer timer;
    timer.start();
    f.seams->dialog.fileNames.enqueue(target);
    f.form->Command12_Click();
    QVERIFY(timer.elapsed() < 1000);
    QCOMPARE(f.seams->messages.calls.size(), 1);
    QCOMPARE(f.seams->messages.calls[0].title, QStringLiteral("Крамбол"));
    QVERIFY2(f.seams->messages.calls[0].text.contains(reason), qPrintable(f.seams->messages.calls[0].text));
    QCOMPARE(f.ui().Image6->picture().image, before);
    QCOMPARE(f.form->cursor().shape(), pointerBefore.shape());
}

QTEST_MAIN(RegisterFaultsTest)
#include "tst_registerfaults.moc"
