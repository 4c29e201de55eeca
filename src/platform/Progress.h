// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

namespace krambol::platform {

// A long task's progress, shown with a Cancel button while the task runs. Every such indicator goes
// through this seam, so no test ever waits on it.
class Progress
{
public:
    virtual ~Progress() = default;
    // Opens the indicator for a task of `steps` steps.
    virtual void start(const QString& label, int steps) = 0;
    // Tells how many steps are done and what is being done; false once the user asked to stop.
    virtual bool advance(int done, const QString& label) = 0;
    // Lets the window handle its events while the task runs on another thread; false once the user
    // asked to stop.
    virtual bool poll() = 0;
    // Closes the indicator.
    virtual void finish() = 0;
};

// The real one: a progress dialog modal to the main window, shown once the task has run half a second.
class QtProgress final : public Progress
{
public:
    explicit QtProgress(QWidget* parent = nullptr);
    ~QtProgress() override;
    void setParent(QWidget* parent) { m_parent = parent; }

    void start(const QString& label, int steps) override;
    bool advance(int done, const QString& label) override;
    bool poll() override;
    void finish() override;

private:
    QWidget* m_parent;
    QElapsedTimer m_started;
    QPointer<QProgressDialog> m_dialog;
};

} // namespace krambol::platform
