// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/WholeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <QSaveFile>
#endif

namespace krambol::platform {

namespace {

QString folderOf(const QString& path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absolutePath());
}

const QString kFolderNotFile = QStringLiteral("Это папка, а не файл.");

} // namespace

#ifdef Q_OS_UNIX

namespace {

// Why a call failed, in words a person can act on. `folder` names the folder of the file when the
// reason is about it.
QString reasonFor(int error, const QString& folder)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("На диске не хватает места.");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("Превышена дисковая квота.");
#endif
    case EFBIG:
        return QStringLiteral("Файл получился бы больше, чем разрешено на этом диске или для этой программы.");
    case EROFS:
        return QStringLiteral("Диск доступен только для чтения.");
    case ENAMETOOLONG:
        return QStringLiteral("Имя файла или путь к нему слишком длинные для этой файловой системы.");
    case ENOENT:
        return QStringLiteral("Папка «%1» не найдена.").arg(folder);
    case ENOTDIR:
        return QStringLiteral("Часть пути к файлу — не папка.");
    case EISDIR:
        return kFolderNotFile;
    case ELOOP:
        return QStringLiteral("В пути к файлу символические ссылки указывают друг на друга.");
    case EIO:
        return QStringLiteral("Ошибка ввода-вывода: диск не смог выполнить операцию.");
    case EBUSY:
    case ETXTBSY:
        return QStringLiteral("Файл занят другой программой.");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Открыто слишком много файлов.");
    case ENOMEM:
        return QStringLiteral("Не хватает памяти.");
    case EINVAL:
    case EILSEQ:
        return QStringLiteral("Файловая система не допускает такое имя файла.");
    case EAGAIN:
        return QStringLiteral("Файл заблокирован другой программой.");
    default:
        return QStringLiteral("Системная ошибка %1: %2.").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

QString readReason(int error, const QString& path)
{
    switch (error) {
    case ENOENT:
        return QStringLiteral("Файл не найден.");
    case EACCES:
    case EPERM:
        return QStringLiteral("Нет прав на чтение этого файла.");
    case ENXIO:
        return QStringLiteral("Это сокет, а не файл.");
    default:
        return reasonFor(error, folderOf(path));
    }
}

class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    void reset()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    // Closes and reports what close(2) says: on network file systems, the last write errors come here.
    int closeChecked()
    {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

QString notRegularReason(mode_t mode)
{
    if (S_ISDIR(mode))
        return kFolderNotFile;
    if (S_ISFIFO(mode))
        return QStringLiteral("Это канал, а не файл: в канале нет списка, который можно открыть или заменить.");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("Это устройство, а не файл.");
    if (S_ISSOCK(mode))
        return QStringLiteral("Это сокет, а не файл.");
    return QStringLiteral("Это не обычный файл.");
}

// A write past the process's file size limit raises SIGXFSZ, whose default action ends the program:
// and with it the only copy of the register. Ignored, the write fails with EFBIG and is reported.
void keepWritesPastTheSizeLimitFromEndingTheProgram()
{
    static const bool done = [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL)
            std::signal(SIGXFSZ, SIG_IGN);
        return true;
    }();
    (void)done;
}

// The file a save replaces: a symbolic link is followed (even a dangling one) so that the link stays
// and the file it points to gets the new contents.
QByteArray resolveLinks(const QByteArray& path)
{
    QByteArray current = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat info {};
        if (::lstat(current.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        QByteArray target(info.st_size > 0 ? info.st_size + 1 : 4096, '\0');
        const ssize_t length = ::readlink(current.constData(), target.data(), target.size());
        if (length <= 0 || length >= target.size())
            return current;
        target.truncate(length);
        if (!target.startsWith('/')) {
            const int slash = current.lastIndexOf('/');
            target.prepend(slash >= 0 ? current.left(slash + 1) : QByteArray());
        }
        current = target;
    }
    return current;
}

bool writeAll(int fd, QByteArrayView bytes, int* error)
{
    const char* data = bytes.data();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(std::min<qint64>(left, qint64(1) << 30)));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            *error = errno;
            return false;
        }
        if (written == 0) {
            *error = EIO;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

WholeFileRead readRegularFile(const QString& path, qint64 limit, const QString& tooLarge)
{
    // Non-blocking, so that a pipe with no writer (or a device that waits for a carrier) opens at once
    // and is refused below instead of freezing the window.
    const QByteArray native = QFile::encodeName(path);
    Descriptor fd(::open(native.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return {{}, readReason(errno, path)};
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return {{}, readReason(errno, path)};
    if (!S_ISREG(info.st_mode))
        return {{}, notRegularReason(info.st_mode)};
    if (info.st_size > limit)
        return {{}, tooLarge};
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);

    // The size is only a hint: the file may grow while it is read. Never more than limit + 1 bytes.
    QByteArray bytes;
    bytes.resize(qsizetype(std::min<qint64>(info.st_size, limit) + 1));
    qint64 total = 0;
    for (;;) {
        if (total == bytes.size()) {
            if (total > limit)
                return {{}, tooLarge};
            bytes.resize(qsizetype(std::min<qint64>(total * 2, limit + 1)));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return {{}, readReason(errno, path)};
        }
        if (got == 0)
            break;
        total += got;
    }
    if (total > limit)
        return {{}, tooLarge};
    bytes.truncate(qsizetype(total));
    return {bytes, std::nullopt};
}

void ReplacedFile::release()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

std::optional<QString> replaceFileWhole(const QString& path, const std::function<void(const FileSink& sink)>& produce,
                                        ReplacedFile* replaced)
{
    keepWritesPastTheSizeLimitFromEndingTheProgram();

    const QByteArray target = resolveLinks(QFile::encodeName(path));
    const QString folder = folderOf(QFile::decodeName(target));

    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
        return notRegularReason(existing.st_mode);
    if (!exists && errno != ENOENT)
        return reasonFor(errno, folder);

    // The temporary file has a short name of its own, so that a name as long as the file system
    // allows can still be replaced; it is hidden, and removed again on any failure.
    const int slash = target.lastIndexOf('/');
    QByteArray temporary = (slash >= 0 ? target.left(slash + 1) : QByteArray()) + QByteArrayLiteral(".krambol-XXXXXX");
    Descriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            return QStringLiteral("Нет прав на запись в папку «%1».").arg(folder);
        return reasonFor(error, folder);
    }

    const auto fail = [&](int error) -> std::optional<QString> {
        fd.reset();
        ::unlink(temporary.constData());
        if (error == EACCES || error == EPERM)
            return QStringLiteral("Нет прав на замену этого файла.");
        return reasonFor(error, folder);
    };

    // The new file keeps the permissions and, where allowed, the owner of the one it replaces; a new
    // file gets the usual ones.
    mode_t mode = 0;
    if (exists) {
        mode = existing.st_mode & 07777;
        if (::fchown(fd.get(), existing.st_uid, existing.st_gid) != 0)
            mode &= 0777;  // no set-id bits for a file owned by somebody else
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd.get(), mode) != 0)
        return fail(errno);

    int error = 0;
    off_t written = 0;
    off_t flushing = 0;  // where the disk was last asked to start writing the bytes before it
    const FileSink sink = [&](QByteArrayView piece) {
        if (error != 0 || !writeAll(fd.get(), piece, &error))
            return false;
        written += piece.size();
#ifdef SYNC_FILE_RANGE_WRITE
        // The disk starts on each written megabyte while the next is made, so that the flush below has
        // less left to wait for. Only a hint: its failures are the flush's to report.
        if (written - flushing >= off_t(1) << 20) {
            ::sync_file_range(fd.get(), flushing, written - flushing, SYNC_FILE_RANGE_WRITE);
            flushing = written;
        }
#endif
        return true;
    };
    produce(sink);
    if (error != 0)
        return fail(error);
    // Delayed allocation and network file systems report a full disk only here or at close.
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != ENOTSUP)
        return fail(errno);
    if (const int closeError = fd.closeChecked())
        return fail(closeError);
#ifdef O_PATH
    // The file replaced stays open here, so that the rename and the sync below do not wait for its
    // storage to be given back: that happens when the caller lets it go.
    ReplacedFile old(replaced && exists ? ::open(target.constData(), O_PATH | O_CLOEXEC) : -1);
#else
    (void)replaced;
#endif
    if (::rename(temporary.constData(), target.constData()) != 0)
        return fail(errno);

