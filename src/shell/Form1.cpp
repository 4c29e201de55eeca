// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Form1.h"

#include "cursors/ImageSlot.h"
#include "cursors/PointerPicture.h"
#include "design/Fonts.h"
#include "design/Twips.h"
#include "platform/Product.h"
#include "register/DateModes.h"
#include "register/EditMode.h"
#include "register/EntryAcceptance.h"
#include "register/Register.h"
#include "register/RegisterFiles.h"
#include "shell/ControlTable.h"
#include "textpane/RichTextBox.h"
#include "widgets/PictureButton.h"
#include "windows/ApplicationIcon.h"
#include "windows/Form3.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <vector>

namespace krambol::shell {

using design::twipsToPixels;

namespace {

const QString kMsSansSerif = QStringLiteral("MS Sans Serif");

QFont fieldFont()
{
    QFont font(kMsSansSerif, 18, QFont::Bold);
    return font;
}

QFont registerFont()
{
    return QFont(kMsSansSerif, 24, QFont::Normal);
}

QWidget* createControl(const ControlSpec& row, QWidget* parent)
{
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
    case ControlKind::Toolbar: {
        auto* toolbar = new QToolBar(parent);
        toolbar->setMovable(false);
        toolbar->setFloatable(false);
        return toolbar;
    }
    case ControlKind::StatusBar: {
        auto* bar = new QStatusBar(parent);
        bar->setSizeGripEnabled(false);
        return bar;
    }
    case ControlKind::Frame:
        return new QGroupBox(caption, parent);
    case ControlKind::TextBox:
        return new QLineEdit(caption, parent);
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    case ControlKind::PictureCheckBox:
    case ControlKind::PictureButton: {
        auto* button = new widgets::PictureButton(parent);
        button->setText(caption);
        button->setCheckable(row.kind == ControlKind::PictureCheckBox);
        return button;
    }
    case ControlKind::Button:
        return new QPushButton(caption, parent);
    case ControlKind::RichText:
        return new textpane::RichTextBox(parent);
    case ControlKind::Image:
        return new cursors::ImageSlot(parent);
    case ControlKind::PictureBox:
        return new QLabel(parent);
    }
    return nullptr;
}

template <typename T>
void bind(T*& member, const QHash<QString, QWidget*>& byName, const char* name)
{
    member = qobject_cast<T*>(byName.value(QString::fromLatin1(name)));
    Q_ASSERT_X(member, "Form1", name);
}

} // namespace

