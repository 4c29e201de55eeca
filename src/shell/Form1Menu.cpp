// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include <QAction>
#include <QHash>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <array>

namespace krambol::shell {

namespace {

// One element of the menu bar. An element without a reaction opens a list of its own.
struct MenuSpec
{
    const char* name;
    const char* caption;
    const char* parent;       // nullptr: the menu bar
    const char* shortcut;     // portable key name, or nullptr
    bool checkedAtStart;      // shows a check mark at start
    void (Form1::*reaction)();
};

// The elements in the order they stand; a list's items follow it.
const auto kMenu = std::to_array<MenuSpec>({
    {"w",     "Файл",              nullptr, nullptr,   false, nullptr},
    {"ва",    "Режим исправлений", "w",     nullptr,   false, nullptr},
    {"ыв",    "Да",                "ва",    nullptr,   false, &Form1::ыв_Click},
    {"аа",    "Нет",               "ва",    nullptr,   false, &Form1::аа_Click},
    {"ав",    "Принять",           "w",     "Ctrl+A",  false, &Form1::ав_Click},
    // The first two letters of this caption are the Latin C and o.
    {"ыы",    "Coхранить",         "w",     "Ctrl+S",  false, &Form1::ыы_Click},
    {"в",     "Загрузить",         "w",     "Ctrl+L",  false, &Form1::в_Click},
    {"fv",    "Размер",            "w",     nullptr,   false, nullptr},
    {"ааа",   "Больше",            "fv",    nullptr,   false, &Form1::ааа_Click},
    {"всв",   "Меньше",            "fv",    nullptr,   false, &Form1::всв_Click},
    {"а",     "Выход",             "w",     "Ctrl+F4", false, &Form1::а_Click},
    {"ыввув", "Правка",            nullptr, nullptr,   false, nullptr},
    {"щщ",    "Вырезать",          "ыввув", nullptr,   false, &Form1::щщ_Click},
    {"мм",    "Копировать",        "ыввув", nullptr,   false, &Form1::мм_Click},
    {"амвпа", "Вставить",          "ыввув", nullptr,   false, &Form1::амвпа_Click},
    {"нг",    "Печать",            "ыввув", nullptr,   false, &Form1::нг_Click},
    {"пиап",  "Вид",               nullptr, nullptr,   false, nullptr},
    {"паиап", "Строка состояния",  "пиап",  nullptr,   true, &Form1::паиап_Click},
    {"тпп",   "Панель управления", "пиап",  nullptr,   true, &Form1::тпп_Click},
    {"перар", "Подсказки",         "пиап",  "F1",      false, &Form1::перар_Click},
    {"вв",    "О проекте",         nullptr, nullptr,   false, &Form1::вв_Click},
});

// Elements that open a list rather than run a reaction.
bool opensList(const MenuSpec& row)
{
    for (const MenuSpec& other : kMenu)
        if (other.parent && qstrcmp(other.parent, row.name) == 0)
            return true;
    return false;
}

} // namespace

void Form1::buildMenu()
{
    QHash<QString, QMenu*> lists;
    for (const MenuSpec& row : kMenu) {
        const QString name = QString::fromUtf8(row.name);
        const QString caption = QString::fromUtf8(row.caption);
        QMenu* parentList = row.parent ? lists.value(QString::fromUtf8(row.parent)) : nullptr;
        if (opensList(row)) {
            QMenu* list = parentList ? parentList->addMenu(caption) : menuBar()->addMenu(caption);
            list->setObjectName(name);
            list->menuAction()->setObjectName(name);
            lists.insert(name, list);
            continue;
        }
        QAction* action = parentList ? parentList->addAction(caption) : menuBar()->addAction(caption);
        action->setParent(this);
        action->setObjectName(name);
        if (row.shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(row.shortcut)));
        if (row.checkedAtStart) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        if (row.reaction) {
            // A menu choice runs the reaction; the check mark is the reaction's to set, not the click's.
            connect(action, &QAction::triggered, this, [this, reaction = row.reaction, action] {
                if (action->isCheckable())
                    action->setChecked(!action->isChecked());
                (this->*reaction)();
            });
        }
    }
}

} // namespace krambol::shell
