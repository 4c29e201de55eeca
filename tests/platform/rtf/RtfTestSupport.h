#pragma once

#include "platform/rtf/Document.h"

#include <QByteArray>
#include <QFile>
#include <QString>

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

} // namespace krambol::testing
