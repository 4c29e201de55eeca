// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "cursors/ImageSlot.h"
#include "shell/EventHook.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QGroupBox>
#include <QToolBar>

#include <array>

namespace krambol::shell {

namespace {

// What a screen reader says for a control: its caption where it has one of its own, the frame it
// sits in for the unlabelled fields, what it shows for the pictures. UTF-8.
struct AccessibleText
{
    const char* name;         // design name of the control
    const char* accessible;   // accessible name, or nullptr: the current caption, read when asked
    const char* description;  // accessible description, or nullptr
};

const auto kAccessibleTexts = std::to_array<AccessibleText>({
    {"Toolbar1",   "Панель инструментов", nullptr},
    {"isp",        "Исправить/Не исправлять", nullptr},  // described by its picture, below
    {"Text1",      "Имя",               "Имя должника"},
    {"Text2",      "Диск",              "Название диска"},
    {"Check2",     nullptr,             "Ставить в запись сегодняшнюю дату"},
    {"Check4",     nullptr,             "Ставить в запись дату из поля ниже"},
    {"Text7",      "Дата",              "Дата для записи, если отмечено «Ввод»"},
    {"Command1",   nullptr,             "Добавить запись в список должников"},
    {"Check1",     nullptr,             "Разрешает или запрещает исправлять список вручную"},
    {"Command6",   nullptr,             "Открыть список из файла"},
    // The caption begins with a Latin C, which a speech synthesizer would spell out.
    {"Command5",   "Сохранить",         "Сохранить список в файл"},
    {"Command4",   nullptr,             nullptr},
    {"Command10",  nullptr,             "Показать набор указателей"},
    {"Command11",  nullptr,             "Скрыть набор указателей"},
    {"Command7",   nullptr,             "Увеличить окно"},
    {"Command8",   nullptr,             "Уменьшить окно"},
    {"Command2",   nullptr,             nullptr},
    {"Command3",   nullptr,             nullptr},
    {"Check3",     nullptr,             nullptr},
    {"Command9",   nullptr,             "Выбрать цвет фона списка"},
    {"Text8",      "Размер шрифта",     "Размер шрифта всего списка в пунктах"},
    {"Box",        "Список должников",  "Кто, какой диск и когда взял"},
    {"StatusBar1", "Строка состояния",  nullptr},
    {"Frame6",     "Указатели",         "Щёлкните картинку, чтобы сделать её указателем мыши"},
    {"Image1",     "Диск",              "Указатель: диск"},
    {"Image2",     "Золотой диск",      "Указатель: золотой диск"},
    {"Image3",     "Белая стрелка",     "Указатель: белая стрелка"},
    {"Image4",     "Диск в коробке",    "Указатель: диск в коробке"},
    {"Image5",     "Рука",              "Указатель: рука"},
    {"Image6",     "Загруженный значок", "Указатель: значок, загруженный из файла"},
    {"Image7",     "Синяя стрелка",     "Указатель: синяя стрелка"},
    {"Image8",     "Три диска",         "Указатель: три диска"},
    {"Image9",     "Должник с диском",  "Указатель: должник с диском"},
    {"Command12",  nullptr,             "Загрузить значок или указатель из файла"},
});

} // namespace

void Form1::bindAccessibility()
{
    for (const AccessibleText& text : kAccessibleTexts) {
        auto* control = findChild<QWidget*>(QString::fromUtf8(text.name));
        Q_ASSERT_X(control, "Form1::bindAccessibility", text.name);
        if (text.accessible)
            control->setAccessibleName(QString::fromUtf8(text.accessible));
        if (text.description)
            control->setAccessibleDescription(QString::fromUtf8(text.description));
    }
    // The frames name the fields they hold; their own names are their captions.
    for (QGroupBox* frame : m_ui.client->findChildren<QGroupBox*>())
        if (frame->accessibleName().isEmpty())
            frame->setAccessibleName(frame->title());
    // The toolbar's picture buttons are named by their tool tips.
    for (QAction* action : m_ui.Toolbar1->actions()) {
        QWidget* button = m_ui.Toolbar1->widgetForAction(action);
        if (button && !action->isSeparator())
            button->setAccessibleName(action->toolTip());
    }
    // The cursor images follow "Курсор >>" in the tab order, before "<< Курсор".
    const QList<cursors::ImageSlot*> images{m_ui.Image1, m_ui.Image2, m_ui.Image3, m_ui.Image4, m_ui.Image5,
                                            m_ui.Image6, m_ui.Image7, m_ui.Image8, m_ui.Image9};
    QWidget* previous = m_ui.Command10;
    for (cursors::ImageSlot* image : images) {
        // Qt orders only controls that take the focus; the panel watcher below sets the real policy.
        image->setFocusPolicy(Qt::StrongFocus);
        setTabOrder(previous, image);
        previous = image;
    }
    setTabOrder(previous, m_ui.Command11);
    // The images take the keyboard focus only while the panel is in view, so Tab never lands on a
    // control the user cannot see.
    const auto followPanel = [client = m_ui.client, panel = m_ui.Frame6, images] {
        const bool inView = panel->geometry().right() < client->width();
        for (cursors::ImageSlot* image : images)
            image->setFocusPolicy(inView ? Qt::StrongFocus : Qt::NoFocus);
    };
    (new EventHook(m_ui.client, {QEvent::Resize}, [followPanel](QObject*, QEvent*) {
        followPanel();
        return false;
    }))->watch(m_ui.client);
    followPanel();

    // isp has no caption: its picture tells whether the register may be edited, and so does its
    // description. Its ticked state, which goes with the picture, is told by the toolkit.
    const auto describeIsp = [isp = m_ui.isp](bool editing) {
        isp->setAccessibleDescription(
            editing ? QStringLiteral("Буква А: список можно исправлять")
                    : QStringLiteral("Перечёркнутая буква А: список закрыт для исправлений"));
    };
    describeIsp(m_ui.isp->isChecked());
    connect(m_ui.isp, &QAbstractButton::toggled, this, describeIsp);
}

} // namespace krambol::shell
