// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "register/DateModes.h"
#include "register/EditMode.h"
#include "register/EntryAcceptance.h"

namespace krambol::shell {

void Form1::Command1_Click()
{
    m_acceptance->accept(reg::EntryShape::Full);
}

void Form1::AcceptEntryFromToolbar()
{
    m_acceptance->accept(reg::EntryShape::Short);
}

void Form1::Check2_Click()
{
    m_dateModes->todayClicked();
}

void Form1::Check4_Click()
{
    m_dateModes->typedClicked();
}

void Form1::Check1_Click()
{
    m_editMode->check1Clicked();
}

void Form1::isp_Click()
{
    m_editMode->ispClicked();
}

void Form1::ыв_Click()
{
    m_editMode->menuYes();
}

void Form1::аа_Click()
{
    m_editMode->menuNo();
}

} // namespace krambol::shell
