// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "shell/Form1.h"
#include "support/ScriptedServices.h"

#include <QTest>

#include <memory>

namespace krambol::testing {

// A fresh main window over scripted seams; make() in init(), reset() in cleanup().
struct Form1Fixture
{
    std::unique_ptr<ScriptedServices> seams;
    std::unique_ptr<shell::Form1> form;

    void make()
    {
        seams = std::make_unique<ScriptedServices>();
        form = std::make_unique<shell::Form1>(seams->services());
    }
    // A fresh window, shown and exposed (for tests of geometry, painting and the mouse).
    void makeShown()
    {
        make();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void reset()
    {
        form.reset();
        seams.reset();
    }
    const shell::Form1Controls& ui() const { return form->controls(); }

    template <typename T = QWidget>
    T* child(const QString& name) const
    {
        T* found = form->findChild<T*>(name);
        if (!found)
            qFatal("no child named %s", qPrintable(name));
        return found;
    }
};

} // namespace krambol::testing
