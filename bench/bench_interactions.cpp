// SPDX-License-Identifier: GPL-3.0-or-later
// Every interaction a user has with the register, timed through the real main window until the pane has
// repainted, each beside a bare QTextEdit doing the same work on the same text in the same run:
//   - three shapes of register: plain (one paragraph, as accepts build it), paragraphs (one entry a
//     paragraph, as a hand-edited register or a word processor's file) and formatted (one paragraph of two
//     runs an entry in a few fonts, sizes and colours); the last two are opened as register files;
//   - the caret keys, typing and Backspace at the end and in the middle, the style buttons, the font size
//     field, the background colour, a change of the pane's width, scroll-bar drags, select all, copy, cut,
//     Delete, undo, save, accept, open, drags right after an open, a paste of a million characters and
//     printing to PDF;
//   - the peak memory of the whole session (open, style, edit, save, undo) against the file's size.
//
// Each side of each shape and size runs in a child process of this program, so that a row of the bare
// editor that takes minutes is stopped after a time cap ("> 20 s") and its memory figure is its own. A
// child that is stopped is started again from the next group of rows.
//
//   bench_interactions [--quick] [--sizes 1000,10000,100000] [--shapes plain,paragraphs,formatted]
//                      [--rows FILTER,...] [--rounds N] [--cap SECONDS] [--ours-cap SECONDS] [--no-bare]
//                      [--no-verdict-exit]
//
// A row's verdict: at most 16 ms at 10 000 entries and 50 ms at 100 000, and never slower than the bare
// editor wherever that needs more than 1 ms. Memory: the rise of the peak resident set over the session is
// at most 10 × the file's size (judged from 10 000 entries on: below that the fixed costs of laying out and
// painting outweigh a file of a few hundred kilobytes). The exit code is 1 when any row fails.
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise and DISPLAY is set.
#include "BenchSupport.h"
#include "ProcessMemory.h"
#include "rtf/Writer.h"
#include "shell/Form1.h"
#include "support/ScriptedServices.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QSaveFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

using krambol::shell::Form1;
using krambol::testing::ScriptedServices;

using namespace krambol::bench;

