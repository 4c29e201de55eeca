// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPrinter>
#include <QString>

#include <memory>

namespace krambol::testing {

// A printer that writes a PDF file at the printer's own resolution, as a print dialog would give it.
inline std::unique_ptr<QPrinter> pdfPrinter(const QString& file)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(file);
    return printer;
}

} // namespace krambol::testing
