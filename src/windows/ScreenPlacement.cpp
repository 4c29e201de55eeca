// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ScreenPlacement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace krambol::windows {

void centreOnPrimaryScreen(QWidget* window)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect client(QPoint(0, 0), window->size());
    client.moveCenter(screen->availableGeometry().center());
    window->move(client.topLeft());
}

} // namespace krambol::windows
