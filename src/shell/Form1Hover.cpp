#include "shell/Form1.h"

namespace krambol::shell {

void Form1::bindHover()
{
}

} // namespace krambol::shell
