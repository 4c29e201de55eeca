// SPDX-License-Identifier: GPL-3.0-or-later
#include "register/EntryAcceptance.h"

#include "platform/MessageBox.h"
#include "platform/Product.h"
#include "register/Register.h"
#include "textpane/RichTextBox.h"

#include <QLineEdit>

namespace krambol::reg {

namespace {
const QString kTitle = platform::productName();
}

EntryAcceptance::EntryAcceptance(const EntryControls& controls, Register& entries, platform::MessageBox& messages)
    : m_controls(controls)
    , m_register(entries)
    , m_messages(messages)
{
}

EntryFields EntryAcceptance::fields() const
{
    return EntryFields{m_controls.name->text(),      m_controls.disc->text(),   m_controls.date->text(),
                       m_controls.separator->text(), m_controls.leadIn->text(), m_controls.endMark->text()};
}

bool EntryAcceptance::accept(EntryShape shape)
{
    // Both checks run before either stops the accept, so with both fields empty the user sees both
    // messages, the name's first.
    const bool noName = m_controls.name->text().isEmpty();
    const bool noDisc = m_controls.disc->text().isEmpty();
    if (noName)
        m_messages.show(QStringLiteral("Введите имя"), kTitle, platform::MessageIcon::Critical,
                        platform::MessageButtons::Ok);
    if (noDisc)
        m_messages.show(QStringLiteral("Введите название диска"), kTitle, platform::MessageIcon::Critical,
                        platform::MessageButtons::Ok);
    if (noName || noDisc)
        return false;

    const bool first = isFirstAccept(m_controls.firstFlag->text());
    const QString entry = composeEntry(fields(), shape, first);
    if (first)
        m_register.setText(entry);
    else
        m_register.append(entry);
    m_controls.box->showStart();
    m_controls.firstFlag->setText(QString::fromUtf16(kFirstEntryFlagAfter));
    return true;
}

} // namespace krambol::reg
