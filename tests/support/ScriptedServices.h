// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/AppExit.h"
#include "platform/CapsLock.h"
#include "platform/Clipboard.h"
#include "platform/Clock.h"
#include "platform/CommonDialog.h"
#include "platform/MessageBox.h"
#include "platform/Progress.h"
#include "platform/Services.h"

#include <QColor>
#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QPrinter;

// Scripted stand-ins for every seam: each records its calls and answers from a queue, so no test ever
// blocks on a modal box. An empty queue gives the "cancelled" answer.
namespace krambol::testing {

struct MessageCall
{
    QString text;
    QString title;
    platform::MessageIcon icon;
    platform::MessageButtons buttons;
};

class ScriptedMessageBox final : public platform::MessageBox
{
public:
    platform::MessageAnswer show(const QString& text, const QString& title, platform::MessageIcon icon,
                                 platform::MessageButtons buttons) override;

    QQueue<platform::MessageAnswer> answers;
    QList<MessageCall> calls;
    // Runs inside show(), while the box would be open (to look at the state at that moment).
    std::function<void(const MessageCall&)> onShow;
};

struct DialogCall
{
    enum Kind { Open, Save, Color, Printer };
    Kind kind;
    QString title;
    QString filter;
    QColor currentColor;
    bool preselectSelection = false;
};

class ScriptedCommonDialog final : public platform::CommonDialog
{
public:
    QString showOpen(const platform::FileRequest& request) override;
    QString showSave(const platform::FileRequest& request) override;
    QColor showColor(const platform::ColorRequest& request) override;
    std::unique_ptr<QPrinter> showPrinter(const platform::PrinterRequest& request) override;

    QQueue<QString> fileNames;              // empty string or empty queue: cancelled
    QQueue<std::optional<QColor>> colors;   // nullopt or empty queue: cancelled
    // Makes the printer handed back for each accepted printer dialog; unset or returning null: cancelled.
    std::function<std::unique_ptr<QPrinter>()> printerFactory;
    QList<DialogCall> calls;
};

class ScriptedClipboard final : public platform::Clipboard
{
public:
    std::optional<QString> text() override;
    bool setText(const QString& text) override;
    // Keeps the function and runs it when the text is first read, as a paste would.
    bool setDeferredText(std::function<QString()> render) override;
    bool supportsSelection() const override { return hasSelection; }
    std::optional<QString> selectionText() override;
    bool setSelectionText(const QString& text) override;

    // The text put last; a deferred one is in `deferred` until it is read. Put text with setText() to
    // drop a deferred one.
    QString content;
    std::function<QString()> deferred;
    int renders = 0;
    bool reachable = true;
    int writes = 0;
    // The primary selection, there only when asked for (as on X11).
    bool hasSelection = false;
    QString selection;
    int selectionWrites = 0;
};

class FixedClock final : public platform::Clock
{
public:
    QDate today() const override { return dateTime.date(); }
    QDateTime now() const override { return dateTime; }

    QDateTime dateTime{QDate(2005, 4, 17), QTime(10, 7)};
};

class ScriptedCapsLock final : public platform::CapsLock
{
public:
    bool isOn() const override { return on; }
    bool on = false;
};

class RecordingAppExit final : public platform::AppExit
{
public:
    void exitApplication() override { ++exits; }
    int exits = 0;
};

// Records what a long task reports; stops it at the step given (each page of a print is a step).
class ScriptedProgress final : public platform::Progress
{
public:
    void start(const QString& label, int steps) override;
    bool advance(int done, const QString& label) override;
    bool poll() override { return cancelAtPoll <= 0 || ++polls < cancelAtPoll; }
    void finish() override { open = false; }

    // The step (counted from 1) whose advance() answers as the Cancel button would; 0: never.
    int cancelAtStep = 0;
    // The same for the polls made while the task runs elsewhere.
    int cancelAtPoll = 0;
    int starts = 0;
    int steps = 0;
    int polls = 0;
    bool open = false;
    QList<int> done;
    QStringList labels;
};

// All of the above, ready to hand to a window.
struct ScriptedServices
{
    ScriptedMessageBox messages;
    ScriptedCommonDialog dialog;
    ScriptedClipboard clipboard;
    FixedClock clock;
    ScriptedCapsLock capsLock;
    RecordingAppExit appExit;
    ScriptedProgress progress;

    platform::Services services()
    {
        return platform::Services{messages, dialog, clipboard, clock, capsLock, appExit, progress};
    }
};

} // namespace krambol::testing