namespace {

// Below this the bare editor's figure is noise, and being slower than it says nothing.
constexpr double kBareFloor = 1;
// A print of up to 100 000 entries, in ms.
constexpr double kPrintLimit = 5000;
constexpr int kMemoryJudgedFrom = 10000;
// A group of rows repeats until it has run this long (at least once) or its rounds are done.
constexpr double kGroupBudgetMs = 3000;
// Untimed waits for the pane's idle layout to finish.
constexpr int kSettleMs = 15000;
// The size of a paste.
constexpr int kPasteChars = 1000000;

// --- the register's text -------------------------------------------------------------------------------

// What follows the name in a full entry without a date: "------------Игра |".
QString entryTail(int i)
{
    return QStringLiteral("------------") + discOf(i) + QStringLiteral(" |");
}

// A full entry as the accept writes it, with the start separator: " Иван------------Игра |".
QString fullEntry(int i)
{
    return (i > 0 ? QStringLiteral(" ") : QString()) + nameOf(i) + entryTail(i);
}

QString registerText(int entries)
{
    QString text;
    text.reserve(qsizetype(entries) * 24);
    for (int i = 0; i < entries; ++i)
        text += fullEntry(i);
    return text;
}

enum class Shape { Plain, Paragraphs, Formatted };

struct ShapeInfo
{
    Shape shape;
    const char* name;
};

constexpr ShapeInfo kShapes[] = {
    {Shape::Plain, "plain"}, {Shape::Paragraphs, "paragraphs"}, {Shape::Formatted, "formatted"}};

std::optional<Shape> shapeNamed(const QString& name)
{
    for (const ShapeInfo& s : kShapes)
        if (name == QLatin1String(s.name))
            return s.shape;
    return std::nullopt;
}

const char* shapeName(Shape shape)
{
    for (const ShapeInfo& s : kShapes)
        if (s.shape == shape)
            return s.name;
    return "?";
}

// The register of a shape as runs: the file the program opens is this written as RTF, and the bare editor
// is given the same runs.
krambol::rtf::Document registerDocument(Shape shape, int entries)
{
    using krambol::rtf::CharFormat;
    krambol::rtf::Document doc;
    const CharFormat plain;
    if (shape == Shape::Plain) {
        doc.append(plain, registerText(entries));
    } else if (shape == Shape::Paragraphs) {
        for (int i = 0; i < entries; ++i)
            doc.append(plain, (i > 0 ? QStringLiteral("\u2029") : QString()) + nameOf(i) + entryTail(i));
    } else {
        // The name in one of four fonts, sizes and colours, bold or italic now and then; the rest in the
        // register's font, underlined now and then.
        static const char* const fonts[] = {"Times New Roman", "Courier New", "Arial", "MS Sans Serif"};
        static const int halfPoints[] = {20, 28, 36, 48};
        static const std::optional<QRgb> colours[] = {0xFFC00000u, 0xFF0000C0u, 0xFF008000u, std::nullopt,
                                                      0xFF808000u};
        for (int i = 0; i < entries; ++i) {
            CharFormat name;
            name.fontName = QLatin1String(fonts[i % 4]);
            name.halfPoints = halfPoints[(i / 4) % 4];
            name.bold = i % 3 == 0;
            name.italic = i % 5 == 0;
            name.color = colours[i % 5];
            CharFormat tail;
            tail.underline = i % 7 == 0;
            doc.append(name, (i > 0 ? QStringLiteral(" ") : QString()) + nameOf(i));
            doc.append(tail, entryTail(i));
        }
    }
    return doc;
}

// The same runs in a QTextDocument, with the formats the program's reader gives them.
void fillDocument(QTextDocument& target, const krambol::rtf::Document& source)
{
    target.setUndoRedoEnabled(false);
    target.clear();
    QTextCursor cursor(&target);
    cursor.beginEditBlock();
    for (qsizetype r = 0; r < source.runCount(); ++r) {
        const krambol::rtf::CharFormat& f = source.runFormat(r);
        QTextCharFormat format;
        format.setFontFamilies({f.fontName});
        format.setFontPointSize(f.halfPoints / 2.0);
        format.setFontWeight(f.bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(f.italic);
        format.setFontUnderline(f.underline);
        if (f.color)
            format.setForeground(QColor::fromRgb(*f.color));
        const QStringView text = source.runText(r);
        qsizetype from = 0;
        for (qsizetype at; (at = text.indexOf(u'\u2029', from)) >= 0; from = at + 1) {
            cursor.insertText(text.mid(from, at - from).toString(), format);
            cursor.insertBlock();
        }
        cursor.insertText(text.mid(from).toString(), format);
    }
    cursor.endEditBlock();
    target.setUndoRedoEnabled(true);
}

QString pasteText()
{
    QString text;
    text.reserve(kPasteChars + 32);
    for (int i = 0; text.size() < kPasteChars; ++i)
        text += fullEntry(i + 1);
    text.truncate(kPasteChars);
    return text;
}

// --- one side of the comparison --------------------------------------------------------------------------

// Posted work (deferred layout, scroll bar updates) runs, then the pane paints now, not later.
void repaintNow(QAbstractScrollArea& pane)
{
    QCoreApplication::processEvents();
    pane.viewport()->repaint();
}

QAccessibleTextInterface* textOf(QAbstractScrollArea& pane)
{
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&pane);
    return a ? a->textInterface() : nullptr;
}

// What the rows ask of a side: the pane itself takes keys, clicks, drags and resizes alike on both sides;
// the rest each side does its own way.
class Side
{
public:
    virtual ~Side() = default;
    virtual QAbstractScrollArea& pane() = 0;
    virtual void typeEntry(int i) = 0;  // untimed: fills the fields an accept reads
    virtual void accept() = 0;
    virtual void bold(bool on) = 0;
    virtual void italic(bool on) = 0;
    virtual void underline(bool on) = 0;
    virtual void fontSize(int points) = 0;
    virtual void background(const QColor& colour) = 0;
    virtual void copyByMenu() = 0;
    virtual void putOnClipboard(const QString& text) = 0;  // untimed
    virtual void save() = 0;
    virtual void prepareOpen() = 0;  // untimed: makes sure there is a file to open
    // Starts opening the file; finishOpen() waits until the register is the file's and shown, and gives
    // the longest time the window was kept from its events from the start of the open.
    virtual void open() = 0;
    virtual double finishOpen() = 0;
    void openWhole()
    {
        open();
        finishOpen();
    }
    virtual void print(const QString& pdf) = 0;
    // Waits until the file of the last save is written.
    virtual void finishSave() {}
    // The longest time the last print kept the window from its events: between two pages, or the whole
    // print when it shows no progress.
    virtual double longestPrintPauseMs() const = 0;
    virtual bool failed() const { return false; }
};

QAbstractButton* buttonNamed(QWidget& window, const char* name)
{
    QAbstractButton* b = window.findChild<QAbstractButton*>(QLatin1String(name));
    if (!b)
        qFatal("no button named %s", name);
    return b;
}

void setChecked(QAbstractButton& button, bool on)
{
    if (button.isChecked() != on)
        button.click();
}

std::unique_ptr<QPrinter> pdfPrinter(const QString& pdf)
{
    auto printer = std::make_unique<QPrinter>();
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    return printer;
}

void showActive(QWidget& window, QWidget& focus)
{
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the window was not exposed\n");
    window.activateWindow();
    (void)QTest::qWaitForWindowActive(&window);
    focus.setFocus();
}

// A progress indicator that answers as the scripted one and keeps the longest time between two of its
// calls: while it is shown, the real one lets the window handle its events at each call.
class TimedProgress final : public krambol::platform::Progress
{
public:
    // Before the print starts; `end()` after it returns: what comes before the first page and after
    // the last counts too.
    void begin()
    {
        m_longestNs = 0;
        m_laps = 0;
        m_since.start();
    }
    void end()
    {
        lap();
        if (qEnvironmentVariableIsSet("BENCH_INTERACTIONS_TRACE"))
            std::fprintf(stderr, "      print: longest pause %.2f ms at lap %d of %d (0: before the first page, "
                                 "last: after the last)\n", longestMs(), m_longestLap, m_laps - 1);
    }
    void start(const QString&, int) override { lap(); }
    bool advance(int, const QString&) override
    {
        lap();
        return true;
    }
    bool poll() override
    {
        lap();
        return true;
    }
    void finish() override { lap(); }
    double longestMs() const { return double(m_longestNs) / 1e6; }

private:
    void lap()
    {
        const qint64 ns = m_since.nsecsElapsed();
        if (ns > m_longestNs) {
            m_longestNs = ns;
            m_longestLap = m_laps;
        }
        ++m_laps;
        m_since.start();
    }
    QElapsedTimer m_since;
    qint64 m_longestNs = 0;
    int m_laps = 0;
    int m_longestLap = 0;
};

krambol::platform::Services withProgress(krambol::platform::Services services, krambol::platform::Progress& progress)
{
    return krambol::platform::Services{services.messages, services.dialog, services.clipboard, services.clock,
                                       services.capsLock, services.appExit, progress};
}

// The main window over scripted seams.
class Ours final : public Side
{
public:
    explicit Ours(const QDir& dir) : m_dir(dir)
    {
        m_box = m_form->findChild<QAbstractScrollArea*>(QStringLiteral("Box"));
        if (!m_box)
            qFatal("no register pane");
        showActive(*m_form, *m_box);
        m_seams->dialog.printerFactory = [this] { return pdfPrinter(m_pdf); };
    }

