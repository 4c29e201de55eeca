// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FrmTip.h"

#include "design/LeadingNumber.h"
#include "design/Twips.h"
#include "textpane/RichTextBox.h"
#include "windows/LabelDesign.h"
#include "windows/PictureBox.h"
#include "windows/Pictures.h"
#include "windows/ScreenPlacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <array>
#include <cmath>

namespace krambol::windows {

namespace {

// The client area of the tips window, in twips.
constexpr int kClientWidth = 5520;
constexpr int kClientHeight = 2835;

// The window's own controls: place and size in twips from the client area's top-left corner, and
// the position in the focus order. Text1 lies wholly to the right of the client area.
struct ControlDesign
{
    const char* objectName;
    design::TwipsRect place;
    int tab;
};

constexpr ControlDesign kControls[] = {
    {"Picture1", {0, 0, 3615, 555}, 1},
    {"lblTipText", {0, 600, 3615, 2175}, 3},
    {"cmdOK", {3960, 120, 1215, 375}, 0},
    {"cmdNextTip", {3960, 600, 1215, 375}, 2},
    {"Text1", {5640, 1920, 375, 285}, 5},
};

// The heading label inside Picture1.
constexpr LabelDesign kHeading = {"Label1", u"А вы знаите что?", {480, 0, 3135, 495}, 13.5};

constexpr QStringView kTips[FrmTip::kTipCount] = {
    u"С помощью Крамбол вы навсягда забудите термин *потерянный диск*. У Вас будет католог дисков, "
    u"которые Вы дали на время. Можно также фиксировать дату, когда отдали диск.",
    u"Чтобы не вводить дату с клавиатуры можно щелкнуть на флажке СЕГОДНЯ.",
    u"Крамбол сохраняет файлы в своём собственном расширинии (*krm).",
    u"Расширение (*krm) можно открыть с помощью Word.",
    u"Можно изменять размер шрифта, жирность, курсив, подчёркнутый.",
    u"Можно менять цвет фона текстового поля, только цвет не сохраняется.",
    u"С помощью коллекции курсоров вы можите выбрать полюбившийся вам курсор.",
};

// The counter's decimal text. It must read back as the same value, so that a counter outside the
// cycle never drifts back into it: whole numbers are written plainly, anything else in the
// shortest form that reads back exactly, and an overflowed counter as a number too large to hold.
QString counterText(double value)
{
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("1E+309") : QStringLiteral("-1E+309");
    if (value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qlonglong>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest).toUpper();
}

} // namespace

FrmTip::FrmTip(QWidget* parent)
    : FrmTip(nullptr, parent)
{
}

FrmTip::FrmTip(platform::Clipboard& clipboard, QWidget* parent)
    : FrmTip(&clipboard, parent)
{
}

FrmTip::FrmTip(platform::Clipboard* clipboard, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmTip"));
    setWindowTitle(QStringLiteral("Подсказки"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(design::twipsToPixels(kClientWidth), design::twipsToPixels(kClientHeight));

    m_Picture1 = new PictureBox(this);
    m_Picture1->setObjectName(QStringLiteral("Picture1"));
    m_Picture1->setBackgroundColor(Qt::white);
    m_Picture1->setPicture(QPixmap(QString::fromLatin1(kTipIconPath)));
    m_Label1 = createLabel(m_Picture1, kHeading);

    m_lblTipText = new textpane::RichTextBox(this);
    m_lblTipText->setObjectName(QStringLiteral("lblTipText"));
    // Tab leaves the tip text for the next control instead of being typed into it.
    m_lblTipText->setTabChangesFocus(true);
    m_lblTipText->setClipboard(clipboard);

    m_cmdOK = new QPushButton(QStringLiteral("OK"), this);
    m_cmdOK->setObjectName(QStringLiteral("cmdOK"));
    m_cmdOK->setDefault(true);
    m_cmdNextTip = new QPushButton(QStringLiteral("Следующее"), this);
    m_cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    m_Text1 = new QLineEdit(QStringLiteral("Text1"), this);
    m_Text1->setObjectName(QStringLiteral("Text1"));
    // Names a screen reader gives the controls that carry no caption of their own.
    m_Picture1->setAccessibleName(m_Label1->text());
    m_lblTipText->setAccessibleName(QStringLiteral("Подсказка"));
    m_Text1->setAccessibleName(QStringLiteral("Номер подсказки"));
    m_Text1->setAccessibleDescription(QStringLiteral("Номер подсказки, которую покажет «Следующее»"));

    auto control = [this](const ControlDesign& design) {
        return findChild<QWidget*>(QLatin1String(design.objectName), Qt::FindDirectChildrenOnly);
    };
    for (const ControlDesign& design : kControls)
        control(design)->setGeometry(design::twipsToPixels(design.place));
    auto byTab = std::to_array(kControls);
    std::sort(byTab.begin(), byTab.end(), [](const ControlDesign& a, const ControlDesign& b) { return a.tab < b.tab; });
    for (std::size_t i = 1; i < byTab.size(); ++i)
        setTabOrder(control(byTab[i - 1]), control(byTab[i]));

    connect(m_cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(m_cmdNextTip, &QPushButton::clicked, this, [this] { cmdNextTip_Click(); });

    // Enter and Esc act as on a dialog wherever the focus is, also in the text controls that would
    // otherwise take the keys themselves.
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children)
        child->installEventFilter(this);

    m_cmdOK->setFocus();
    centreOnPrimaryScreen(this);
    Form_Load();
}

QString FrmTip::tip(int index)
{
    Q_ASSERT(index >= 0 && index < kTipCount);
    return kTips[index].toString();
}

void FrmTip::Form_Load()
{
    if (design::leadingNumber(m_Text1->text()) == kTipCount)
        m_Text1->setText(QStringLiteral("0"));
    m_currentTip = design::leadingNumber(m_Text1->text());
    // Only a whole index of the cycle selects a tip; any other counter leaves the shown tip alone.
    if (m_currentTip >= 0 && m_currentTip < kTipCount && m_currentTip == std::trunc(m_currentTip))
        m_lblTipText->setText(tip(static_cast<int>(m_currentTip)));
}

void FrmTip::cmdNextTip_Click()
{
    m_Text1->setText(counterText(design::leadingNumber(m_Text1->text()) + 1));
    Form_Load();
}

void FrmTip::cmdOK_Click()
{
    close();
}

bool FrmTip::pressDialogButton(QWidget* focused, const QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        m_cmdOK->click();
        return true;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A focused button takes Enter itself; anywhere else Enter presses the default button.
        QPushButton* button = focused == m_cmdNextTip ? m_cmdNextTip : m_cmdOK;
        button->click();
        return true;
    }
    return false;
}

bool FrmTip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()
        && pressDialogButton(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

void FrmTip::keyPressEvent(QKeyEvent* event)
{
    if (!pressDialogButton(this, event))
        QWidget::keyPressEvent(event);
}

} // namespace krambol::windows