    // The rename itself reaches the disk with the folder.
    Descriptor directory(::open(slash >= 0 ? target.left(slash + 1).constData() : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() >= 0)
        ::fsync(directory.get());
#ifdef O_PATH
    if (replaced)
        *replaced = std::move(old);
#endif
    return std::nullopt;
}

#else

WholeFileRead readRegularFile(const QString& path, qint64 limit, const QString& tooLarge)
{
    const QFileInfo info(path);
    if (info.isDir())
        return {{}, kFolderNotFile};
    if (info.exists() && !info.isFile())
        return {{}, QStringLiteral("Это не обычный файл.")};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{}, file.errorString()};
    if (file.size() > limit)
        return {{}, tooLarge};
    const QByteArray bytes = file.read(limit + 1);
    if (file.error() != QFileDevice::NoError)
        return {{}, file.errorString()};
    if (bytes.size() > limit)
        return {{}, tooLarge};
    return {bytes, std::nullopt};
}

void ReplacedFile::release()
{
    m_fd = -1;
}

std::optional<QString> replaceFileWhole(const QString& path, const std::function<void(const FileSink& sink)>& produce,
                                        ReplacedFile*)
{
    if (QFileInfo(path).isDir())
        return kFolderNotFile;
    // Unbuffered, so that a failed write is reported by write() itself and never hides in a buffer
    // that the commit flushes.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    bool failed = false;
    produce([&](QByteArrayView piece) {
        failed = failed || file.write(piece.data(), piece.size()) != piece.size();
        return !failed;
    });
    if (failed) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return std::nullopt;
}

#endif

std::optional<QString> replaceFileWhole(const QString& path, const QByteArray& bytes)
{
    return replaceFileWhole(path, [&bytes](const FileSink& sink) { sink(bytes); });
}

} // namespace krambol::platform