    // The first accept of the run (so that later ones append), editing on, then the register: the rest
    // of the entries pasted after the first for the plain shape, the file opened for the others.
    void build(Shape shape, int entries, const QString& file)
    {
        typeEntry(0);
        m_form->Command1_Click();
        setChecked(*buttonNamed(*m_form, "Check1"), true);
        repaintNow(*m_box);
        m_file = file;
        if (shape == Shape::Plain) {
            putOnClipboard(registerText(entries).mid(fullEntry(0).size()));
            QTest::keyClick(m_box, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClick(m_box, Qt::Key_V, Qt::ControlModifier);
            m_seams->clipboard.setText(QString());
        } else {
            openWhole();
        }
        repaintNow(*m_box);
    }

    QAbstractScrollArea& pane() override { return *m_box; }
    void typeEntry(int i) override
    {
        lineEdit("Text1")->setText(nameOf(i));
        lineEdit("Text2")->setText(discOf(i));
    }
    void accept() override { m_form->Command1_Click(); }
    void bold(bool on) override { setChecked(*buttonNamed(*m_form, "Command2"), on); }
    void italic(bool on) override { setChecked(*buttonNamed(*m_form, "Command3"), on); }
    void underline(bool on) override { setChecked(*buttonNamed(*m_form, "Check3"), on); }
    void fontSize(int points) override { lineEdit("Text8")->setText(QString::number(points)); }
    void background(const QColor& colour) override
    {
        m_seams->dialog.colors.enqueue(colour);
        buttonNamed(*m_form, "Command9")->click();
    }
    void copyByMenu() override { m_form->мм_Click(); }
    void putOnClipboard(const QString& text) override { m_seams->clipboard.setText(text); }
    void save() override
    {
        m_seams->dialog.fileNames.enqueue(m_dir.filePath(QStringLiteral("saved.krm")));
        m_form->Command5_Click();
    }
    void finishSave() override
    {
        if (!m_form->finishWriting())
            qFatal("the save failed");
    }
    void prepareOpen() override {}
    void open() override
    {
        QElapsedTimer timer;
        timer.start();
        m_seams->dialog.fileNames.enqueue(m_file);
        m_form->Command6_Click();
        m_openPauseMs = double(timer.nsecsElapsed()) / 1e6;
    }
    double finishOpen() override
    {
        // The window's own events go on meanwhile, each one a pause; the register comes with one of them.
        QElapsedTimer step;
        while (m_form->isOpening()) {
            step.start();
            QCoreApplication::processEvents();
            m_openPauseMs = std::max(m_openPauseMs, double(step.nsecsElapsed()) / 1e6);
        }
        step.start();
        repaintNow(pane());
        return std::max(m_openPauseMs, double(step.nsecsElapsed()) / 1e6);
    }
    void print(const QString& pdf) override
    {
        m_pdf = pdf;
        m_progress.begin();
        m_form->нг_Click();
        m_progress.end();
    }
    double longestPrintPauseMs() const override { return m_progress.longestMs(); }
    bool failed() const override { return !m_seams->messages.calls.isEmpty(); }
    QString failure() const { return failed() ? m_seams->messages.calls.first().text : QString(); }

private:
    QLineEdit* lineEdit(const char* name) const
    {
        QLineEdit* e = m_form->findChild<QLineEdit*>(QLatin1String(name));
        if (!e)
            qFatal("no field named %s", name);
        return e;
    }

    QDir m_dir;
    double m_openPauseMs = 0;
    std::unique_ptr<ScriptedServices> m_seams = std::make_unique<ScriptedServices>();
    TimedProgress m_progress;
    std::unique_ptr<Form1> m_form = std::make_unique<Form1>(withProgress(m_seams->services(), m_progress));
    QAbstractScrollArea* m_box = nullptr;
    QString m_file;
    QString m_pdf;
};

// A bare QTextEdit of the pane's size and fonts, as a window of its own. Its file is HTML, Qt's own rich
// text format.
class Bare final : public Side
{
public:
    Bare(const QDir& dir, Shape shape, int entries) : m_html(dir.filePath(QStringLiteral("bare.html")))
    {
        QSize size;
        QFont font;
        {
            // The main window only lends its pane's size and font.
            ScriptedServices seams;
            Form1 form(seams.services());
            form.show();
            (void)QTest::qWaitForWindowExposed(&form);
            const QAbstractScrollArea* box = form.findChild<QAbstractScrollArea*>(QStringLiteral("Box"));
            size = box->size();
            font = box->font();
        }
        m_edit.setFont(font);
        m_edit.document()->setDefaultFont(font);
        m_edit.resize(size);
        showActive(m_edit, m_edit);
        m_shape = shape;
        m_entries = entries;
    }

    void build()
    {
        if (m_shape == Shape::Plain)
            m_edit.setPlainText(registerText(m_entries));
        else
            fillDocument(*m_edit.document(), registerDocument(m_shape, m_entries));
        repaintNow(m_edit);
    }

