// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CommonDialog.h"

#include "platform/NoSettings.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QStringList>

namespace krambol::platform {

QString qtFileFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        // A description that already ends in its patterns in brackets is shown exactly as written.
        if (description.endsWith(u'(' + patterns + u')'))
            entries << description;
        else
            entries << description + QStringLiteral(" (") + patterns + u')';
    }
    return entries.join(QStringLiteral(";;"));
}

QtCommonDialog::QtCommonDialog(QWidget* parent)
    : m_parent(parent)
{
    // The toolkit's dialogs read and write no settings file.
    keepNoSettings();
}

QString QtCommonDialog::showOpen(const FileRequest& request)
{
    return QFileDialog::getOpenFileName(m_parent, request.title, QString(), qtFileFilter(request.filter));
}

QString QtCommonDialog::showSave(const FileRequest& request)
{
    return QFileDialog::getSaveFileName(m_parent, request.title, QString(), qtFileFilter(request.filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QColor QtCommonDialog::showColor(const ColorRequest& request)
{
    const QColor chosen = QColorDialog::getColor(request.current, m_parent, request.title);
    return chosen.isValid() ? chosen : request.current;
}

std::unique_ptr<QPrinter> QtCommonDialog::showPrinter(const PrinterRequest& request)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), m_parent);
    dialog.setWindowTitle(request.title);
    // The page-range choice is hidden; only the selection/all choice remains.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    dialog.setPrintRange(request.preselectSelection ? QAbstractPrintDialog::Selection
                                                    : QAbstractPrintDialog::AllPages);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

} // namespace krambol::platform
