// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the application as its own main() runs it, stopped at the main window's first paint.
// Prints one line, "painted MS_A MS_B": milliseconds from entering main() to the first paint event of
// Form1 or any widget inside it (MS_A), and to the end of that paint pass (MS_B); then quits. The parent
// (bench_register) adds the time from spawning the process to reading that line.
#include "BenchSupport.h"
#include "platform/SystemServices.h"
#include "shell/Form1.h"
#include "windows/ApplicationIcon.h"
#include "windows/Version.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

// Stops the clock at the first paint of the watched window or of a widget inside it.
class FirstPaint : public QObject
{
public:
    FirstPaint(const QWidget& window, const QElapsedTimer& clock)
        : m_window(window)
        , m_clock(clock)
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()) {
            const auto* widget = static_cast<QWidget*>(watched);
            if (widget == &m_window || m_window.isAncestorOf(widget)) {
                m_seen = true;
                const double first = double(m_clock.nsecsElapsed()) / 1e6;
                // A zero timer runs once the paint pass that holds this event is over.
                QTimer::singleShot(0, this, [this, first] {
                    std::printf("painted %.3f %.3f\n", first, double(m_clock.nsecsElapsed()) / 1e6);
                    std::fflush(stdout);
                    QCoreApplication::quit();
                });
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QWidget& m_window;
    const QElapsedTimer& m_clock;
    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer clock;
    clock.start();
    krambol::bench::preferOffscreen();

    // From here on, the same steps as the application's main().
    QApplication app(argc, argv);
    krambol::windows::applyApplicationMetadata();
    QApplication::setWindowIcon(krambol::windows::applicationIcon());

    krambol::platform::SystemServices system;
    krambol::shell::Form1 form(system.services());
    system.setDialogParent(&form);
    FirstPaint firstPaint(form, clock);
    app.installEventFilter(&firstPaint);
    form.Form_Load();
    form.show();
    return app.exec();
}
