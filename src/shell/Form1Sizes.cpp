#include "shell/Form1.h"

namespace krambol::shell {

void Form1::bindSizes()
{
}

void Form1::Command7_Click()
{
}

void Form1::Command8_Click()
{
}

void Form1::ааа_Click()
{
}

void Form1::всв_Click()
{
}

void Form1::паиап_Click()
{
}

void Form1::тпп_Click()
{
}

} // namespace krambol::shell
