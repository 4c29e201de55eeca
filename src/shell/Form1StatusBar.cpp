// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "platform/CapsLock.h"
#include "platform/Clock.h"
#include "design/Twips.h"
#include "shell/EventHook.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include <functional>

namespace krambol::shell {

namespace {

// Panel widths in twips: time, date, Caps Lock and the hint panel. The first three keep their width;
// the hint panel takes what a wider window adds.
constexpr int kPanelWidths[4] = {1440, 1440, 1440, 3360};
constexpr int kPanelMinimumWidth = 1440;
// How often the bar looks at the clock and the Caps Lock state.
constexpr int kRefreshMilliseconds = 250;

} // namespace

void Form1::bindStatusBar()
{
    QStatusBar* bar = m_ui.StatusBar1;
    // The panels stand side by side in a row of their own, as the classic bar draws them: the bar
    // would put its 6-pixel spacing between them and take 18 pixels from the hint panel, whose
    // longest hints need the whole width the design gives it.
    auto* row = new QWidget(bar);
    row->setObjectName(QStringLiteral("StatusBar1Panels"));
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(QMargins());
    layout->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(row);
        panel->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFocusPolicy(Qt::NoFocus);
        if (i < 3) {
            panel->setAlignment(Qt::AlignCenter);
            panel->setFixedWidth(design::twipsToPixels(kPanelWidths[i]));
            layout->addWidget(panel, 0);
        } else {
            panel->setMinimumWidth(design::twipsToPixels(kPanelMinimumWidth));
            layout->addWidget(panel, 1);
        }
        m_panels[i] = panel;
    }
    bar->addWidget(row, 1);
    m_panels[2]->setText(QStringLiteral("CAPS"));

    auto* timer = new QTimer(bar);
    timer->setObjectName(QStringLiteral("StatusBar1Clock"));
    connect(timer, &QTimer::timeout, this, &Form1::refreshStatusPanels);
    timer->start(kRefreshMilliseconds);
    // A bar shown again after a while shows the time at once, never an old one.
    (new EventHook(bar, {QEvent::Show}, [this](QObject*, QEvent*) {
        refreshStatusPanels();
        return false;
    }))->watch(bar);
    refreshStatusPanels();
}

void Form1::refreshStatusPanels()
{
    const QDateTime now = m_services.clock.now();
    m_panels[0]->setText(platform::shortTimeText(now.time()));
    m_panels[1]->setText(platform::shortDateText(now.date()));
    // "CAPS" is drawn active while Caps Lock is on and dimmed while it is off.
    m_panels[2]->setEnabled(m_services.capsLock.isOn());
}

void Form1::setHint(const QString& hint)
{
    // Written whether or not the bar shows; a hidden bar shows the latest hint once shown again.
    if (m_panels[3])
        m_panels[3]->setText(hint);
}

} // namespace krambol::shell
