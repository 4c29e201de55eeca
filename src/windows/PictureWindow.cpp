// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/PictureWindow.h"

#include "design/Twips.h"
#include "windows/Pictures.h"
#include "windows/ScreenPlacement.h"
#include "windows/StretchedImage.h"

#include <QLabel>
#include <QPixmap>

#include <string_view>

namespace krambol::windows {

namespace {

// The picture is one design larger than either client area: 30 x 45 twips more than the splash's,
// which clips the excess, and 15 twips less than the about window's on the right and bottom.
constexpr int kImageLeft = 0;
constexpr int kImageTop = 0;
constexpr int kImageWidth = 6690;
constexpr int kImageHeight = 4155;

} // namespace

PictureWindowParts buildPictureWindow(QWidget* window, const PictureWindowDesign& design)
{
    const QString name = QString::fromLatin1(design.objectName);
    window->setObjectName(name);
    window->setWindowTitle(name);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setFixedSize(design::twipsToPixels(design.clientWidth), design::twipsToPixels(design.clientHeight));

    PictureWindowParts parts;
    parts.Image1 = new StretchedImage(window);
    parts.Image1->setObjectName(QStringLiteral("Image1"));
    parts.Image1->setAccessibleName(design.pictureName.toString());
    parts.Image1->setGeometry(design::twipsToPixels(kImageLeft, kImageTop, kImageWidth, kImageHeight));
    parts.Image1->setPicture(QPixmap(QString::fromLatin1(kSharedPicturePath)));

    for (const LabelDesign& row : design.labels) {
        QLabel* label = createLabel(window, row);
        const std::string_view rowName = row.objectName;
        if (rowName == "Label1")
            parts.Label1 = label;
        else if (rowName == "lblCompanyProduct")
            parts.lblCompanyProduct = label;
        else if (rowName == "lblVersion")
            parts.lblVersion = label;
        else if (rowName == "lblCopyright")
            parts.lblCopyright = label;
    }

    centreOnPrimaryScreen(window);
    return parts;
}

} // namespace krambol::windows
