#include "shell/Form1.h"

namespace krambol::shell {

void Form1::bindFormatting()
{
}

void Form1::Command2_Click()
{
}

void Form1::Command3_Click()
{
}

void Form1::Check3_Click()
{
}

void Form1::Text8_Change()
{
}

void Form1::Command9_Click()
{
}

} // namespace krambol::shell
