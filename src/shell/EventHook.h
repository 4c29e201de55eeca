// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QEvent>
#include <QList>
#include <QObject>

#include <functional>
#include <initializer_list>
#include <utility>

namespace krambol::shell {

// An event filter that hands the events of the given types to a function. What the function returns
// is what the filter returns: true stops the event there, false lets it go on. Events of other types
// pass untouched. The hook is a child of parent and watches whatever it is installed on.
class EventHook final : public QObject
{
public:
    using Handler = std::function<bool(QObject* watched, QEvent* event)>;

    EventHook(QObject* parent, std::initializer_list<QEvent::Type> types, Handler handler)
        : QObject(parent)
        , m_types(types)
        , m_handler(std::move(handler))
    {
    }

    // Installs the hook on target; returns the hook, so one hook can watch several objects.
    EventHook* watch(QObject* target)
    {
        target->installEventFilter(this);
        return this;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        return m_types.contains(event->type()) && m_handler(watched, event);
    }

private:
    QList<QEvent::Type> m_types;
    Handler m_handler;
};

} // namespace krambol::shell
