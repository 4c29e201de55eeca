// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Progress.h"

#include "platform/Product.h"

#include <QCoreApplication>
#include <QProgressDialog>

namespace krambol::platform {

QtProgress::QtProgress(QWidget* parent)
    : m_parent(parent)
{
}

QtProgress::~QtProgress()
{
    finish();
}

void QtProgress::start(const QString& label, int steps)
{
    finish();
    m_dialog = new QProgressDialog(label, QStringLiteral("Отмена"), 0, steps, m_parent);
    m_dialog->setWindowTitle(productName());
    // Modal, so the register cannot change while the task reads it; a modal dialog also lets the
    // events through at each step, so Cancel is heard.
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setMinimumDuration(500);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setValue(0);
    m_started.start();
}

bool QtProgress::advance(int done, const QString& label)
{
    if (!m_dialog)
        return true;
    m_dialog->setLabelText(label);
    m_dialog->setValue(std::min(done, m_dialog->maximum()));
    return !m_dialog->wasCanceled();
}

bool QtProgress::poll()
{
    if (!m_dialog)
        return true;
    if (!m_dialog->isVisible() && m_started.elapsed() >= m_dialog->minimumDuration())
        m_dialog->show();
    // Until the dialog is shown nothing keeps the user's input from the register; it waits till then.
    QCoreApplication::processEvents(m_dialog->isVisible() ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
    return !m_dialog->wasCanceled();
}

void QtProgress::finish()
{
    delete m_dialog.data();
    m_dialog = nullptr;
}

} // namespace krambol::platform
