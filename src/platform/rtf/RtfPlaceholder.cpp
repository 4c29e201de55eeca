namespace krambol::rtf {}
