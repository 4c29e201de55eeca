// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/Form3.h"

#include "design/Twips.h"
#include "windows/LabelDesign.h"
#include "windows/Pictures.h"
#include "windows/ScreenPlacement.h"
#include "windows/StretchedImage.h"
#include "windows/Version.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace krambol::windows {

namespace {

// The client area of the splash window, in twips.
constexpr int kClientWidth = 6660;
constexpr int kClientHeight = 4110;

// The picture is 30 x 45 twips larger than the client area; the window clips the excess.
constexpr int kImageLeft = 0;
constexpr int kImageTop = 0;
constexpr int kImageWidth = 6690;
constexpr int kImageHeight = 4155;

constexpr int kTimerInterval = 2000; // milliseconds

} // namespace

Form3::Form3(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Form3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(design::twipsToPixels(kClientWidth), design::twipsToPixels(kClientHeight));

    // Created first, so every label lies above it.
    m_Image1 = new StretchedImage(this);
    m_Image1->setObjectName(QStringLiteral("Image1"));
    m_Image1->setAccessibleName(QStringLiteral("Заставка"));
    m_Image1->setGeometry(design::twipsToPixels(kImageLeft, kImageTop, kImageWidth, kImageHeight));
    m_Image1->setPicture(QPixmap(QString::fromLatin1(kSharedPicturePath)));

    const QString version = versionLabelText();
    const LabelDesign labels[] = {
        {"lblCompanyProduct", u"KERMIL SOFT", 2040, 240, 2565, 435, 18, true, false},
        {"Label1", u"2005 год", 2520, 3600, 1695, 495, 24, false, false},
        {"lblCopyright", u"", 120, 3240, 4695, 255, 12, false, false},
        {"lblVersion", version, 4920, 3240, 1605, 300, 12, true, true},
    };
    m_lblCompanyProduct = createLabel(this, labels[0]);
    m_Label1 = createLabel(this, labels[1]);
    m_lblCopyright = createLabel(this, labels[2]);
    m_lblVersion = createLabel(this, labels[3]);

    // Loading the window starts the timer; it ticks once.
    m_Timer1 = new QTimer(this);
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setSingleShot(true);
    m_Timer1->setTimerType(Qt::PreciseTimer);
    m_Timer1->setInterval(kTimerInterval);
    connect(m_Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
    m_Timer1->start();

    centreOnPrimaryScreen(this);
}

void Form3::Timer1_Timer()
{
    close();
}

} // namespace krambol::windows
