// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <utility>

// Reading and writing a file whole, as the register and the cursor panel need it, with every way the
// operating system can fail turned into a reason a person can act on.
namespace krambol::platform {

struct WholeFileRead
{
    QByteArray bytes;
    std::optional<QString> error;  // set: nothing was read
};

// Reads the regular file at `path`. Pipes, devices, sockets and folders are refused before anything
// is read, and opening never waits for a writer. At most `limit` + 1 bytes are ever read, whatever
// size the file claims: a larger file is refused with `tooLarge` as its reason.
WholeFileRead readRegularFile(const QString& path, qint64 limit, const QString& tooLarge);

// Replaces the file at `path` (or creates it) with `bytes`, all or nothing: the bytes go to a
// temporary file beside it, are flushed to the disk, and only then take the file's place, so a
// failure at any step leaves the file already there byte for byte. A symbolic link is followed and
// kept; the file's permissions are kept. Returns the reason when the file was not replaced.
std::optional<QString> replaceFileWhole(const QString& path, const QByteArray& bytes);

// The file a replace put out of the way, held until this is destroyed: only then does the file system
// take back its storage, which for a large file takes milliseconds, so that this can come after the
// new file is known to be in place.
class ReplacedFile
{
public:
    ReplacedFile() = default;
    // Holds the file open at this descriptor.
    explicit ReplacedFile(int descriptor) : m_fd(descriptor) {}
    ~ReplacedFile() { release(); }
    ReplacedFile(ReplacedFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    ReplacedFile& operator=(ReplacedFile&& other) noexcept
    {
        if (this != &other) {
            release();
            m_fd = std::exchange(other.m_fd, -1);
        }
        return *this;
    }
    // Lets the file go now.
    void release();

private:
    int m_fd = -1;
};

// Takes the new file's bytes piece by piece, in order; false when they could not be written, and then
// whatever comes after is not written either.
using FileSink = std::function<bool(QByteArrayView)>;

// The same, with the bytes handed to `sink` by `produce` as it makes them, so that the whole file is
// never held at once: they go to the temporary file as they come. A failure to write them leaves the
// file already there byte for byte as above, and its reason is returned.
// With `replaced`, the file that was there is held in it after the replace (where the system allows).
std::optional<QString> replaceFileWhole(const QString& path, const std::function<void(const FileSink& sink)>& produce,
                                        ReplacedFile* replaced = nullptr);

} // namespace krambol::platform
