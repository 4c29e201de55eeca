// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// A scratch folder on the real file system for the tests of files, made in init() and removed in
// cleanup(), with whole-file reads and writes that say whether they worked.
namespace krambol::testing {

struct TempFolder
{
    std::unique_ptr<QTemporaryDir> dir;

    void make()
    {
        dir = std::make_unique<QTemporaryDir>();
        QVERIFY(dir->isValid());
    }
    void reset() { dir.reset(); }
    QString root() const { return dir->path(); }
    QString path(const QString& name) const { return dir->filePath(name); }
};

inline QByteArray contents(const QString& file)
{
    QFile in(file);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

inline bool write(const QString& file, const QByteArray& bytes)
{
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

} // namespace krambol::testing
