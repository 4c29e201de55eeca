// SPDX-License-Identifier: GPL-3.0-or-later
// Latency of the register pane on large registers of three shapes (one plain paragraph, many short
// paragraphs, formatted), beside a bare QTextEdit doing the same:
//   - Ctrl+End right after the register was set, until the pane has repainted;
//   - one character typed at the end, and Backspace there;
//   - one character typed in the middle.
//
//   bench_pane [--sizes 10000,100000]
#include "BenchSupport.h"
#include "textpane/RichTextBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdio>
#include <functional>

using krambol::textpane::RichTextBox;

namespace {

QString entry(int i)
{
    static const char16_t* const names[] = {u"Иван", u"Пётр", u"Олег", u"Вера", u"Анна"};
    static const char16_t* const discs[] = {u"Игра", u"Диск", u"Хиты", u"Джаз"};
    return QString::fromUtf16(names[i % 5]) + QStringLiteral("------------") + QString::fromUtf16(discs[(i / 3) % 4])
        + QStringLiteral(" |");
}

// Writes the register at a cursor: entries joined by blanks or paragraphs, every other one in a format of
// its own when formatted.
void write(QTextCursor& cursor, int entries, bool paragraphs, bool formatted)
{
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    bold.setFontPointSize(11);
    cursor.beginEditBlock();
    for (int i = 0; i < entries; ++i) {
        if (i > 0)
            cursor.insertText(paragraphs ? QStringLiteral("\n") : QStringLiteral(" "), QTextCharFormat());
        cursor.insertText(entry(i), formatted && i % 2 ? bold : QTextCharFormat());
    }
    cursor.endEditBlock();
}

double ms(const std::function<void()>& work)
{
    QElapsedTimer clock;
    clock.start();
    work();
    return double(clock.nsecsElapsed()) / 1e6;
}

template <typename Pane>
void fill(Pane& pane, int entries, bool paragraphs, bool formatted);

template <>
void fill(RichTextBox& pane, int entries, bool paragraphs, bool formatted)
{
    QTextDocument& document = *pane.document();
    document.setUndoRedoEnabled(false);
    document.clear();
    QTextCursor cursor(&document);
    write(cursor, entries, paragraphs, formatted);
    document.setUndoRedoEnabled(true);
    pane.showStart();
}

template <>
void fill(QTextEdit& pane, int entries, bool paragraphs, bool formatted)
{
    pane.clear();
    QTextCursor cursor(pane.document());
    write(cursor, entries, paragraphs, formatted);
    pane.moveCursor(QTextCursor::Start);
}

struct Figures
{
    double end = 0, typeEnd = 0, backspace = 0, typeMiddle = 0;
};

template <typename Pane>
Figures measure(int entries, bool paragraphs, bool formatted)
{
    Pane pane;
    pane.resize(600, 400);
    pane.show();
    QApplication::processEvents();
    fill(pane, entries, paragraphs, formatted);
    pane.viewport()->repaint();
    Figures f;
    f.end = ms([&] {
        QTest::keyClick(&pane, Qt::Key_End, Qt::ControlModifier);
        pane.viewport()->repaint();
    });
    QApplication::processEvents();
    f.typeEnd = ms([&] {
        QTest::keyClick(&pane, Qt::Key_X);
        pane.viewport()->repaint();
    });
    f.backspace = ms([&] {
        QTest::keyClick(&pane, Qt::Key_Backspace);
        pane.viewport()->repaint();
    });
    QTextCursor middle = pane.textCursor();
    middle.setPosition(pane.document()->characterCount() / 2);
    pane.setTextCursor(middle);
    pane.viewport()->repaint();
    QApplication::processEvents();
    f.typeMiddle = ms([&] {
        QTest::keyClick(&pane, Qt::Key_X);
        pane.viewport()->repaint();
    });
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    krambol::bench::preferOffscreen();
    QApplication app(argc, argv);
    QList<int> sizes{10000, 100000};
    const QStringList args = app.arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--sizes")); at >= 0 && at + 1 < args.size()) {
        sizes.clear();
        for (const QString& size : args[at + 1].split(u','))
            sizes << size.toInt();
    }
    std::printf("%-18s %8s | %-24s | %-24s | %-24s | %-24s\n", "shape", "entries", "Ctrl+End ours/bare ms",
                "type at end", "Backspace at end", "type in the middle");
    for (const int entries : sizes) {
        for (const int shape : {0, 1, 2}) {
            const bool paragraphs = shape == 1;
            const bool formatted = shape == 2;
            const Figures ours = measure<RichTextBox>(entries, paragraphs, formatted);
            const Figures bare = measure<QTextEdit>(entries, paragraphs, formatted);
            std::printf("%-18s %8d | %10.2f / %-11.2f | %10.2f / %-11.2f | %10.2f / %-11.2f | %10.2f / %-11.2f\n",
                        shape == 0 ? "one paragraph" : shape == 1 ? "many paragraphs" : "formatted", entries, ours.end,
                        bare.end, ours.typeEnd, bare.typeEnd, ours.backspace, bare.backspace, ours.typeMiddle,
                        bare.typeMiddle);
            std::fflush(stdout);
        }
    }
    return 0;
}
