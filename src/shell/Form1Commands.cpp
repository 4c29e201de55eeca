// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "design/Twips.h"
#include "shell/EventHook.h"
#include "textpane/RichTextBox.h"
#include "windows/Form2.h"
#include "windows/FrmTip.h"

#include <QAction>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QProxyStyle>
#include <QToolBar>
#include <QToolButton>

#include <array>
#include <functional>

namespace krambol::shell {

namespace {

// One position of the toolbar; a position without a key is a separator.
struct ToolSpec
{
    const char* key;
    const char* toolTip;
    const char* picture;  // key of the picture in the toolbar's image list
};

const auto kToolbar = std::to_array<ToolSpec>({
    {"q",     "Принять",    "pr"},
    {nullptr, nullptr,      nullptr},
    {"qq",    "Сохранить",  "save"},
    {"qqq",   "Открыть",    "open"},
    {nullptr, nullptr,      nullptr},
    {"cut",   "Вырезать",   "cut"},
    {"copy",  "Копировать", "copy"},
    {"past",  "Вставить",   "past"},
    {"print", "Печать",     "print"},
    // Five separators leave the gap in which the edit-mode switch isp sits.
    {nullptr, nullptr,      nullptr},
    {nullptr, nullptr,      nullptr},
    {nullptr, nullptr,      nullptr},
    {nullptr, nullptr,      nullptr},
    {nullptr, nullptr,      nullptr},
    {"end",   "Выход",      "end"},
});

constexpr QSize kToolButtonSize(23, 22);
constexpr int kToolPictureSide = 16;
constexpr int kSeparatorWidth = 8;
// The top of Box in the client area; Box's left edge is at 0. Neither ever changes.
constexpr int kBoxTopTwips = 4080;

// Lays the toolbar out tight from its left edge with separators of a fixed width, so that the five
// separators after "print" span the place of isp whatever the desktop style.
class ToolbarStyle final : public QProxyStyle
{
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_ToolBarSeparatorExtent:
            return kSeparatorWidth;
        case PM_ToolBarItemSpacing:
        case PM_ToolBarItemMargin:
        case PM_ToolBarFrameWidth:
            return 0;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }
};

// A picture of the image list: 16 x 16 pixels with silver as the transparent colour, and a 32 x 32
// rendering from the same bitmap for screens at twice the density. A missing picture gives an
// empty button face.
QImage toolFace(const QImage& source, int side)
{
    // Unsmoothed, so that the silver ground stays exactly silver and drops out whole.
    QImage image = source.scaled(side, side, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                       .convertToFormat(QImage::Format_ARGB32);
    const QRgb silver = qRgb(192, 192, 192);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qRgb(qRed(line[x]), qGreen(line[x]), qBlue(line[x])) == silver)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return image;
}

QIcon toolPicture(const char* key)
{
    const QImage source(QStringLiteral(":/form1/toolbar/%1.bmp").arg(QLatin1String(key)));
    if (source.isNull())
        return QIcon();
    QIcon icon(QPixmap::fromImage(toolFace(source, kToolPictureSide)));
    QPixmap twice = QPixmap::fromImage(toolFace(source, 2 * kToolPictureSide));
    twice.setDevicePixelRatio(2);
    icon.addPixmap(twice);
    return icon;
}

} // namespace

