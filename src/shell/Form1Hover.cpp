// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "design/Twips.h"
#include "shell/EventHook.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolBar>

#include <initializer_list>
#include <memory>
#include <vector>

namespace krambol::shell {

namespace {

using MouseReaction = void (Form1::*)(Qt::MouseButtons, Qt::KeyboardModifiers, int, int);

// Which reactions a control runs for its mouse events; null: the control has none for that event.
struct MouseBinding
{
    QWidget* control;
    MouseReaction move;
    MouseReaction down;
    MouseReaction up;
};

// Hands a mouse event of a bound control or of the bare client surface to the window's reactions.
// Every move counts, whatever button is held, so the controls track the mouse.
void routeMouse(Form1* form, const QWidget* surface, const std::vector<MouseBinding>& bindings, QObject* watched,
                QEvent* event)
{
    const QEvent::Type type = event->type();
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint pixels = mouse->position().toPoint();
    const int x = design::pixelsToTwips(pixels.x());
    const int y = design::pixelsToTwips(pixels.y());
    // A press reports the button that went down, a move the buttons held.
    const Qt::MouseButtons buttons = type == QEvent::MouseMove ? mouse->buttons() : Qt::MouseButtons(mouse->button());

    if (watched == surface) {
        // Moves that a control passes on to its container are not moves over the bare surface.
        if (type == QEvent::MouseMove && !surface->childAt(pixels))
            form->Form_MouseMove(buttons, mouse->modifiers(), x, y);
        return;
    }
    for (const MouseBinding& binding : bindings) {
        if (binding.control != watched)
            continue;
        MouseReaction reaction = type == QEvent::MouseMove ? binding.move
                                 : type == QEvent::MouseButtonRelease ? binding.up
                                                                      : binding.down;
        if (reaction)
            (form->*reaction)(buttons, mouse->modifiers(), x, y);
        return;
    }
}

void showLook(widgets::PictureButton* target, const QLabel* holder)
{
    target->setFacePicture(holder->pixmap());
}

} // namespace

void Form1::bindHover()
{
    const Form1Controls& u = m_ui;
    auto bindings = std::make_shared<std::vector<MouseBinding>>();
    auto* reactions = new EventHook(
        this, {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease},
        [this, surface = u.client, bindings](QObject* watched, QEvent* event) {
            routeMouse(this, surface, *bindings, watched, event);
            return false;
        });
    const auto bind = [reactions, bindings](const MouseBinding& binding) {
        binding.control->setMouseTracking(true);
        reactions->watch(binding.control);
        bindings->push_back(binding);
    };
    u.client->setMouseTracking(true);
    reactions->watch(u.client);
    for (const MouseBinding& binding : std::initializer_list<MouseBinding>{
        {u.Check1,    &Form1::Check1_MouseMove,    &Form1::Check1_MouseDown,    nullptr},
        {u.Command1,  &Form1::Command1_MouseMove,  &Form1::Command1_MouseDown,  nullptr},
        {u.Command4,  &Form1::Command4_MouseMove,  &Form1::Command4_MouseDown,  &Form1::Command4_MouseUp},
        {u.Command5,  &Form1::Command5_MouseMove,  &Form1::Command5_MouseDown,  nullptr},
        {u.Command6,  &Form1::Command6_MouseMove,  &Form1::Command6_MouseDown,  nullptr},
        {u.Command7,  &Form1::Command7_MouseMove,  &Form1::Command7_MouseDown,  nullptr},
        {u.Command8,  &Form1::Command8_MouseMove,  &Form1::Command8_MouseDown,  nullptr},
        {u.Command10, &Form1::Command10_MouseMove, &Form1::Command10_MouseDown, nullptr},
        {u.Command11, &Form1::Command11_MouseMove, &Form1::Command11_MouseDown, nullptr},
        {u.Command2,  &Form1::Command2_MouseMove,  nullptr, nullptr},
        {u.Command3,  &Form1::Command3_MouseMove,  nullptr, nullptr},
        {u.Check3,    &Form1::Check3_MouseMove,    nullptr, nullptr},
        {u.Check2,    &Form1::Check2_MouseMove,    nullptr, nullptr},
        {u.Check4,    &Form1::Check4_MouseMove,    nullptr, nullptr},
        {u.Text1,     &Form1::Text1_MouseMove,     nullptr, nullptr},
        {u.Text2,     &Form1::Text2_MouseMove,     nullptr, nullptr},
        {u.Text8,     &Form1::Text8_MouseMove,     nullptr, nullptr},
        {u.Toolbar1,  &Form1::Toolbar1_MouseMove,  nullptr, nullptr},
    })
        bind(binding);
    // The toolbar's buttons and separators belong to the toolbar: a move over any of them is a move
    // over the toolbar, reported once.
    for (QWidget* part : u.Toolbar1->findChildren<QWidget*>()) {
        part->setAttribute(Qt::WA_NoMousePropagation);
        bind({part, &Form1::Toolbar1_MouseMove, nullptr, nullptr});
    }
    connect(u.Box, &textpane::RichTextBox::mouseMoved, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint position) {
                Box_MouseMove(buttons, modifiers, design::pixelsToTwips(position.x()),
                              design::pixelsToTwips(position.y()));
            });
}

