// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/EditMode.h"

#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

namespace krambol::reg {

namespace {
const QString kEditingCaption = QStringLiteral("Не исправлять");
const QString kLockedCaption = QStringLiteral("Исправлять");
} // namespace

EditMode::EditMode(const EditModeControls& controls)
    : m_controls(controls)
{
}

void EditMode::check1Clicked() { setEditing(m_controls.check1->isChecked()); }
void EditMode::ispClicked() { setEditing(m_controls.isp->isChecked()); }
void EditMode::menuYes() { setEditing(true); }
void EditMode::menuNo() { setEditing(false); }

void EditMode::setEditing(bool editing)
{
    m_controls.box->setLocked(!editing);
    m_controls.isp->setChecked(editing);
    m_controls.check1->setChecked(editing);
    m_controls.isp->setFacePicture(editing ? m_controls.editingPicture : m_controls.lockedPicture);
    m_controls.check1->setText(editing ? kEditingCaption : kLockedCaption);
}

} // namespace krambol::reg