    QAbstractScrollArea& pane() override { return m_edit; }
    void typeEntry(int i) override { m_next = i; }
    void accept() override
    {
        QTextCursor end(m_edit.document());
        end.movePosition(QTextCursor::End);
        end.insertText(fullEntry(m_next));
    }
    void bold(bool on) override
    {
        QTextCharFormat f;
        f.setFontWeight(on ? QFont::Bold : QFont::Normal);
        applyToAll(f);
    }
    void italic(bool on) override
    {
        QTextCharFormat f;
        f.setFontItalic(on);
        applyToAll(f);
    }
    void underline(bool on) override
    {
        QTextCharFormat f;
        f.setFontUnderline(on);
        applyToAll(f);
    }
    void fontSize(int points) override
    {
        QTextCharFormat f;
        f.setFontPointSize(points);
        applyToAll(f);
    }
    void background(const QColor& colour) override
    {
        QPalette p = m_edit.palette();
        p.setColor(QPalette::Base, colour);
        m_edit.setPalette(p);
    }
    void copyByMenu() override { m_edit.copy(); }
    void putOnClipboard(const QString& text) override { QGuiApplication::clipboard()->setText(text); }
    void save() override
    {
        QSaveFile out(m_html);
        const QByteArray bytes = m_edit.toHtml().toUtf8();
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            std::fprintf(stderr, "cannot write %s\n", qPrintable(m_html));
    }
    void prepareOpen() override
    {
        if (!QFileInfo::exists(m_html))
            save();
    }
    void open() override
    {
        QElapsedTimer timer;
        timer.start();
        QFile in(m_html);
        if (!in.open(QIODevice::ReadOnly))
            std::fprintf(stderr, "cannot read %s\n", qPrintable(m_html));
        m_edit.setHtml(QString::fromUtf8(in.readAll()));
        m_openMs = double(timer.nsecsElapsed()) / 1e6;
    }
    double finishOpen() override { return m_openMs; }
    void print(const QString& pdf) override
    {
        QElapsedTimer timer;
        timer.start();
        m_edit.print(pdfPrinter(pdf).get());
        m_printMs = double(timer.nsecsElapsed()) / 1e6;
    }
    double longestPrintPauseMs() const override { return m_printMs; }

private:
    void applyToAll(const QTextCharFormat& format)
    {
        QTextCursor all(m_edit.document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(format);
    }

    QTextEdit m_edit;
    QString m_html;
    Shape m_shape = Shape::Plain;
    int m_entries = 0;
    int m_next = 0;
    double m_printMs = 0;
    double m_openMs = 0;
};

// --- the rows --------------------------------------------------------------------------------------------

// Reports each step to the parent as it goes: "u" before an untimed step, "w ROW" before a timed one and
// "t ROW MS" after it, so that the parent can stop a step that takes too long and name it.
class Steps
{
public:
    Steps(Side& side, int firstRow) : m_side(side), m_firstRow(firstRow) {}

