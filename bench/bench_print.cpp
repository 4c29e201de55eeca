// SPDX-License-Identifier: GPL-3.0-or-later
// Printing the register to a PDF file, beside a bare QTextEdit::print of the same register in the same run:
// a register of N entries as the accepts build it (one paragraph, an entry per line; with --paragraphs one
// entry a paragraph, as a word processor's file), the whole of it printed. The target: 100 000 entries in
// at most 5 s, and time linear in the text (the time per entry at the largest size within twice that at
// the smallest). The printer has the resolution a print dialog gives (1200 dpi); --screen-resolution
// prints at the screen's instead.
//
//   bench_print [--sizes 10000,30000,100000] [--paragraphs] [--screen-resolution] [--no-bare]
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise and DISPLAY is set.
#include "BenchSupport.h"
#include "support/PdfPrinter.h"
#include "support/ScriptedServices.h"
#include "textpane/TextPrinter.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>

#include <cstdio>
#include <vector>

using krambol::testing::pdfPrinter;

namespace {

constexpr double kAt100k = 5000;
constexpr double kLinearity = 2;

// "Иван------------Игра |" entries, one a line, as the accepts write them.
QString registerText(int entries, QChar separator = QChar(QChar::LineSeparator))
{
    static const char16_t* const names[] = {u"Иван", u"Пётр", u"Олег", u"Вера", u"Анна", u"Юлия", u"Нина"};
    static const char16_t* const discs[] = {u"Игра", u"Диск", u"Хиты", u"Джаз", u"Кино", u"Софт"};
    QString text;
    text.reserve(qsizetype(entries) * 24);
    for (int i = 0; i < entries; ++i) {
        if (i > 0)
            text += separator;
        text += QString::fromUtf16(names[i % std::size(names)]) + QStringLiteral("------------")
            + QString::fromUtf16(discs[(i / 3) % std::size(discs)]) + QStringLiteral(" |");
    }
    return text;
}

int pages(const QString& pdf)
{
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    if (pdfinfo.isEmpty())
        return -1;
    QProcess info;
    info.start(pdfinfo, {pdf});
    info.waitForFinished(60000);
    static const QRegularExpression count(QStringLiteral("Pages:\\s+(\\d+)"));
    const QRegularExpressionMatch m = count.match(QString::fromUtf8(info.readAllStandardOutput()));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

struct Row
{
    int entries;
    double ours;
    int ourPages;
    double bare = -1;
    int barePages = -1;
};

} // namespace

int main(int argc, char** argv)
{
    krambol::bench::preferOffscreen();
    QApplication app(argc, argv);
    std::vector<int> sizes{10000, 30000, 100000};
    bool bare = true;
    bool paragraphs = false;
    bool screenResolution = false;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--sizes") && i + 1 < args.size()) {
            sizes.clear();
            for (const QString& size : args[++i].split(u','))
                sizes.push_back(size.toInt());
        } else if (args[i] == QStringLiteral("--no-bare")) {
            bare = false;
        } else if (args[i] == QStringLiteral("--paragraphs")) {
            paragraphs = true;
        } else if (args[i] == QStringLiteral("--screen-resolution")) {
            screenResolution = true;
        }
    }
    const auto printerFor = [screenResolution](const QString& pdf) {
        auto printer = pdfPrinter(pdf);
        if (screenResolution)
            printer->setResolution(QPrinter(QPrinter::ScreenResolution).resolution());
        return printer;
    };
    QTemporaryDir dir;
    const QFont font(QStringLiteral("MS Sans Serif"), 8);
    std::vector<Row> rows;
    for (const int entries : sizes) {
        std::fprintf(stderr, "  %d entries...\n", entries);
        const QString text = registerText(entries, paragraphs ? QChar(u'\n') : QChar(QChar::LineSeparator));
        QTextDocument document;
        document.setDefaultFont(font);
        document.setPlainText(text);
        Row row{entries, 0, 0};
        {
            const QString pdf = dir.filePath(QStringLiteral("ours.pdf"));
            const auto printer = printerFor(pdf);
            krambol::testing::ScriptedProgress progress;
            QElapsedTimer timer;
            timer.start();
            krambol::textpane::printText(document, 0, document.characterCount() - 1, *printer, progress);
            row.ours = double(timer.nsecsElapsed()) / 1e6;
            row.ourPages = pages(pdf);
        }
        if (bare) {
            QTextEdit edit;
            edit.setFont(font);
            edit.setPlainText(text);
            const QString pdf = dir.filePath(QStringLiteral("bare.pdf"));
            const auto printer = printerFor(pdf);
            QElapsedTimer timer;
            timer.start();
            edit.print(printer.get());
            row.bare = double(timer.nsecsElapsed()) / 1e6;
            row.barePages = pages(pdf);
        }
        rows.push_back(row);
    }

    std::printf("\nPrint of the whole register to PDF (%s; %d dpi; ms, pages)\n",
                paragraphs ? "one entry a paragraph" : "one paragraph, an entry per line",
                printerFor(dir.filePath(QStringLiteral("dpi.pdf")))->resolution());
    std::printf("%8s %9s | %10s %6s %10s | %10s %6s %10s | %s\n", "entries", "chars", "ours", "pages", "us/entry",
                "bare", "pages", "us/entry", "ours/bare");
    for (const Row& r : rows) {
        std::printf("%8d %9lld | %10.1f %6d %10.2f | ", r.entries, (long long)registerText(1).size() * r.entries,
                    r.ours, r.ourPages, 1000 * r.ours / r.entries);
        if (r.bare >= 0)
            std::printf("%10.1f %6d %10.2f | %.2f\n", r.bare, r.barePages, 1000 * r.bare / r.entries, r.ours / r.bare);
        else
            std::printf("%10s %6s %10s | -\n", "-", "-", "-");
    }
    const Row& small = rows.front();
    const Row& large = rows.back();
    for (const Row& r : rows) {
        if (r.entries == 100000)
            std::printf("target: 100 000 entries <= %.0f ms: %.1f ms %s\n", kAt100k, r.ours,
                        r.ours <= kAt100k ? "PASS" : "FAIL");
    }
    if (rows.size() > 1) {
        const double ratio = (large.ours / large.entries) / (small.ours / small.entries);
        std::printf("linear: time per entry at %d / at %d = %.2f (<= %.0f) %s\n", large.entries, small.entries, ratio,
                    kLinearity, ratio <= kLinearity ? "PASS" : "FAIL");
    }
    return 0;
}
