// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/EditMode.h"

#include "widgets/PictureButton.h"
#include "platform/RichTextBox.h"

namespace krambol::reg {

namespace {
const QString kEditingCaption = QStringLiteral("Не исправлять");
const QString kLockedCaption = QStringLiteral("Исправлять");
} // namespace

EditMode::EditMode(const EditModeControls& controls)
    : m_controls(controls)
{
}

void EditMode::check1Clicked()
{
    if (m_controls.check1->isChecked()) {
        m_controls.box->setLocked(false);
        m_controls.check1->setText(kEditingCaption);
        m_controls.isp->setChecked(true);
        m_controls.isp->setFacePicture(m_controls.editingPicture);
    } else {
        m_controls.box->setLocked(true);
        m_controls.check1->setText(kLockedCaption);
        m_controls.isp->setChecked(false);
        m_controls.isp->setFacePicture(m_controls.lockedPicture);
    }
}

void EditMode::ispClicked()
{
    if (m_controls.isp->isChecked()) {
        m_controls.box->setLocked(false);
        m_controls.check1->setChecked(true);
        m_controls.isp->setFacePicture(m_controls.editingPicture);
        m_controls.check1->setText(kEditingCaption);
    } else {
        m_controls.box->setLocked(true);
        m_controls.isp->setFacePicture(m_controls.lockedPicture);
        m_controls.check1->setChecked(false);
        m_controls.check1->setText(kLockedCaption);
    }
}

void EditMode::menuYes()
{
    m_controls.box->setLocked(false);
    m_controls.isp->setChecked(true);
    m_controls.check1->setChecked(true);
    m_controls.isp->setFacePicture(m_controls.editingPicture);
    m_controls.check1->setText(kEditingCaption);
}

void EditMode::menuNo()
{
    m_controls.box->setLocked(true);
    m_controls.isp->setChecked(false);
    m_controls.check1->setChecked(false);
    m_controls.isp->setFacePicture(m_controls.lockedPicture);
    m_controls.check1->setText(kLockedCaption);
}

} // namespace krambol::reg
