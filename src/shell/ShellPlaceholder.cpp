namespace krambol::shell {}