    void untimed(const std::function<void()>& step)
    {
        say("u\n");
        step();
        repaintNow(m_side.pane());
    }
    void timed(int row, const std::function<void()>& step)
    {
        say("w %d\n", m_firstRow + row);
        QElapsedTimer timer;
        timer.start();
        step();
        repaintNow(m_side.pane());
        say("t %d %.4f\n", m_firstRow + row, double(timer.nsecsElapsed()) / 1e6);
        if (m_trace) {
            // What the step left: the register's length, the caret, the selection and the memory.
            QAccessibleTextInterface* text = textOf(m_side.pane());
            int from = 0, to = 0;
            if (text)
                text->selection(0, &from, &to);
            std::fprintf(stderr,
                         "      row %d: %d characters, caret %d, selection %d-%d; resident %ld KB, peak %ld KB\n",
                         m_firstRow + row, text ? text->characterCount() : -1, text ? text->cursorPosition() : -1, from,
                         to, rssKilobytes(), peakRssKilobytes());
        }
    }
    // A figure the step measured itself.
    void record(int row, double ms)
    {
        say("w %d\n", m_firstRow + row);
        say("t %d %.4f\n", m_firstRow + row, ms);
    }
    void key(int row, Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        timed(row, [&] { QTest::keyClick(&m_side.pane(), key, modifiers); });
    }
    void untimedKey(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
    {
        untimed([&] { QTest::keyClick(&m_side.pane(), key, modifiers); });
    }

    template <typename... A>
    static void say(const char* format, A... args)
    {
        std::printf(format, args...);
        std::fflush(stdout);
    }

private:
    Side& m_side;
    int m_firstRow;
    bool m_trace = qEnvironmentVariableIsSet("BENCH_INTERACTIONS_TRACE");
};

// A drag of the scroll bar's slider to a fraction of its range, released there.
void dragBar(QAbstractScrollArea& pane, double fraction)
{
    QScrollBar* bar = pane.verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(int(bar->maximum() * fraction));
    bar->setSliderDown(false);
}

void selectAll(QAbstractScrollArea& pane)
{
    QTest::keyClick(&pane, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
}

// Waits until the idle layout is done: the scroll bar's range stays the same for half a second.
void settle(QAbstractScrollArea& pane)
{
    QElapsedTimer timer;
    timer.start();
    int last = -1, same = 0;
    while (same < 5 && timer.elapsed() < kSettleMs) {
        QTest::qWait(100);
        const int now = pane.verticalScrollBar()->maximum();
        same = now == last ? same + 1 : 0;
        last = now;
    }
}

struct Group
{
    std::vector<const char*> rows;
    // One round of the group; the first round may set up what later ones find.
    std::function<void(Side&, Steps&, int round)> run;
    int maxRounds = 1000;
    // Part of the session whose peak memory is judged (open, style, edit, save, undo).
    bool session = true;
    // Rounds go on while the group has taken less than this.
    double budgetMs = kGroupBudgetMs;
};

std::vector<Group> groups(const QDir& dir)
{
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    return {
        {{"Ctrl+End", "Ctrl+Home", "Page Down", "Page Up"},
         [](Side&, Steps& s, int) {
             s.key(0, Qt::Key_End, Qt::ControlModifier);
             s.key(1, Qt::Key_Home, Qt::ControlModifier);
             s.key(2, Qt::Key_PageDown);
             s.key(3, Qt::Key_PageUp);
         }},
        {{"type at end", "Backspace at end"},
         [](Side&, Steps& s, int) {
             s.untimedKey(Qt::Key_End, Qt::ControlModifier);
             s.key(0, Qt::Key_X);
             s.key(1, Qt::Key_Backspace);
         }},
        {{"type in middle", "Backspace in middle"},
         [](Side& side, Steps& s, int) {
             s.untimed([&] {
                 dragBar(side.pane(), 0.5);
                 repaintNow(side.pane());
                 QTest::mouseClick(side.pane().viewport(), Qt::LeftButton, {}, side.pane().viewport()->rect().center());
             });
             s.key(0, Qt::Key_X);
             s.key(1, Qt::Key_Backspace);
         }},
        {{"bold on", "bold off"},
         [](Side& side, Steps& s, int) {
             s.timed(0, [&] { side.bold(true); });
             s.timed(1, [&] { side.bold(false); });
         }},
        {{"italic on", "italic off"},
         [](Side& side, Steps& s, int) {
             s.timed(0, [&] { side.italic(true); });
             s.timed(1, [&] { side.italic(false); });
         }},
        {{"underline on", "underline off"},
         [](Side& side, Steps& s, int) {
             s.timed(0, [&] { side.underline(true); });
             s.timed(1, [&] { side.underline(false); });
         }},
        {{"size 24 -> 36", "size 36 -> 24"},
         [](Side& side, Steps& s, int) {
             s.timed(0, [&] { side.fontSize(36); });
             s.timed(1, [&] { side.fontSize(24); });
         }},
        {{"background colour"},
         [](Side& side, Steps& s, int round) {
             s.timed(0, [&] { side.background(round % 2 ? QColor(255, 255, 255) : QColor(255, 255, 204)); });
         }},
        {{"pane width +40 px", "pane width -40 px"},
         [](Side& side, Steps& s, int) {
             QWidget& pane = side.pane();
             s.timed(0, [&] { pane.resize(pane.width() + 40, pane.height()); });
             s.timed(1, [&] { pane.resize(pane.width() - 40, pane.height()); });
         }},
        {{"drag to end (later)", "drag to middle (later)", "drag to top (later)"},
         [](Side& side, Steps& s, int round) {
             if (round == 0)
                 s.untimed([&] { settle(side.pane()); });
             s.timed(0, [&] { dragBar(side.pane(), 1); });
             s.timed(1, [&] { dragBar(side.pane(), 0.5); });
             s.timed(2, [&] { dragBar(side.pane(), 0); });
         }},
        // Ctrl+A is the menu's accept in this window: the user selects all from the start to the end.
        {{"select all (Ctrl+Shift+End)", "copy (Ctrl+C)", "copy (menu)"},
         [](Side& side, Steps& s, int) {
             s.untimedKey(Qt::Key_Home, Qt::ControlModifier);
             s.key(0, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
             s.key(1, Qt::Key_C, Qt::ControlModifier);
             s.timed(2, [&] { side.copyByMenu(); });
         }},
        {{"cut all (Ctrl+X)", "undo cut (Ctrl+Z)"},
         [](Side& side, Steps& s, int) {
             s.untimed([&] { selectAll(side.pane()); });
             s.key(0, Qt::Key_X, Qt::ControlModifier);
             s.key(1, Qt::Key_Z, Qt::ControlModifier);
         }},
        {{"delete all (Delete)", "undo delete (Ctrl+Z)"},
         [](Side& side, Steps& s, int) {
             s.untimed([&] { selectAll(side.pane()); });
             s.key(0, Qt::Key_Delete);
             s.key(1, Qt::Key_Z, Qt::ControlModifier);
         }},
        // The window goes on while a save's file is written; the second row is the time until the file is
        // on disk, which has no frame to fit in.
        {{"save", "save, file written"},
         [](Side& side, Steps& s, int) {
             QElapsedTimer whole;
             whole.start();
             s.timed(0, [&] { side.save(); });
             side.finishSave();
             s.record(1, double(whole.nsecsElapsed()) / 1e6);
         }},
        // The session whose memory is judged ends here. An accept on a register with formats of its own
        // writes it whole as plain text; the open after it brings the file back.
        {{"accept"},
         [](Side& side, Steps& s, int round) {
             s.untimed([&] { side.typeEntry(1000000 + round); });
             s.timed(0, [&] { side.accept(); });
         },
         1000, false},
        // An open reads the file and builds the register on a thread of its own: the window is free again
        // at once ("open"), the register is there a while later ("register shown", beside the bare
        // editor's open), and the window's longest wait in between is one of its own events.
        {{"open", "open, register shown", "open: longest pause"},
         [](Side& side, Steps& s, int round) {
             if (round == 0)
                 s.untimed([&] { side.prepareOpen(); });
             QElapsedTimer whole;
             whole.start();
             s.timed(0, [&] { side.open(); });
             const double pause = side.finishOpen();
             s.record(1, double(whole.nsecsElapsed()) / 1e6);
             s.record(2, pause);
         },
         1000, false},
        // The first accept after an open writes the register whole: the opened text carries the file's
        // formats, which an accept drops.
        {{"accept after open"},
         [](Side& side, Steps& s, int round) {
             s.untimed([&] {
                 side.prepareOpen();
                 side.openWhole();
                 side.typeEntry(2000000 + round);
             });
             s.timed(0, [&] { side.accept(); });
         },
         1000, false},
        {{"drag to end after open", "drag to middle after open"},
         [](Side& side, Steps& s, int) {
             s.untimed([&] {
                 side.prepareOpen();
                 side.openWhole();
             });
             s.timed(0, [&] { dragBar(side.pane(), 1); });
             s.untimed([&] { side.openWhole(); });
             s.timed(1, [&] { dragBar(side.pane(), 0.5); });
         },
         1000, false},
        {{"paste 1M chars (Ctrl+V)", "undo paste (Ctrl+Z)"},
         [](Side& side, Steps& s, int) {
             s.untimed([&] {
                 QTest::keyClick(&side.pane(), Qt::Key_End, Qt::ControlModifier);
                 side.putOnClipboard(pasteText());
             });
             s.key(0, Qt::Key_V, Qt::ControlModifier);
             s.key(1, Qt::Key_Z, Qt::ControlModifier);
         },
         1000, false},
        // Printing has a target of its own (every entry, in time linear in the register, 5 s for 100 000
        // entries); while its pages are made, the window handles its events between two pages. A print's
        // time varies by a third from one run to the next, on either side: the median of five, or of
        // those made within 20 s.
        {{"print to PDF", "print: longest pause"},
         [pdf](Side& side, Steps& s, int) {
             s.untimedKey(Qt::Key_End, Qt::ControlModifier);
             s.timed(0, [&] { side.print(pdf); });
             s.record(1, side.longestPrintPauseMs());
         },
         5, false, 20000},
    };
}

// Every row's name, in order, and the first row of each group.
std::vector<QString> rowNames(const std::vector<Group>& all, std::vector<int>* firstRows = nullptr)
{
    std::vector<QString> names;
    for (const Group& g : all) {
        if (firstRows)
            firstRows->push_back(int(names.size()));
        for (const char* r : g.rows)
            names.push_back(QLatin1String(r));
    }
    return names;
}

bool groupWanted(const Group& g, const QStringList& filter)
{
    if (filter.isEmpty())
        return true;
    for (const char* r : g.rows)
        for (const QString& f : filter)
            if (QLatin1String(r).contains(f, Qt::CaseInsensitive))
                return true;
    return false;
}

// --- the child: one side of one shape and size -----------------------------------------------------------

struct ChildOptions
{
    QString side;
    Shape shape = Shape::Plain;
    int entries = 0;
    QString file;
    QString dir;
    int from = 0;
    int rounds = 5;
    QStringList filter;
};

// Lines: "ready BASE_KB PEAK_KB CHARS", then per group "g INDEX PEAK_KB" and its steps, then "end PEAK_KB";
// "fail REASON" when the register could not be built.
int child(const ChildOptions& o)
{
    using krambol::bench::peakRssKilobytes;
    const QDir dir(o.dir);
    std::unique_ptr<Side> side;
    long base = 0;
    if (o.side == u"ours") {
        auto ours = std::make_unique<Ours>(dir);
        base = peakRssKilobytes();
        ours->build(o.shape, o.entries, o.file);
        if (ours->failed()) {
            Steps::say("fail %s\n", qPrintable(ours->failure().simplified()));
            return 1;
        }
        side = std::move(ours);
    } else {
        auto bare = std::make_unique<Bare>(dir, o.shape, o.entries);
        base = peakRssKilobytes();
        bare->build();
        side = std::move(bare);
    }
    // The register holds what it should: as many characters as the runs, the caret at its end after Ctrl+End.
    QTest::keyClick(&side->pane(), Qt::Key_End, Qt::ControlModifier);
    QAccessibleTextInterface* text = textOf(side->pane());
    const int chars = text ? text->characterCount() : -1;
    const int expected = int(registerDocument(o.shape, o.entries).text().size());
    if (chars != expected || text->cursorPosition() != expected) {
        Steps::say("fail the %s register holds %d characters (caret at %d), not %d\n", qPrintable(o.side), chars,
                   text ? text->cursorPosition() : -1, expected);
        return 1;
    }
    Steps::say("ready %ld %ld %d\n", base, peakRssKilobytes(), chars);

    const std::vector<Group> all = groups(dir);
    std::vector<int> firstRows;
    rowNames(all, &firstRows);
    for (int g = o.from; g < int(all.size()); ++g) {
        if (!groupWanted(all[g], o.filter))
            continue;
        Steps::say("g %d %ld\n", g, peakRssKilobytes());
        Steps steps(*side, firstRows[g]);
        QElapsedTimer timer;
        timer.start();
        for (int r = 0; r < std::min(o.rounds, all[g].maxRounds); ++r) {
            all[g].run(*side, steps, r);
            if (double(timer.elapsed()) > all[g].budgetMs)
                break;
        }
        if (side->failed()) {
            Steps::say("fail a message box was shown\n");
            return 1;
        }
    }
    Steps::say("end %ld\n", peakRssKilobytes());
    return 0;
}

// --- the parent ------------------------------------------------------------------------------------------

struct Figure
{
    std::vector<double> samples;
    bool capped = false;   // a step took longer than the cap and was stopped
    bool skipped = false;  // not run: an earlier step of its group was stopped, or the child failed
    bool wanted = false;

    std::optional<double> median() const
    {
        if (samples.empty())
            return std::nullopt;
        std::vector<double> v = samples;
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    }
};

struct SideRun
{
    std::vector<Figure> rows;
    long sessionRiseKb = -1;  // the largest rise of the peak over a child's session, in kilobytes
    QString failure;
};

struct Options
{
    std::vector<int> sizes{1000, 10000, 100000};
    std::vector<Shape> shapes{Shape::Plain, Shape::Paragraphs, Shape::Formatted};
    QStringList filter;
    int rounds = 5;
    double capSeconds = 20;
    double oursCapSeconds = 120;
    double setupCapSeconds = 600;
    bool bare = true;
    bool verdictExit = true;
};

// Reads a child's next line, waiting at most `ms`; nullopt when none came in time or the child ended.
std::optional<QByteArray> nextLine(QProcess& child, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!child.canReadLine()) {
        const qint64 left = ms - timer.elapsed();
        if (left <= 0 || child.state() == QProcess::NotRunning)
            return std::nullopt;
        child.waitForReadyRead(int(std::min<qint64>(left, 200)));
    }
    return child.readLine().trimmed();
}

SideRun runSide(const QString& side, Shape shape, int entries, const QString& file, const QDir& dir,
                const Options& o)
{
    const std::vector<Group> all = groups(dir);
    std::vector<int> firstRows;
    const std::vector<QString> names = rowNames(all, &firstRows);
    SideRun run;
    run.rows.resize(names.size());
    for (int g = 0; g < int(all.size()); ++g)
        for (size_t r = 0; r < all[g].rows.size(); ++r)
            run.rows[firstRows[g] + r].wanted = groupWanted(all[g], o.filter);
    const int firstLoose = int(std::find_if(all.begin(), all.end(), [](const Group& g) { return !g.session; })
                               - all.begin());
    const int capMs = int(1000 * (side == u"ours" ? o.oursCapSeconds : o.capSeconds));
    int from = 0;
    while (from < int(all.size())) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{QStringLiteral("--child"), side, QLatin1String(shapeName(shape)), QString::number(entries),
                         file, dir.path(), QString::number(from), QString::number(o.rounds), o.filter.join(u',')};
        child.start(QCoreApplication::applicationFilePath(), args);
        const std::optional<QByteArray> ready = nextLine(child, int(1000 * o.setupCapSeconds));
        long base = 0, peak = 0;
        if (!ready || !ready->startsWith("ready ")) {
            run.failure = ready ? QString::fromUtf8(*ready) : QStringLiteral("set-up took more than %1 s").arg(o.setupCapSeconds);
            for (int r = firstRows[from]; r < int(names.size()); ++r)
                run.rows[r].skipped = true;
            child.kill();
            child.waitForFinished();
            return run;
        }
        std::sscanf(ready->constData(), "ready %ld %ld", &base, &peak);
        long sessionPeak = peak;
        int group = from;
        int stepRow = -1;  // the timed step under way, or -1 during an untimed one
        bool ended = false;
        bool failed = false;
        while (!ended) {
            const std::optional<QByteArray> line = nextLine(child, capMs);
            if (!line)
                break;
            const QList<QByteArray> f = line->split(' ');
            if (f[0] == "g" && f.size() == 3) {
                group = f[1].toInt();
                if (group <= firstLoose)
                    sessionPeak = f[2].toLong();
            } else if (f[0] == "u") {
                stepRow = -1;
            } else if (f[0] == "w" && f.size() == 2) {
                stepRow = f[1].toInt();
            } else if (f[0] == "t" && f.size() == 3) {
                run.rows[f[1].toInt()].samples.push_back(f[2].toDouble());
            } else if (f[0] == "end" && f.size() == 2) {
                if (group < firstLoose)
                    sessionPeak = f[1].toLong();
                ended = true;
            } else if (f[0] == "fail") {
                run.failure = QString::fromUtf8(line->mid(5));
                failed = true;
                break;
            }
        }
        if (ended) {
            child.waitForFinished();
            run.sessionRiseKb = std::max(run.sessionRiseKb, sessionPeak - base);
            break;
        }
        // Stopped (or failed) in the middle of `group`: the step under way is over the cap, the rest of
        // the group is not run, and a new child goes on with the next group.
        const bool running = !failed && child.state() != QProcess::NotRunning;
        child.kill();
        child.waitForFinished();
        run.sessionRiseKb = std::max(run.sessionRiseKb, sessionPeak - base);
        const int end = group + 1 < int(all.size()) ? firstRows[group + 1] : int(names.size());
        for (int r = firstRows[group]; r < end; ++r) {
            if (r == stepRow && running)
                run.rows[r].capped = true;
            else if (run.rows[r].samples.empty())
                run.rows[r].skipped = true;
        }
        if (!running && !failed)
            run.failure = QStringLiteral("the child ended in group %1 (exit code %2)").arg(group).arg(child.exitCode());
        std::fprintf(stderr, "    %s: %s in \"%s\", going on with the next group\n", qPrintable(side),
                     running ? "stopped" : "ended", qPrintable(stepRow >= 0 ? names[stepRow] : names[firstRows[group]]));
        from = group + 1;
    }
    return run;
}

QString cell(const Figure& f, double capSeconds)
{
    if (!f.wanted)
        return QStringLiteral("-");
    if (f.capped)
        return QStringLiteral("> %1 s").arg(capSeconds);
    if (const std::optional<double> m = f.median())
        return QString::number(*m, 'f', 2);
    return f.skipped ? QStringLiteral("skipped") : QStringLiteral("-");
}

double limitFor(int entries, const QString& row = {})
{
    if (row == u"print to PDF")
        return entries == 10000 || entries == 100000 ? kPrintLimit : 0;
    if (row == u"save, file written" || row == u"open, register shown")
        return 0;
    return entries == 10000 ? kLimitAt10k : entries == 100000 ? kLimitAt100k : 0;
}

// PASS, FAIL with its reasons, or "-" when there is nothing to judge.
QString verdict(const Figure& ours, const Figure* bare, int entries, const QString& row)
{
    if (!ours.wanted)
        return QStringLiteral("-");
    const std::optional<double> o = ours.median();
    if (!o && !ours.capped)
        return QStringLiteral("FAIL (not measured)");
    const double oursMs = o ? *o : std::numeric_limits<double>::infinity();
    QStringList reasons;
    const double limit = limitFor(entries, row);
    if (limit > 0 && (ours.capped || oursMs > limit))
        reasons << QStringLiteral("over the limit");
    if (bare) {
        const std::optional<double> b = bare->median();
        // A bare step that was stopped is known only to be over its cap, which says nothing of ours.
        if (b && !bare->capped && *b > kBareFloor && (ours.capped || oursMs > *b))
            reasons << QStringLiteral("slower than bare");
    }
    return reasons.isEmpty() ? QStringLiteral("PASS") : QStringLiteral("FAIL (%1)").arg(reasons.join(u", "));
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

void usage()
{
    std::fprintf(stderr, "usage: bench_interactions [--quick] [--sizes 1000,10000,100000] "
                         "[--shapes plain,paragraphs,formatted] [--rows FILTER,...] [--rounds N] [--cap SECONDS] "
                         "[--ours-cap SECONDS] [--no-bare] [--no-verdict-exit]\n");
    std::exit(2);
}

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == u"--quick") {
            o.sizes = {1000, 10000};
        } else if (a == u"--sizes" && hasValue) {
            o.sizes.clear();
            for (const QString& s : args[++i].split(u','))
                o.sizes.push_back(s.toInt());
        } else if (a == u"--shapes" && hasValue) {
            o.shapes.clear();
            for (const QString& s : args[++i].split(u',')) {
                const std::optional<Shape> shape = shapeNamed(s);
                if (!shape)
                    usage();
                o.shapes.push_back(*shape);
            }
        } else if (a == u"--rows" && hasValue) {
            o.filter = args[++i].split(u',', Qt::SkipEmptyParts);
        } else if (a == u"--rounds" && hasValue) {
            o.rounds = std::max(1, args[++i].toInt());
        } else if (a == u"--cap" && hasValue) {
            o.capSeconds = std::max(1.0, args[++i].toDouble());
        } else if (a == u"--ours-cap" && hasValue) {
            o.oursCapSeconds = std::max(1.0, args[++i].toDouble());
        } else if (a == u"--no-bare") {
            o.bare = false;
        } else if (a == u"--no-verdict-exit") {
            o.verdictExit = false;
        } else {
            usage();
        }
    }
    return o;
}

} // namespace

int main(int argc, char* argv[])
{
    krambol::bench::preferOffscreen();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    // --child SIDE SHAPE ENTRIES FILE DIR FROM ROUNDS FILTER
    if (args.size() == 10 && args[1] == u"--child") {
        ChildOptions c;
        c.side = args[2];
        c.shape = shapeNamed(args[3]).value_or(Shape::Plain);
        c.entries = args[4].toInt();
        c.file = args[5];
        c.dir = args[6];
        c.from = args[7].toInt();
        c.rounds = args[8].toInt();
        c.filter = args[9].split(u',', Qt::SkipEmptyParts);
        return child(c);
    }
    const Options o = parse(args);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    std::printf("platform %s; %d cores; load average at start %s\n", qPrintable(QGuiApplication::platformName()),
                QThread::idealThreadCount(), qPrintable(loadAverage()));
    std::printf("each figure: the median of up to %d rounds (fewer when a group of rows takes more than %.0f s), in "
                "ms, until the pane has repainted;\nbare = a QTextEdit of the pane's size and font with the same "
                "text and formats (its file is HTML); a bare step over %.0f s is stopped\n",
                o.rounds, kGroupBudgetMs / 1000, o.capSeconds);
    std::printf("limits: %.0f ms at 10 000 entries, %.0f ms at 100 000, and not slower than bare where bare needs "
                "more than %.0f ms; a print: %.0f ms, and its longest pause one frame as above; memory: rise of the "
                "peak over the session <= %.0f x the file\n",
                kLimitAt10k, kLimitAt100k, kBareFloor, kPrintLimit, kMemoryPerFileByte);

    const std::vector<QString> names = rowNames(groups(QDir(dir.path())));
    bool anyFail = false;
    std::printf("\n%-11s %8s  %-28s %12s %12s %7s  %s\n", "shape", "entries", "row", "ours", "bare", "limit", "verdict");
    for (int entries : o.sizes) {
        for (Shape shape : o.shapes) {
            const QDir work(dir.filePath(QStringLiteral("%1-%2").arg(QLatin1String(shapeName(shape))).arg(entries)));
            QDir().mkpath(work.path());
            const QString file = work.filePath(QStringLiteral("register.krm"));
            {
                QSaveFile out(file);
                const QByteArray bytes = krambol::rtf::write(registerDocument(shape, entries));
                if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
                    std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
                    return 1;
                }
            }
            const qint64 fileBytes = QFileInfo(file).size();
            std::fprintf(stderr, "  %s, %d entries (%lld bytes of RTF)...\n", shapeName(shape), entries,
                         (long long)fileBytes);
            const SideRun ours = runSide(QStringLiteral("ours"), shape, entries, file, work, o);
            SideRun bare;
            if (o.bare)
                bare = runSide(QStringLiteral("bare"), shape, entries, file, work, o);
            if (!ours.failure.isEmpty())
                std::printf("%-11s %8d  ours: %s\n", shapeName(shape), entries, qPrintable(ours.failure));
            if (!bare.failure.isEmpty())
                std::printf("%-11s %8d  bare: %s\n", shapeName(shape), entries, qPrintable(bare.failure));
            for (size_t r = 0; r < names.size(); ++r) {
                const double limit = limitFor(entries, names[r]);
                const Figure& of = ours.rows[r];
                if (!of.wanted)
                    continue;
                const Figure* bf = o.bare ? &bare.rows[r] : nullptr;
                const QString v = verdict(of, bf, entries, names[r]);
                anyFail = anyFail || v.startsWith(u"FAIL");
                std::printf("%-11s %8d  %-28s %12s %12s %7s  %s\n", shapeName(shape), entries, qPrintable(names[r]),
                            qPrintable(cell(of, o.oursCapSeconds)), qPrintable(bf ? cell(*bf, o.capSeconds) : QStringLiteral("-")),
                            limit > 0 ? qPrintable(QString::number(limit)) : "-", qPrintable(v));
            }
            // The session's memory, in megabytes, against the file.
            const double fileMb = double(fileBytes) / (1024 * 1024);
            const double memLimit = kMemoryPerFileByte * fileMb;
            const auto mb = [](long kb) { return kb < 0 ? QStringLiteral("?") : QString::number(kb / 1024.0, 'f', 1) + QStringLiteral(" MB"); };
            QString memVerdict = QStringLiteral("-");
            if (entries >= kMemoryJudgedFrom) {
                memVerdict = ours.sessionRiseKb >= 0 && ours.sessionRiseKb / 1024.0 <= memLimit ? QStringLiteral("PASS")
                                                                                              : QStringLiteral("FAIL");
                anyFail = anyFail || memVerdict == u"FAIL";
            }
            std::printf("%-11s %8d  %-28s %12s %12s %7s  %s\n", shapeName(shape), entries,
                        qPrintable(QStringLiteral("peak rise, file %1 MB").arg(fileMb, 0, 'f', 1)),
                        qPrintable(mb(ours.sessionRiseKb)), qPrintable(o.bare ? mb(bare.sessionRiseKb) : QStringLiteral("-")),
                        qPrintable(QString::number(memLimit, 'f', 0) + QStringLiteral(" MB")), qPrintable(memVerdict));
            std::fflush(stdout);
        }
    }
    std::printf("\nload average at end %s\n", qPrintable(loadAverage()));
    return anyFail && o.verdictExit ? 1 : 0;
}
