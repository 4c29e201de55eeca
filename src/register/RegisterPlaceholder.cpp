namespace krambol::reg {}
