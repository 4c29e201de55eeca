namespace krambol::windows {}
