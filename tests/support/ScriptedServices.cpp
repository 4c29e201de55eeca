// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedServices.h"

#include <QPrinter>

#include <utility>

namespace krambol::testing {

platform::MessageAnswer ScriptedMessageBox::show(const QString& text, const QString& title,
                                                 platform::MessageIcon icon, platform::MessageButtons buttons)
{
    const MessageCall call{text, title, icon, buttons};
    calls.append(call);
    if (onShow)
        onShow(call);
    if (buttons == platform::MessageButtons::Ok)
        return platform::MessageAnswer::Ok;
    return answers.isEmpty() ? platform::MessageAnswer::Cancel : answers.dequeue();
}

QString ScriptedCommonDialog::showOpen(const platform::FileRequest& request)
{
    calls.append({DialogCall::Open, request.title, request.filter, {}, false});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QString ScriptedCommonDialog::showSave(const platform::FileRequest& request)
{
    calls.append({DialogCall::Save, request.title, request.filter, {}, false});
    return fileNames.isEmpty() ? QString() : fileNames.dequeue();
}

QColor ScriptedCommonDialog::showColor(const platform::ColorRequest& request)
{
    calls.append({DialogCall::Color, request.title, {}, request.current, false});
    const std::optional<QColor> answer = colors.isEmpty() ? std::nullopt : colors.dequeue();
    return answer.value_or(request.current);
}

std::unique_ptr<QPrinter> ScriptedCommonDialog::showPrinter(const platform::PrinterRequest& request)
{
    calls.append({DialogCall::Printer, request.title, {}, {}, request.preselectSelection});
    return printerFactory ? printerFactory() : nullptr;
}

std::optional<QString> ScriptedClipboard::text()
{
    if (!reachable)
        return std::nullopt;
    if (deferred) {
        content = std::exchange(deferred, nullptr)();
        ++renders;
    }
    return content;
}

bool ScriptedClipboard::setText(const QString& text)
{
    if (!reachable)
        return false;
    content = text;
    deferred = nullptr;
    ++writes;
    return true;
}

bool ScriptedClipboard::setDeferredText(std::function<QString()> render)
{
    if (!reachable)
        return false;
    content.clear();
    deferred = std::move(render);
    ++writes;
    return true;
}

std::optional<QString> ScriptedClipboard::selectionText()
{
    if (!hasSelection || !reachable)
        return std::nullopt;
    return selection;
}

bool ScriptedClipboard::setSelectionText(const QString& text)
{
    if (!hasSelection || !reachable)
        return false;
    selection = text;
    ++selectionWrites;
    return true;
}

void ScriptedProgress::start(const QString& label, int count)
{
    ++starts;
    steps = count;
    open = true;
    done.clear();
    labels = {label};
}

bool ScriptedProgress::advance(int doneSoFar, const QString& label)
{
    done.append(doneSoFar);
    labels.append(label);
    return cancelAtStep <= 0 || done.size() < cancelAtStep;
}

} // namespace krambol::testing
