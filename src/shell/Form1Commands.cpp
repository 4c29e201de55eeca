#include "shell/Form1.h"

#include "windows/Form2.h"
#include "windows/FrmTip.h"

namespace krambol::shell {

void Form1::bindCommandSurface()
{
}

void Form1::ав_Click()
{
    Command1_Click();
}

void Form1::а_Click()
{
    Command4_Click();
}

void Form1::Toolbar1_ButtonClick(const QString& key)
{
    Q_UNUSED(key);
}

void Form1::Box_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    Q_UNUSED(button);
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
}

void Form1::перар_Click()
{
    // Each use opens one more window; nothing holds on to it.
    (new windows::FrmTip())->show();
}

void Form1::вв_Click()
{
    (new windows::Form2())->show();
}

} // namespace krambol::shell
