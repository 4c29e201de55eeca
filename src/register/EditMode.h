// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>

namespace krambol::textpane {
class RichTextBox;
} // namespace krambol::textpane

namespace krambol::widgets {
class PictureButton;
} // namespace krambol::widgets

namespace krambol::reg {

struct EditModeControls
{
    widgets::PictureButton* check1;  // picture-style check box "Исправить" / "Не исправлять"
    widgets::PictureButton* isp;     // the toolbar band's picture check box
    textpane::RichTextBox* box;
    QPixmap lockedPicture;            // Picture1: the A crossed out
    QPixmap editingPicture;           // Picture2: the plain A
};

// Edit mode is the lock of the register against the user, shown by Check1 and isp. Every switch brings
// all three into the same state, so the result does not depend on which control was used.
class EditMode
{
public:
    explicit EditMode(const EditModeControls& controls);

    void check1Clicked();  // Check1_Click
    void ispClicked();     // isp_Click
    void menuYes();        // ыв_Click: editing on
    void menuNo();         // аа_Click: editing off

private:
    // The one switch behind all four: the lock, both check states, the face and the caption.
    void setEditing(bool editing);

    EditModeControls m_controls;
};

} // namespace krambol::reg
