// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace krambol::platform {

// Whether Caps Lock is on, read from the system (X11 through XKB, Windows through GetKeyState).
class CapsLock
{
public:
    virtual ~CapsLock() = default;
    virtual bool isOn() const = 0;
};

class SystemCapsLock final : public CapsLock
{
public:
    bool isOn() const override;
};

} // namespace krambol::platform
