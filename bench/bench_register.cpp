// SPDX-License-Identifier: GPL-3.0-or-later
// Latency of the register as the user meets it, on registers of many entries, each figure beside a bare
// QTextEdit doing the same work in the same run:
//   - one more accept through Command1_Click and AcceptEntryFromToolbar, until the pane has repainted;
//   - save (Command5_Click) and open (Command6_Click) of the register as a file, until the pane has repainted;
//   - RTF reader and writer throughput on the saved file;
//   - peak memory of a process that opens the largest register file (a child process, so the figure is clean);
//   - start-up to the main window's first paint (bench_startup, started as a child process).
//
//   bench_register [--quick] [--sizes 1000,10000,100000] [--rounds N] [--no-startup] [--no-memory] [--no-bare]
//   bench_register --profile-accept [--sizes N] [--rounds N]   (only the accepts, to run under a profiler)
//   bench_register --keep-files ...; bench_register --peak-open FILE   (one open, to run under a profiler)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise and DISPLAY is set.
#include "BenchSupport.h"
#include "ProcessMemory.h"
#include "register/RichTextDocument.h"
#include "rtf/Reader.h"
#include "rtf/Writer.h"
#include "shell/Form1.h"
#include "support/ScriptedServices.h"
#include "textpane/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSaveFile>
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
#include <memory>
#include <vector>

using krambol::textpane::RichTextBox;
using krambol::shell::Form1;
using krambol::testing::ScriptedServices;

using namespace krambol::bench;

