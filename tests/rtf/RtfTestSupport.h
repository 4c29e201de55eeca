// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rtf/Document.h"
#include "rtf/Reader.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTest>

#include <optional>

// Small builders and file reading shared by the RTF codec tests.
namespace krambol::testing {

// The register's font (MS Sans Serif, Cyrillic) with the given style and size.
inline rtf::CharFormat styled(bool bold = false, bool italic = false, bool underline = false, int halfPoints = 48,
                              std::optional<QRgb> color = std::nullopt)
{
    rtf::CharFormat format;
    format.bold = bold;
    format.italic = italic;
    format.underline = underline;
    format.halfPoints = halfPoints;
    format.color = color;
    return format;
}

// The whole file, or nothing (with a warning) when it cannot be read.
inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("cannot read %s", qPrintable(path));
        return {};
    }
    return file.readAll();
}

// Checks a read against what was expected of it: no error (expected < 0), or an error with that code, a
// position inside the input and a message. A failure here fails the calling test, which stops when
// QTest::currentTestFailed() says so.
inline void checkReadOutcome(const QByteArray& rtf, const rtf::ReadResult& result, int expected)
{
    if (expected < 0) {
        QVERIFY2(!result.error, qPrintable(result.error ? result.error->message() : QString()));
        return;
    }
    QVERIFY(result.error);
    QCOMPARE(int(result.error->code), expected);
    QVERIFY(result.error->position >= 0 && result.error->position <= rtf.size());
    QVERIFY(!result.error->message().isEmpty());
}

} // namespace krambol::testing
