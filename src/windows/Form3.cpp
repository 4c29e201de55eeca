// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Form3.h"

#include "windows/PictureWindow.h"
#include "windows/Version.h"

#include <QLabel>
#include <QTimer>

namespace krambol::windows {

namespace {

// The client area of the splash window, in twips; the picture is larger and clipped.
constexpr int kClientWidth = 6660;
constexpr int kClientHeight = 4110;

constexpr int kTimerInterval = 2000; // milliseconds

} // namespace

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    const QString version = versionLabelText();
    const LabelDesign labels[] = {
        {"lblCompanyProduct", u"KERMIL SOFT", {2040, 240, 2565, 435}, 18, true, false},
        {"Label1", u"2005 год", {2520, 3600, 1695, 495}, 24, false, false},
        {"lblCopyright", u"", {120, 3240, 4695, 255}, 12, false, false},
        {"lblVersion", version, {4920, 3240, 1605, 300}, 12, true, true},
    };
    const PictureWindowParts parts =
        buildPictureWindow(this, {"Form3", kClientWidth, kClientHeight, u"Заставка", labels});
    m_Image1 = parts.Image1;
    m_lblCompanyProduct = parts.lblCompanyProduct;
    m_Label1 = parts.Label1;
    m_lblCopyright = parts.lblCopyright;
    m_lblVersion = parts.lblVersion;

    // Loading the window starts the timer; it ticks once.
    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer);
    m_Timer1->setInterval(kTimerInterval);
    connect(m_Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    m_Timer1->start();
}

void Form3::Timer1_Timer()
{
    close();
}

} // namespace krambol::windows