Form1::Form1(const platform::Services& services, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_register(std::make_unique<reg::Register>())
{
    design::installFontSubstitutions();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(platform::productName());
    // A fixed frame with a close button only; the application alone sets the window's size.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                   | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(windows::applicationIcon());

    buildControls();
    buildMenu();
    bindReactions();
    bindAccessibility();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    m_ui.Box->setFocus();
}

Form1::~Form1()
{
    // The pane lets go of the register's document before the register goes.
    m_ui.Box->setDocument(nullptr);
}

void Form1::buildControls()
{
    m_ui.client = new QWidget(this);
    m_ui.client->setObjectName(QStringLiteral("client"));
    m_ui.client->setFixedSize(twipsToPixels(kForm1ClientWidth), twipsToPixels(kForm1ClientHeight));
    // Controls without a font of their own use the classic dialog font, which their sizes were made for.
    m_ui.client->setFont(QFont(kMsSansSerif, 8));
    setCentralWidget(m_ui.client);

    const QCursor fieldPointer = cursors::toCursor(cursors::loadPointerPicture(QStringLiteral(":/form1/field.ico")).picture);
    QHash<QString, QWidget*> byName;
    std::vector<std::pair<int, QWidget*>> tabOrder;
    for (const ControlSpec& row : form1Controls()) {
        QWidget* container = row.container ? byName.value(QString::fromLatin1(row.container)) : m_ui.client;
        QWidget* control = createControl(row, container);
        const QString name = QString::fromUtf8(row.name);
        control->setObjectName(name);
        control->setGeometry(twipsToPixels(row.place));
        control->setVisible(!row.hidden);
        byName.insert(name, control);

        switch (row.kind) {
        case ControlKind::TextBox:
        case ControlKind::RichText:
            break;
        default:
            control->setCursor(Qt::ArrowCursor);
        }
        if (row.kind == ControlKind::Frame || row.kind == ControlKind::Image
            || row.kind == ControlKind::PictureBox || row.kind == ControlKind::Toolbar
            || row.kind == ControlKind::StatusBar)
            control->setFocusPolicy(Qt::NoFocus);
        else if (row.tab >= 0)
            tabOrder.emplace_back(row.tab, control);

        if (row.picture) {
            const QString path = QString::fromLatin1(row.picture);
            if (auto* button = qobject_cast<widgets::PictureButton*>(control))
                button->setFacePicture(QPixmap(path));
            else if (auto* slot = qobject_cast<cursors::ImageSlot*>(control))
                slot->setPicture(cursors::loadPointerPicture(path).picture);
            else if (auto* label = qobject_cast<QLabel*>(control))
                label->setPixmap(QPixmap(path));
        }
    }

    bind(m_ui.Toolbar1, byName, "Toolbar1");
    bind(m_ui.isp, byName, "isp");
    bind(m_ui.Frame1, byName, "Frame1");
    bind(m_ui.Text1, byName, "Text1");
    bind(m_ui.Frame2, byName, "Frame2");
    bind(m_ui.Text2, byName, "Text2");
    bind(m_ui.Frame5, byName, "Frame5");
    bind(m_ui.Check2, byName, "Check2");
    bind(m_ui.Check4, byName, "Check4");
    bind(m_ui.Text7, byName, "Text7");
    bind(m_ui.Command1, byName, "Command1");
    bind(m_ui.Frame3, byName, "Frame3");
    bind(m_ui.Check1, byName, "Check1");
    bind(m_ui.Command6, byName, "Command6");
    bind(m_ui.Command5, byName, "Command5");
    bind(m_ui.Command4, byName, "Command4");
    bind(m_ui.Command10, byName, "Command10");
    bind(m_ui.Command7, byName, "Command7");
    bind(m_ui.Command2, byName, "Command2");
    bind(m_ui.Command3, byName, "Command3");
    bind(m_ui.Check3, byName, "Check3");
    bind(m_ui.Command9, byName, "Command9");
    bind(m_ui.Frame4, byName, "Frame4");
    bind(m_ui.Text8, byName, "Text8");
    bind(m_ui.Box, byName, "Box");
    bind(m_ui.StatusBar1, byName, "StatusBar1");
    bind(m_ui.Frame6, byName, "Frame6");
    bind(m_ui.Image1, byName, "Image1");
    bind(m_ui.Image2, byName, "Image2");
    bind(m_ui.Image3, byName, "Image3");
    bind(m_ui.Image4, byName, "Image4");
    bind(m_ui.Image5, byName, "Image5");
    bind(m_ui.Image6, byName, "Image6");
    bind(m_ui.Image7, byName, "Image7");
    bind(m_ui.Image8, byName, "Image8");
    bind(m_ui.Image9, byName, "Image9");
    bind(m_ui.Command12, byName, "Command12");
    bind(m_ui.Command8, byName, "Command8");
    bind(m_ui.Command11, byName, "Command11");
    bind(m_ui.Check5, byName, "Check5");
    bind(m_ui.Check6, byName, "Check6");
    bind(m_ui.Text3, byName, "Text3");
    bind(m_ui.Text4, byName, "Text4");
    bind(m_ui.Text5, byName, "Text5");
    bind(m_ui.Text6, byName, "Text6");
    bind(m_ui.Picture1, byName, "Picture1");
    bind(m_ui.Picture2, byName, "Picture2");
    bind(m_ui.Picture3, byName, "Picture3");
    bind(m_ui.Picture4, byName, "Picture4");
    bind(m_ui.Picture5, byName, "Picture5");
    bind(m_ui.e, byName, "e");

    // The four visible fields: bold 18 point, text centred; they and the register pane show the
    // shared icon pointer.
    for (QLineEdit* field : {m_ui.Text1, m_ui.Text2, m_ui.Text7, m_ui.Text8}) {
        field->setFont(fieldFont());
        field->setAlignment(Qt::AlignCenter);
        field->setCursor(fieldPointer);
    }
    m_ui.Box->setPointer(fieldPointer);
    m_register->setFont(registerFont());
    m_ui.Box->setDocument(&m_register->document());
    // Deleting the whole register, and undoing that, exchange documents rather than write it out again.
    m_register->onDocumentReplaced([this](int caret) { m_ui.Box->setDocument(&m_register->document(), caret); });
    m_ui.Box->setWholeContent({[this] { return m_register->clearWhole(); }, [this] { return m_register->undoClear(); },
                               [this] { return m_register->redoClear(); }});
    m_ui.Box->setClipboard(&m_services.clipboard);
    m_ui.Box->setLocked(true);
    m_ui.isp->setToolTip(QStringLiteral("Исправить/Не исправлять"));
    // isp lies in the toolbar band and is drawn above the toolbar.
    m_ui.isp->raise();

    // Image8 shows its 64 x 64 icon stretched to its rectangle. The window's own pointer starts as the
    // picture of Image3.
    m_ui.Image8->setStretch(true);
    setPointerPicture(m_ui.Image3->picture());
    menuBar()->setCursor(Qt::ArrowCursor);

    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i - 1].second, tabOrder[i].second);

    m_ui.client->installEventFilter(this);
}

