// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace krambol::platform {

class AppExit;
class CapsLock;
class Clipboard;
class Clock;
class CommonDialog;
class MessageBox;
class Progress;

// The seams through which the main window reaches everything modal or system-wide. The real ones come
// from SystemServices; tests hand in scripted ones.
struct Services
{
    MessageBox& messages;
    CommonDialog& dialog;
    Clipboard& clipboard;
    Clock& clock;
    CapsLock& capsLock;
    AppExit& appExit;
    Progress& progress;
};

} // namespace krambol::platform