void Form1::bindCommandSurface()
{
    // Toolbar: fifteen positions; each button's key is its action's data.
    QToolBar* toolbar = m_ui.Toolbar1;
    auto* style = new ToolbarStyle;
    style->setParent(this);
    toolbar->setStyle(style);
    toolbar->setIconSize(QSize(kToolPictureSide, kToolPictureSide));
    toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (const ToolSpec& row : kToolbar) {
        if (!row.key) {
            // A widget's style does not pass to its children: the separator takes the width itself.
            toolbar->widgetForAction(toolbar->addSeparator())->setStyle(style);
            continue;
        }
        const QString key = QString::fromLatin1(row.key);
        QAction* action = toolbar->addAction(toolPicture(row.picture), QString());
        action->setObjectName(QStringLiteral("Toolbar1_") + key);
        action->setData(key);
        action->setToolTip(QString::fromUtf8(row.toolTip));
        QWidget* button = toolbar->widgetForAction(action);
        button->setObjectName(QStringLiteral("Toolbar1_") + key);
        button->setFixedSize(kToolButtonSize);
        button->setFocusPolicy(Qt::NoFocus);
    }
    connect(toolbar, &QToolBar::actionTriggered, this,
            [this](QAction* action) { Toolbar1_ButtonClick(action->data().toString()); });

    // Menu shortcuts everywhere inside the window, also in the register pane and the fields.
    QList<QKeySequence> shortcuts;
    for (const QAction* action : findChildren<QAction*>())
        if (!action->shortcut().isEmpty())
            shortcuts.append(action->shortcut());
    // The editors take some of the menu's keys for themselves (Ctrl+A selects all in a text field);
    // an override of a menu key is not accepted, so the key goes on to the menu's shortcut.
    auto* shortcutsFirst = new EventHook(this, {QEvent::ShortcutOverride}, [shortcuts](QObject*, QEvent* event) {
        if (!shortcuts.contains(QKeySequence(static_cast<QKeyEvent*>(event)->keyCombination())))
            return false;
        event->ignore();
        return true;
    });
    shortcutsFirst->watch(m_ui.Box);
    for (QLineEdit* field : m_ui.client->findChildren<QLineEdit*>())
        shortcutsFirst->watch(field);

    // The register pane's context menu is the "Правка" list, popped by Box_MouseDown only.
    m_ui.Box->setContextMenuPolicy(Qt::PreventContextMenu);
    m_ui.Box->viewport()->setContextMenuPolicy(Qt::PreventContextMenu);
    // The keyboard's way to it: the Menu key or Shift+F10.
    (new EventHook(this, {QEvent::KeyPress}, [this](QObject*, QEvent* event) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool menuKey = key->key() == Qt::Key_Menu && key->modifiers() == Qt::NoModifier;
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (!menuKey && !shiftF10)
            return false;
        // The list's corner goes below the caret, in client coordinates.
        const QPoint caret = m_ui.Box->cursorRect().bottomLeft();
        const QPoint corner = m_ui.Box->viewport()->mapTo(m_ui.client, caret);
        findChild<QMenu*>(QStringLiteral("ыввув"))->exec(m_ui.client->mapToGlobal(corner));
        return true;
    }))->watch(m_ui.Box);
    connect(m_ui.Box, &textpane::RichTextBox::mouseDown, this,
            [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint position) {
                Box_MouseDown(button, modifiers, design::pixelsToTwips(position.x()),
                              design::pixelsToTwips(position.y()));
            });
}

void Form1::ав_Click()
{
    Command1_Click();
}

void Form1::а_Click()
{
    Command4_Click();
}

void Form1::Toolbar1_ButtonClick(const QString& key)
{
    // A failure of the procedure run here ends it quietly; nothing leaves the dispatcher.
    try {
        if (key == QLatin1String("q"))
            AcceptEntryFromToolbar();
        else if (key == QLatin1String("qq"))
            SaveRegisterFromToolbar();
        else if (key == QLatin1String("qqq"))
            OpenRegisterFromToolbar();
        else if (key == QLatin1String("cut"))
            щщ_Click();
        else if (key == QLatin1String("copy"))
            мм_Click();
        else if (key == QLatin1String("past"))
            амвпа_Click();
        else if (key == QLatin1String("print"))
            нг_Click();
        else if (key == QLatin1String("end"))
            а_Click();
    } catch (...) {
    }
}

void Form1::Box_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    Q_UNUSED(shift);
    if (button != Qt::RightButton)
        return;
    // The list's corner goes to the pointer, given in client coordinates; returns once it closes.
    auto* list = findChild<QMenu*>(QStringLiteral("ыввув"));
    const QPoint corner(design::twipsToPixels(x), design::twipsToPixels(y + kBoxTopTwips));
    list->exec(m_ui.client->mapToGlobal(corner));
}

void Form1::перар_Click()
{
    // Each use opens one more window; nothing holds on to it.
    (new windows::FrmTip(m_services.clipboard))->show();
}

void Form1::вв_Click()
{
    (new windows::Form2())->show();
}

} // namespace krambol::shell