namespace {

// The figures the register is held to, in milliseconds (memory: a multiple of the file size).
constexpr double kOpenAt100k = 500;
constexpr double kSave = 100;
constexpr double kStartup = 300;

// A full entry as the accept writes it with the start separator and no date: "Иван------------Игра |".
QString fullEntry(int i)
{
    return (i > 0 ? QStringLiteral(" ") : QString()) + nameOf(i) + QStringLiteral("------------") + discOf(i)
        + QStringLiteral(" |");
}

// The register that the first accept of a run followed by entries - 1 appending accepts leaves.
QString registerText(int entries)
{
    QString text;
    text.reserve(qsizetype(entries) * 26);
    for (int i = 0; i < entries; ++i)
        text += fullEntry(i);
    return text;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Milliseconds of each round of f, then the median.
double timeRounds(int rounds, const std::function<void(int)>& f)
{
    std::vector<double> times;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        f(r);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

// Posted work (deferred layout, scroll bar updates) runs, then the pane paints now, not later.
void repaintNow(QAbstractScrollArea& edit)
{
    QCoreApplication::processEvents();
    edit.viewport()->repaint();
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

using krambol::bench::peakRssKilobytes;
using krambol::bench::rssKilobytes;

const char* verdict(double value, double target)
{
    return value <= target ? "PASS" : "FAIL";
}

// The main window over scripted seams, shown at its start size.
struct Window
{
    std::unique_ptr<ScriptedServices> seams = std::make_unique<ScriptedServices>();
    std::unique_ptr<Form1> form = std::make_unique<Form1>(seams->services());

    Window()
    {
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            std::fprintf(stderr, "the main window was not exposed\n");
    }
    RichTextBox& box() const { return *form->controls().Box; }
    void type(int i) const
    {
        form->controls().Text1->setText(nameOf(i));
        form->controls().Text2->setText(discOf(i));
    }
    // One real first accept, then the text the further accepts would have appended.
    void fill(int entries) const
    {
        type(0);
        form->Command1_Click();
        box().setText(registerText(entries));
        repaintNow(box());
    }
    bool failed() const { return !seams->messages.calls.isEmpty(); }
};

// A bare QTextEdit of the pane's size and font, shown as a window of its own.
struct BareEdit
{
    QTextEdit edit;

    explicit BareEdit(const RichTextBox& like)
    {
        edit.setFont(like.font());
        edit.document()->setDefaultFont(like.document()->defaultFont());
        edit.resize(like.size());
        edit.show();
        if (!QTest::qWaitForWindowExposed(&edit))
            std::fprintf(stderr, "the bare editor was not exposed\n");
    }
};

struct Options
{
    std::vector<int> sizes{1000, 10000, 100000};
    int rounds = 5;
    bool startup = true;
    bool memory = true;
    // The bare QTextEdit beside each figure (minutes at a million entries).
    bool bare = true;
    // Only the accepts through Command1_Click on the largest register, for a profiler.
    bool profileAccept = false;
    // Keeps the register files written (to open one under a profiler with --peak-open FILE).
    bool keepFiles = false;
};

struct SizeFigures
{
    int entries = 0;
    qsizetype chars = 0;
    // Accept.
    double command1 = 0, toolbar = 0, afterOpen = 0, bareRewrite = 0, bareAppend = 0, bareSetWhole = 0;
    // Files.
    qint64 fileBytes = 0, htmlBytes = 0;
    double save = 0, open = 0, bareSaveHtml = 0, bareOpenHtml = 0, bareSavePlain = 0, bareOpenPlain = 0;
    // Codec.
    double rtfRead = 0, rtfWrite = 0, toRtfDocument = 0, htmlParse = 0, htmlWrite = 0;
    QString file;
    QString plainFile;
};

SizeFigures measureSize(int entries, int rounds, const QDir& dir, bool bare)
{
    SizeFigures f;
    f.entries = entries;
    const QString base = registerText(entries);
    f.chars = base.size();
    f.file = dir.filePath(QStringLiteral("register-%1.krm").arg(entries));
    f.plainFile = dir.filePath(QStringLiteral("register-%1.txt").arg(entries));
    const QString htmlFile = dir.filePath(QStringLiteral("register-%1.html").arg(entries));
    std::fprintf(stderr, "  %d entries...\n", entries);

    {
        Window w;
        w.fill(entries);
        int next = entries;
        f.command1 = timeRounds(rounds, [&](int) {
            w.type(next++);
            w.form->Command1_Click();
            repaintNow(w.box());
        });
        f.toolbar = timeRounds(rounds, [&](int) {
            w.type(next++);
            w.form->AcceptEntryFromToolbar();
            repaintNow(w.box());
        });

        w.fill(entries);
        f.save = timeRounds(rounds, [&](int) {
            w.seams->dialog.fileNames.enqueue(f.file);
            w.form->Command5_Click();
            repaintNow(w.box());
        });
        f.fileBytes = QFileInfo(f.file).size();
        f.open = timeRounds(rounds, [&](int) {
            w.seams->dialog.fileNames.enqueue(f.file);
            w.form->Command6_Click();
            repaintNow(w.box());
        });
        if (w.failed() || w.box().text() != base)
            std::fprintf(stderr, "the register of %d entries did not save and open back\n", entries);

        // The first accept after an open writes the register whole: the opened text carries the
        // file's character formats, which an accept drops.
        std::vector<double> afterOpen;
        for (int r = 0; r < rounds; ++r) {
            w.seams->dialog.fileNames.enqueue(f.file);
            w.form->Command6_Click();
            repaintNow(w.box());
            w.type(next++);
            QElapsedTimer timer;
            timer.start();
            w.form->Command1_Click();
            repaintNow(w.box());
            afterOpen.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        f.afterOpen = median(afterOpen);

        f.toRtfDocument = timeRounds(rounds, [&](int) { (void)krambol::reg::toRtfDocument(*w.box().document()); });
    }

    {
        QFile file(f.file);
        if (!file.open(QIODevice::ReadOnly))
            std::fprintf(stderr, "cannot read %s\n", qPrintable(f.file));
        const QByteArray bytes = file.readAll();
        krambol::rtf::ReadResult result;
        f.rtfRead = timeRounds(rounds, [&](int) { result = krambol::rtf::read(bytes); });
        f.rtfWrite = timeRounds(rounds, [&](int) { (void)krambol::rtf::write(result.document); });
    }

    if (!bare)
        return f;
    {
        Window sizing;
        BareEdit bare(sizing.box());
        sizing.form.reset();
        QTextEdit& e = bare.edit;
        e.setPlainText(base);
        repaintNow(e);
        int next = entries;
        f.bareRewrite = timeRounds(rounds, [&](int) {
            e.setPlainText(e.toPlainText() + fullEntry(next++));
            repaintNow(e);
        });
        f.bareAppend = timeRounds(rounds, [&](int) {
            QTextCursor end(e.document());
            end.movePosition(QTextCursor::End);
            end.insertText(fullEntry(next++));
            repaintNow(e);
        });
        f.bareSetWhole = timeRounds(rounds, [&](int r) {
            e.setPlainText(r % 2 ? base : base + fullEntry(next));
            repaintNow(e);
        });

        e.setPlainText(base);
        repaintNow(e);
        const auto writeFile = [](const QString& path, const QByteArray& bytes) {
            QSaveFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        };
        const auto readFile = [](const QString& path) {
            QFile in(path);
            if (!in.open(QIODevice::ReadOnly))
                std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
            return in.readAll();
        };
        f.bareSaveHtml = timeRounds(rounds, [&](int) {
            writeFile(htmlFile, e.toHtml().toUtf8());
            repaintNow(e);
        });
        f.htmlBytes = QFileInfo(htmlFile).size();
        f.bareOpenHtml = timeRounds(rounds, [&](int) {
            e.setHtml(QString::fromUtf8(readFile(htmlFile)));
            repaintNow(e);
        });
        f.bareSavePlain = timeRounds(rounds, [&](int) {
            writeFile(f.plainFile, e.toPlainText().toUtf8());
            repaintNow(e);
        });
        f.bareOpenPlain = timeRounds(rounds, [&](int) {
            e.setPlainText(QString::fromUtf8(readFile(f.plainFile)));
            repaintNow(e);
        });
        if (e.toPlainText() != base)
            std::fprintf(stderr, "the bare editor did not read back %d entries\n", entries);

        const QString html = QString::fromUtf8(readFile(htmlFile));
        QTextDocument doc;
        f.htmlParse = timeRounds(rounds, [&](int) { doc.setHtml(html); });
        f.htmlWrite = timeRounds(rounds, [&](int) { (void)doc.toHtml(); });
    }
    return f;
}

double ratio(double ours, double bare)
{
    return bare > 0 ? ours / bare : 0;
}

void printAccept(const std::vector<SizeFigures>& all, int rounds)
{
    std::printf("\nAccept: one more entry on a register of N entries, until the pane has repainted (median of %d, ms)\n",
                rounds);
    std::printf("(after open = the first Command1_Click after opening the file, which writes the register whole)\n");
    std::printf("%8s %9s | %9s %9s %10s | %9s %9s %9s | %8s %8s | %7s %s\n", "entries", "chars", "Command1", "toolbar",
                "after open", "bare:rw", "bare:app", "bare:set", "C1/rw", "C1/app", "target", "verdict");
    for (const SizeFigures& f : all) {
        const double target = f.entries == 10000 ? kLimitAt10k : f.entries == 100000 ? kLimitAt100k : 0;
        std::printf("%8d %9lld | %9.2f %9.2f %10.2f | %9.2f %9.2f %9.2f | %8.2f %8.2f | ", f.entries,
                    (long long)f.chars, f.command1, f.toolbar, f.afterOpen, f.bareRewrite, f.bareAppend, f.bareSetWhole,
                    ratio(f.command1, f.bareRewrite), ratio(f.command1, f.bareAppend));
        if (target > 0)
            std::printf("%7.0f %s (Command1 %s, toolbar %s, after open %s)\n", target,
                        verdict(std::max({f.command1, f.toolbar, f.afterOpen}), target), verdict(f.command1, target),
                        verdict(f.toolbar, target), verdict(f.afterOpen, target));
        else
            std::printf("%7s -\n", "-");
    }
}

void printFiles(const std::vector<SizeFigures>& all, int rounds)
{
    std::printf("\nSave (Command5_Click) and open (Command6_Click) of the register as a file, until the pane has "
                "repainted (median of %d, ms)\n",
                rounds);
    std::printf("%8s %10s %10s | %9s %9s %9s %9s | %9s %9s %9s %9s | %8s %8s | %s\n", "entries", "krm bytes",
                "html bytes", "save", "bare:html", "bare:txt", "save/html", "open", "bare:html", "bare:txt",
                "open/html", "save<=", "open<=", "verdict");
    for (const SizeFigures& f : all) {
        const bool openTarget = f.entries == 100000;
        std::printf("%8d %10lld %10lld | %9.2f %9.2f %9.2f %9.2f | %9.2f %9.2f %9.2f %9.2f | %8.0f ", f.entries,
                    (long long)f.fileBytes, (long long)f.htmlBytes, f.save, f.bareSaveHtml, f.bareSavePlain,
                    ratio(f.save, f.bareSaveHtml), f.open, f.bareOpenHtml, f.bareOpenPlain,
                    ratio(f.open, f.bareOpenHtml), kSave);
        if (openTarget)
            std::printf("%8.0f | save %s, open %s\n", kOpenAt100k, verdict(f.save, kSave), verdict(f.open, kOpenAt100k));
        else
            std::printf("%8s | save %s\n", "-", verdict(f.save, kSave));
    }
}

void printCodec(const std::vector<SizeFigures>& all, int rounds)
{
    std::printf("\nRTF codec on the saved file, beside Qt's HTML reader and writer on the same register "
                "(median of %d; ms and MB/s of the file read or written)\n",
                rounds);
    std::printf("%8s | %9s %8s %9s %8s %11s | %10s %10s | %8s %8s\n", "entries", "rtf read", "MB/s", "rtf write",
                "MB/s", "toRtfDoc ms", "html parse", "html write", "rd/html", "wr/html");
    for (const SizeFigures& f : all) {
        const double mb = double(f.fileBytes) / 1e6;
        std::printf("%8d | %9.2f %8.1f %9.2f %8.1f %11.2f | %10.2f %10.2f | %8.2f %8.2f\n", f.entries, f.rtfRead,
                    mb / (f.rtfRead / 1e3), f.rtfWrite, mb / (f.rtfWrite / 1e3), f.toRtfDocument, f.htmlParse,
                    f.htmlWrite, ratio(f.rtfRead, f.htmlParse), ratio(f.rtfWrite + f.toRtfDocument, f.htmlWrite));
    }
}

// Child process: open one file into a shown main window (or a bare editor) and report, in kilobytes, the
// peak RSS before and after and the current RSS before and after.
int peakChild(const QString& mode, const QString& path)
{
    long peak[2] = {};
    long rss[2] = {};
    bool ok = true;
    if (mode == u"--peak-open") {
        Window w;
        repaintNow(w.box());
        peak[0] = peakRssKilobytes();
        rss[0] = rssKilobytes();
        w.seams->dialog.fileNames.enqueue(path);
        w.form->Command6_Click();
        repaintNow(w.box());
        peak[1] = peakRssKilobytes();
        rss[1] = rssKilobytes();
        ok = !w.failed() && !w.box().text().isEmpty();
    } else {
        // The same window is made first, so that both processes start from the same peak.
        Window sizing;
        BareEdit bare(sizing.box());
        sizing.form.reset();
        repaintNow(bare.edit);
        peak[0] = peakRssKilobytes();
        rss[0] = rssKilobytes();
        QFile in(path);
        ok = in.open(QIODevice::ReadOnly);
        bare.edit.setPlainText(QString::fromUtf8(in.readAll()));
        repaintNow(bare.edit);
        peak[1] = peakRssKilobytes();
        rss[1] = rssKilobytes();
    }
    std::printf("%ld %ld %ld %ld\n", peak[0], peak[1], rss[0], rss[1]);
    return ok ? 0 : 1;
}

bool runChild(const QStringList& arguments, QByteArray& output, double& milliseconds)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return false;
    milliseconds = double(timer.nsecsElapsed()) / 1e6;
    output = child.readAllStandardOutput();
    return true;
}

void measureMemory(const SizeFigures& f, bool bare)
{
    std::printf("\nPeak memory of a fresh child process that shows the window and opens the file until the pane has "
                "repainted (KB; peak = VmHWM, rss = VmRSS;\nbare:txt = a bare QTextEdit doing setPlainText of "
                "the same text read from a UTF-8 file)\n");
    std::printf("%8s %9s | %10s %10s %10s | %10s %10s %10s | %9s %9s | %s\n", "entries", "file", "ours peak",
                "peak rise", "rss delta", "bare peak", "peak rise", "rss delta", "delta o/b", "limit", "verdict");
    long values[2][4] = {};
    const char* modes[2] = {"--peak-open", "--peak-plain"};
    const QString files[2] = {f.file, f.plainFile};
    for (int i = 0; i < (bare ? 2 : 1); ++i) {
        QByteArray output;
        double ms = 0;
        if (!runChild({QString::fromLatin1(modes[i]), files[i]}, output, ms)
            || std::sscanf(output.constData(), "%ld %ld %ld %ld", &values[i][0], &values[i][1], &values[i][2],
                           &values[i][3])
                != 4) {
            std::printf("the %s child failed\n", modes[i]);
            return;
        }
    }
    const double limit = kMemoryPerFileByte * double(f.fileBytes) / 1024;
    const long ourDelta = values[0][3] - values[0][2];
    const long bareDelta = values[1][3] - values[1][2];
    std::printf("%8d %9lld | %10ld %10ld %10ld | %10ld %10ld %10ld | %9.2f %9.0f | %s%s\n", f.entries,
                (long long)(f.fileBytes / 1024), values[0][1], values[0][1] - values[0][0], ourDelta, values[1][1],
                values[1][1] - values[1][0], bareDelta, ratio(double(ourDelta), double(bareDelta)), limit, verdict(double(values[0][1]), limit),
                f.entries == 100000 ? "" : " (the limit is set for 100 000 entries)");
}

void measureStartup(int rounds)
{
    const QString program = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("bench_startup"));
    std::vector<double> total, inMain, passDone;
    for (int r = 0; r < rounds; ++r) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        child.start(program, {});
        double firstLine = 0;
        QByteArray line;
        while (child.state() != QProcess::NotRunning || child.bytesAvailable() > 0) {
            if (child.canReadLine()) {
                line = child.readLine();
                firstLine = double(timer.nsecsElapsed()) / 1e6;
                break;
            }
            child.waitForReadyRead(100);
        }
        child.waitForFinished(30000);
        double main = 0, done = 0;
        if (line.isEmpty() || std::sscanf(line.constData(), "painted %lf %lf", &main, &done) != 2) {
            std::printf("\nstart-up: %s gave no paint report\n", qPrintable(program));
            return;
        }
        total.push_back(firstLine);
        inMain.push_back(main);
        passDone.push_back(done);
    }
    const double t = median(total);
    std::printf("\nStart-up to Form1's first paint (bench_startup: main() as the application's, %d runs, median ms)\n",
                rounds);
    std::printf("%22s %22s %22s | %7s %s\n", "spawn -> first paint", "main() -> first paint", "main() -> pass done",
                "target", "verdict");
    std::printf("%22.1f %22.1f %22.1f | %7.0f %s\n", t, median(inMain), median(passDone), kStartup,
                verdict(t, kStartup));
}

Options parse(const QStringList& args)
{
    Options o;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == u"--quick") {
            o.sizes = {1000, 10000};
        } else if (a == u"--sizes" && i + 1 < args.size()) {
            o.sizes.clear();
            for (const QString& s : args[++i].split(u','))
                o.sizes.push_back(s.toInt());
        } else if (a == u"--rounds" && i + 1 < args.size()) {
            o.rounds = std::max(1, args[++i].toInt());
        } else if (a == u"--no-startup") {
            o.startup = false;
        } else if (a == u"--no-bare") {
            o.bare = false;
        } else if (a == u"--no-memory") {
            o.memory = false;
        } else if (a == u"--keep-files") {
            o.keepFiles = true;
        } else if (a == u"--profile-accept") {
            o.profileAccept = true;
        } else {
            std::fprintf(stderr,
                         "usage: bench_register [--quick] [--sizes 1000,10000,100000] [--rounds N] [--no-startup] "
                         "[--no-memory] [--no-bare] [--keep-files] [--profile-accept]\n");
            std::exit(2);
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
    if (args.size() == 3 && (args[1] == u"--peak-open" || args[1] == u"--peak-plain"))
        return peakChild(args[1], args[2]);
    const Options options = parse(args);

    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    if (options.keepFiles) {
        dir.setAutoRemove(false);
        std::printf("register files kept in %s\n", qPrintable(dir.path()));
    }
    if (options.profileAccept) {
        Window w;
        const int entries = *std::max_element(options.sizes.begin(), options.sizes.end());
        w.fill(entries);
        const double ms = timeRounds(options.rounds, [&](int r) {
            w.type(entries + r);
            w.form->Command1_Click();
            repaintNow(w.box());
        });
        std::printf("Command1_Click on %d entries: %.2f ms (median of %d)\n", entries, ms, options.rounds);
        return 0;
    }
    const QString loadBefore = loadAverage();
    {
        Window w;
        std::printf("platform %s; window %dx%d, pane %dx%d; %d cores; load average at start %s\n",
                    qPrintable(QGuiApplication::platformName()), w.form->width(), w.form->height(), w.box().width(),
                    w.box().height(), QThread::idealThreadCount(), qPrintable(loadBefore));
    }
    std::printf("bare:rw = setPlainText(toPlainText() + entry); bare:app = insertText at a cursor at the end; "
                "bare:set = setPlainText(whole text)\n");

    std::vector<SizeFigures> all;
    for (int entries : options.sizes)
        all.push_back(measureSize(entries, options.rounds, QDir(dir.path()), options.bare));
    printAccept(all, options.rounds);
    printFiles(all, options.rounds);
    printCodec(all, options.rounds);
    std::fflush(stdout);
    if (options.memory && !all.empty())
        measureMemory(all.back(), options.bare);
    if (options.startup)
        measureStartup(std::max(options.rounds, 5));
    std::printf("\nload average at end %s\n", qPrintable(loadAverage()));
    return 0;
}
