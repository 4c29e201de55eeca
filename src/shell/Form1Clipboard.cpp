#include "shell/Form1.h"

namespace krambol::shell {

void Form1::щщ_Click()
{
}

void Form1::мм_Click()
{
}

void Form1::амвпа_Click()
{
}

void Form1::нг_Click()
{
}

} // namespace krambol::shell
