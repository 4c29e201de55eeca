#include "shell/Form1.h"

namespace krambol::shell {

void Form1::bindRegisterFiles()
{
}

void Form1::Command5_Click()
{
}

void Form1::Command6_Click()
{
}

void Form1::Command4_Click()
{
}

void Form1::SaveRegisterFromToolbar()
{
}

void Form1::OpenRegisterFromToolbar()
{
}

void Form1::ыы_Click()
{
}

void Form1::в_Click()
{
}

} // namespace krambol::shell
