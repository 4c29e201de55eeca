// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "platform/CommonDialog.h"
#include "register/Register.h"
#include "shell/FontSize.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QLineEdit>

namespace krambol::shell {

void Form1::bindFormatting()
{
    connect(m_ui.Command2, &QPushButton::toggled, this, &Form1::Command2_Click);
    connect(m_ui.Command3, &QPushButton::toggled, this, &Form1::Command3_Click);
    connect(m_ui.Check3, &QPushButton::toggled, this, &Form1::Check3_Click);
    connect(m_ui.Text8, &QLineEdit::textChanged, this, &Form1::Text8_Change);
    connect(m_ui.Command9, &QPushButton::clicked, this, &Form1::Command9_Click);
}

void Form1::Command2_Click()
{
    m_register->setBold(m_ui.Command2->isChecked());
}

void Form1::Command3_Click()
{
    m_register->setItalic(m_ui.Command3->isChecked());
}

void Form1::Check3_Click()
{
    m_register->setUnderline(m_ui.Check3->isChecked());
}

void Form1::Text8_Change()
{
    const FontSizeReading size = readFontSize(m_ui.Text8->text());
    if (size.restoreField)
        m_ui.Text8->setText(QStringLiteral("24"));  // runs this reaction once more, which applies 24
    m_register->setPointSize(size.points);
}

void Form1::Command9_Click()
{
    // A cancelled dialog reports the current colour, so Cancel changes nothing.
    const QColor colour = m_services.dialog.showColor({QStringLiteral("Фон"), m_ui.Box->backgroundColor()});
    m_ui.Box->setBackgroundColor(colour);
}

} // namespace krambol::shell