// Hover on a feedback target: the hover look first, then the hint.

void Form1::Check1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Check1, m_ui.Picture3);
    setHint(QStringLiteral("Исправить текст"));
}

void Form1::Command1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command1, m_ui.Picture3);
    setHint(QStringLiteral("Принять набраный текст"));
}

void Form1::Command4_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command4, m_ui.Picture3);
    setHint(QStringLiteral("Если надоело"));
}

void Form1::Command5_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command5, m_ui.Picture3);
    setHint(QStringLiteral("Сохранить ваших должников"));
}

void Form1::Command6_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command6, m_ui.Picture3);
    setHint(QStringLiteral("Открыть ваших должников"));
}

void Form1::Command7_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command7, m_ui.Picture3);
    setHint(QStringLiteral("Увеличить размер окна"));
}

void Form1::Command8_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command8, m_ui.Picture3);
    setHint(QStringLiteral("Уменьшить размер окна"));
}

void Form1::Command10_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command10, m_ui.Picture3);
    setHint(QStringLiteral("Коллекция курсоров"));
}

void Form1::Command11_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    // Lit without a hint: the panel keeps what the last control wrote.
    showLook(m_ui.Command11, m_ui.Picture3);
}

// Press on a feedback target, with any button: the pressed look (red for the exit button).

void Form1::Check1_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Check1, m_ui.Picture5);
}

void Form1::Command1_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command1, m_ui.Picture5);
}

void Form1::Command4_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command4, m_ui.Picture4);
}

void Form1::Command5_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command5, m_ui.Picture5);
}

void Form1::Command6_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command6, m_ui.Picture5);
}

void Form1::Command7_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command7, m_ui.Picture5);
}

void Form1::Command8_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command8, m_ui.Picture5);
}

void Form1::Command10_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command10, m_ui.Picture5);
}

void Form1::Command11_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command11, m_ui.Picture5);
}

// Only the exit button drops its pressed look on release; the others keep it until the next move.
void Form1::Command4_MouseUp(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    showLook(m_ui.Command4, m_ui.e);
}

// Hint-only controls.

void Form1::Command2_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Текст жирный"));
}

void Form1::Command3_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Текст курсивом"));
}

void Form1::Check3_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Текст подчёркнутый"));
}

void Form1::Check2_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Вставить сегоднешнею дату"));
}

void Form1::Check4_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Вставить набранную с клавиатуры дату"));
}

void Form1::Text1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Имя должника"));
}

void Form1::Text2_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Диск который у вас взяли"));
}

void Form1::Text8_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QString());
}

void Form1::Box_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Текстовое поле"));
}

void Form1::Toolbar1_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    setHint(QStringLiteral("Панель инструментов"));
}

// The bare surface: every target back to the plain look, hidden ones too, then the general hint.
void Form1::Form_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    for (widgets::PictureButton* target : {m_ui.Check1, m_ui.Command7, m_ui.Command8, m_ui.Command1, m_ui.Command5,
                                            m_ui.Command6, m_ui.Command4, m_ui.Command10, m_ui.Command11})
        showLook(target, m_ui.e);
    setHint(QStringLiteral("Для помощи F1"));
}

} // namespace krambol::shell
