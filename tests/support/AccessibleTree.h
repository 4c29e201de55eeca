// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessible>
#include <QAccessibleInterface>
#include <QStringList>
#include <QWidget>

namespace krambol::testing {

// Walks the accessibility tree under a window and lists every node a user can reach with the
// keyboard (focusable and not invisible) that a screen reader would read without a name.
inline QStringList namelessFocusableNodes(QWidget* window, int* visited = nullptr)
{
    QStringList nameless;
    int count = 0;
    const auto walk = [&](const auto& self, QAccessibleInterface* node, const QString& path) -> void {
        if (!node || !node->isValid())
            return;
        ++count;
        const QString here = path + QLatin1Char('/')
                             + (node->object() ? node->object()->objectName() : QString())
                             + QLatin1Char('[') + QString::number(node->role()) + QLatin1Char(']');
        const QAccessible::State state = node->state();
        if (state.focusable && !state.invisible && !state.disabled
            && node->text(QAccessible::Name).trimmed().isEmpty())
            nameless << here;
        for (int i = 0; i < node->childCount(); ++i)
            self(self, node->child(i), here);
    };
    walk(walk, QAccessible::queryAccessibleInterface(window), QString());
    if (visited)
        *visited = count;
    return nameless;
}

// The accessible name and description of a widget, as a screen reader gets them.
inline QString accessibleName(QWidget* widget)
{
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    return node ? node->text(QAccessible::Name) : QString();
}

} // namespace krambol::testing
