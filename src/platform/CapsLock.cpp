// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/CapsLock.h"

#include <QGuiApplication>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(KRAMBOL_HAVE_X11)
#include <QtGui/qguiapplication_platform.h>
// Xlib after Qt: its macros (Bool, None, Status) would clash with Qt's names.
#include <X11/XKBlib.h>
#endif

namespace krambol::platform {

bool SystemCapsLock::isOn() const
{
#if defined(Q_OS_WIN)
    // The low bit of the key state is the toggle: set while Caps Lock is on.
    return (GetKeyState(VK_CAPITAL) & 1) != 0;
#elif defined(KRAMBOL_HAVE_X11) && QT_CONFIG(xcb)
    // Only an application on the X server has a keyboard state to read; offscreen and Wayland
    // sessions report off.
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    XkbStateRec state{};
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return false;
    return (state.locked_mods & LockMask) != 0;
#else
    // No reader on this platform: the panel shows Caps Lock as off.
    return false;
#endif
}

} // namespace krambol::platform
