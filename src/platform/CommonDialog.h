// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <memory>

class QPrinter;
class QWidget;

namespace krambol::platform {

// A file dialog use. The filter is written as description and pattern separated by a bar,
// "Крамбол(*.krm)|*.krm"; the dialog lists only matching files. No default extension, initial folder
// or file name is set, and no overwrite or must-exist question is asked.
struct FileRequest
{
    QString title;
    QString filter;
};

struct ColorRequest
{
    QString title;
    // What a cancelled dialog reports: the caller's current colour, so Cancel changes nothing.
    QColor current;
};

struct PrinterRequest
{
    QString title;
    // The range the dialog preselects: the selection when the register has one, otherwise all pages.
    bool preselectSelection = false;
};

// The shared common dialog "File": every file, colour and printer choice of the main window.
class CommonDialog
{
public:
    virtual ~CommonDialog() = default;
    // The chosen file name with its full path, or an empty string when the dialog was cancelled.
    virtual QString showOpen(const FileRequest& request) = 0;
    virtual QString showSave(const FileRequest& request) = 0;
    // The chosen colour; a cancelled dialog reports request.current.
    virtual QColor showColor(const ColorRequest& request) = 0;
    // The chosen printer, ready to print on; null when the dialog was cancelled.
    virtual std::unique_ptr<QPrinter> showPrinter(const PrinterRequest& request) = 0;
};

// Converts "description|pattern" pairs into the filter string Qt's file dialog takes.
QString qtFileFilter(const QString& filter);

class QtCommonDialog final : public CommonDialog
{
public:
    explicit QtCommonDialog(QWidget* parent = nullptr);
    void setParent(QWidget* parent) { m_parent = parent; }

    QString showOpen(const FileRequest& request) override;
    QString showSave(const FileRequest& request) override;
    QColor showColor(const ColorRequest& request) override;
    std::unique_ptr<QPrinter> showPrinter(const PrinterRequest& request) override;

private:
    QWidget* m_parent;
};

} // namespace krambol::platform
