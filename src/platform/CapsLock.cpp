#include "platform/CapsLock.h"

namespace krambol::platform {

bool SystemCapsLock::isOn() const
{
    // Read per platform with the status bar's Caps Lock panel.
    return false;
}

} // namespace krambol::platform