void Form1::bindReactions()
{
    m_acceptance = std::make_unique<reg::EntryAcceptance>(
        reg::EntryControls{m_ui.Text1, m_ui.Text2, m_ui.Text7, m_ui.Text3, m_ui.Text4, m_ui.Text5, m_ui.Text6,
                           m_ui.Box},
        *m_register, m_services.messages);
    m_dateModes = std::make_unique<reg::DateModes>(reg::DateControls{m_ui.Check2, m_ui.Check4, m_ui.Text7, m_ui.Text3},
                                                   m_services.clock);
    m_editMode = std::make_unique<reg::EditMode>(reg::EditModeControls{
        m_ui.Check1, m_ui.isp, m_ui.Box, m_ui.Picture1->pixmap(), m_ui.Picture2->pixmap()});

    // A check box's click reaction runs whenever its ticked state changes, by the user or from code;
    // setting the state it already has runs nothing.
    connect(m_ui.Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(m_ui.Check2, &QCheckBox::toggled, this, &Form1::Check2_Click);
    connect(m_ui.Check4, &QCheckBox::toggled, this, &Form1::Check4_Click);
    connect(m_ui.Check1, &QPushButton::toggled, this, &Form1::Check1_Click);
    connect(m_ui.isp, &QPushButton::toggled, this, &Form1::isp_Click);

    bindRegisterFiles();
    bindFormatting();
    bindSizes();
    bindCommandSurface();
    bindHover();
    bindStatusBar();
    bindCursors();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_ui.client && event->type() == QEvent::Resize)
        layoutDockedBars();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::Form_Load()
{
    // The splash window closes itself; nothing holds on to it.
    (new windows::Form3())->show();
}

void Form1::setPointerPicture(const cursors::PointerPicture& picture)
{
    m_ui.client->setCursor(cursors::toCursor(picture));
}

void Form1::layoutDockedBars()
{
    // The toolbar spans the client width at the top, the status bar at the bottom; nothing else moves.
    const QSize client = m_ui.client->size();
    m_ui.Toolbar1->setGeometry(0, 0, client.width(), m_ui.Toolbar1->height());
    const int barHeight = m_ui.StatusBar1->height();
    m_ui.StatusBar1->setGeometry(0, client.height() - barHeight, client.width(), barHeight);
}

void Form1::setOuterHeightTwips(int twips)
{
    m_ui.client->setFixedHeight(design::clientHeightForOuter(twips));
}

void Form1::setOuterWidthTwips(int twips)
{
    m_ui.client->setFixedWidth(design::clientWidthForOuter(twips));
}

int Form1::outerHeightTwips() const
{
    return design::pixelsToTwips(m_ui.client->height()) + design::kFrameHeightTwips;
}

int Form1::outerWidthTwips() const
{
    return design::pixelsToTwips(m_ui.client->width()) + design::kFrameWidthTwips;
}

} // namespace krambol::shell
