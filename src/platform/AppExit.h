// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace krambol::platform {

// Ending the application at once, every window with it, behind a seam so tests can watch it.
class AppExit
{
public:
    virtual ~AppExit() = default;
    virtual void exitApplication() = 0;
};

class QtAppExit final : public AppExit
{
public:
    void exitApplication() override;
};

} // namespace krambol::platform
