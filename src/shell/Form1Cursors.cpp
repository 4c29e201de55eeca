#include "shell/Form1.h"

namespace krambol::shell {

void Form1::bindCursors()
{
}

void Form1::Command10_Click()
{
}

void Form1::Command11_Click()
{
}

void Form1::Image1_Click()
{
}

void Form1::Image2_Click()
{
}

void Form1::Image3_Click()
{
}

void Form1::Image4_Click()
{
}

void Form1::Image5_Click()
{
}

void Form1::Image6_Click()
{
}

void Form1::Image7_Click()
{
}

void Form1::Image8_Click()
{
}

void Form1::Image9_Click()
{
}

void Form1::Command12_Click()
{
}

} // namespace krambol::shell
