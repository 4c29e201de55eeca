#include "shell/Form1.h"

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
}

void Form1::вв_Click()
{
}

} // namespace krambol::shell
