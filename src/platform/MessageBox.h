// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace krambol::platform {

enum class MessageIcon { Critical, Question, Warning, Information };
enum class MessageButtons { Ok, YesNoCancel };
// Closing a Yes/No/Cancel box without a choice answers Cancel.
enum class MessageAnswer { Ok, Yes, No, Cancel };

// Every message box of the application goes through this seam, so no test ever waits on a modal box.
class MessageBox
{
public:
    virtual ~MessageBox() = default;
    virtual MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                               MessageButtons buttons) = 0;
};

// Tells that an action on a file failed: "<what> «<path>».\n<reason>" in a critical box titled with
// the product's name, the path written the way the desktop writes it.
void showFileFailure(MessageBox& messages, const QString& what, const QString& path, const QString& reason);

// The real, modal message box.
class QtMessageBox final : public MessageBox
{
public:
    explicit QtMessageBox(QWidget* parent = nullptr);
    void setParent(QWidget* parent) { m_parent = parent; }
    MessageAnswer show(const QString& text, const QString& title, MessageIcon icon,
                       MessageButtons buttons) override;

private:
    QWidget* m_parent;
};

} // namespace krambol::platform
