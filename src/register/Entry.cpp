// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/Entry.h"

#include "design/LeadingNumber.h"

namespace krambol::reg {

QString composeEntry(const EntryFields& fields, EntryShape shape, bool firstAccept)
{
    QString entry;
    if (!firstAccept)
        entry += fields.leadIn;
    entry += fields.name;
    entry += fields.separator;
    if (shape == EntryShape::Full) {
        entry += fields.date;
        entry += fields.separator;
    }
    entry += fields.disc;
    if (shape == EntryShape::Full)
        entry += fields.endMark;
    return entry;
}

bool isFirstAccept(const QString& flag)
{
    return design::leadingNumber(flag) != 2.0;
}

} // namespace krambol::reg
