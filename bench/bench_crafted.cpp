// SPDX-License-Identifier: GPL-3.0-or-later
// Crafted register files against the reading bounds: time linear in the file's size and a rise of peak
// memory of at most 10 × the file's size (plus a few fixed megabytes), for the codec alone (rtf::read of the
// file's bytes) and for the program (Form1's open until the pane has repainted). Each row is one file, opened
// in a fresh child process so that its peak is its own. A file the program refuses shows its reason instead
// of a failure: refusing is the bound's answer to a structure that cannot be shown within it.
//
//   bench_crafted [--quick] [--kinds fonts,runs,...] [--scale N]   (N multiplies every size; default 1)
//   bench_crafted --child codec|open FILE                           (one reading, as the rows do it)
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM says otherwise and DISPLAY is set.
#include "BenchSupport.h"
#include "ProcessMemory.h"
#include "register/RichTextDocument.h"
#include "rtf/Reader.h"
#include "shell/Form1.h"
#include "support/ScriptedServices.h"
#include "textpane/RichTextBox.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

using krambol::shell::Form1;
using krambol::testing::ScriptedServices;

namespace {

constexpr double kMemoryPerFileByte = 10;
constexpr double kFixedKilobytes = 8 * 1024;   // the "few fixed megabytes" beside the multiple
// Time per megabyte of the largest file over that of the smallest: above this, reading is not linear.
constexpr double kLinearSlack = 2.0;

using krambol::bench::peakRssKilobytes;

// One kind of crafted file: a header, a body of `units` repetitions, an end.
struct Kind
{
    const char* name;
    const char* what;
    std::function<QByteArray(qsizetype bytes)> make;
};

const QByteArray kHeader = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049");

// Repeats piece(i) until the file holds about `bytes` bytes, between head and tail.
QByteArray fill(qsizetype bytes, const QByteArray& head, const std::function<QByteArray(int)>& piece,
                const QByteArray& tail)
{
    QByteArray out;
    out.reserve(bytes + 4096);
    out += head;
    for (int i = 0; out.size() + tail.size() < bytes; ++i)
        out += piece(i);
    out += tail;
    return out;
}

std::vector<Kind> kinds()
{
    return {
        {"register", "entries as the program writes them (95 bytes of RTF each)",
         [](qsizetype bytes) {
             return fill(bytes,
                         kHeader + "{\\fonttbl{\\f0\\fnil\\fcharset204 MS Sans Serif;}}\r\n\\viewkind4\\uc1\\pard\\lang1049\\f0\\fs48 ",
                         [](int i) {
                             return QByteArray("\\b\\'c8\\'e2\\'e0\\'ed ") + QByteArray::number(i)
                                 + "\\b0 ------------\\'c8\\'e3\\'f0\\'e0 12.03.2004 |\\par\r\n";
                         },
                         "}\r\n");
         }},
        {"fonts", "distinct fonts as a word processor lists them, each used once (130 bytes a font)",
         [](qsizetype bytes) {
             const int fonts = int(bytes / 130);
             QByteArray out = kHeader + "{\\fonttbl";
             for (int i = 0; i < fonts; ++i)
                 out += "{\\f" + QByteArray::number(i) + "\\fswiss\\fcharset204\\fprq2{\\*\\panose 020b0604020202020204}Font "
                     + QByteArray::number(i) + "{\\*\\falt Font " + QByteArray::number(i) + "};}";
             out += "}\r\n";
             for (int i = 0; i < fonts; ++i)
                 out += "{\\f" + QByteArray::number(i) + " Text " + QByteArray::number(i) + "}\r\n";
             return out + "}";
         }},
        {"fonts-dense", "distinct fonts in the fewest bytes, each used once: {\\fN ...;} and {\\fN x} (65 bytes a font)",
         [](qsizetype bytes) {
             const int fonts = int(bytes / 65);
             QByteArray out = kHeader + "{\\fonttbl";
             for (int i = 0; i < fonts; ++i)
                 out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset204 Font " + QByteArray::number(i) + ";}";
             out += "}\r\n";
             for (int i = 0; i < fonts; ++i)
                 out += "{\\f" + QByteArray::number(i) + " Text " + QByteArray::number(i) + "}\r\n";
             return out + "}";
         }},
        {"runs", "{\\b a}a repeated: one run every 3.5 bytes",
         [](qsizetype bytes) { return fill(bytes, kHeader + " ", [](int) { return QByteArray("{\\b a}a"); }, "}"); }},
        {"formats", "distinct formats {\\fsN\\cfM a}, each used once",
         [](qsizetype bytes) {
             QByteArray head = kHeader + "{\\colortbl;";
             for (int i = 0; i < 256; ++i)
                 head += "\\red" + QByteArray::number(i) + "\\green0\\blue0;";
             return fill(bytes, head + "}",
                         [](int i) {
                             return "{\\fs" + QByteArray::number(1 + i % 3276) + "\\cf" + QByteArray::number(1 + i / 3276 % 256)
                                 + (i / 3276 / 256 % 2 ? "\\b" : "") + " a}";
                         },
                         "}");
         }},
        {"paragraphs", "\\par repeated: one paragraph every 5 bytes",
         [](qsizetype bytes) { return fill(bytes, kHeader + " ", [](int) { return QByteArray("\\par\n"); }, "}"); }},
        {"lines", "a\\line repeated: one line break every 7 bytes",
         [](qsizetype bytes) { return fill(bytes, kHeader + " ", [](int) { return QByteArray("a\\line\n"); }, "}"); }},
        {"text", "plain ASCII text: one character a byte",
         [](qsizetype bytes) {
             return fill(bytes, kHeader + " ", [](int) { return QByteArray("abcdefghijklmnopqrstuvwxyz0123456789 "); }, "}");
         }},
        {"colortable", "a colour table of ';' only",
         [](qsizetype bytes) { return fill(bytes, kHeader + "{\\colortbl", [](int) { return QByteArray(64, ';'); }, "} a}"); }},
        {"fonttable", "a font table of \\fN; entries, none used",
         [](qsizetype bytes) {
             return fill(bytes, kHeader + "{\\fonttbl", [](int i) { return "\\f" + QByteArray::number(i) + ";"; }, "} a}");
         }},
        {"groups", "{} repeated: empty groups",
         [](qsizetype bytes) { return fill(bytes, kHeader + " ", [](int) { return QByteArray(64, '{') + QByteArray(64, '}'); }, "}"); }},
    };
}

// Child: one reading of the file; prints milliseconds, the rise of peak memory in kilobytes, and the
// outcome (ok, or the reason of a refusal).
int child(const QString& mode, const QString& path)
{
    QElapsedTimer timer;
    QString outcome = QStringLiteral("ok");
    long before = 0, after = 0;
    if (mode == u"document" || mode == u"codec") {
        // The codec alone, or the codec and the text document without the window: where the program's
        // memory goes.
        before = peakRssKilobytes();
        timer.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return 1;
        const krambol::rtf::ReadResult result = krambol::rtf::read(file.readAll());
        if (mode == u"document") {
            QTextDocument document;
            QTextCursor cursor(&document);
            krambol::reg::insertRtfDocument(cursor, result.document);
        }
        if (result.error)
            outcome = result.error->message();
        after = peakRssKilobytes();
    } else {
        ScriptedServices seams;
        Form1 form(seams.services());
        form.show();
        if (!QTest::qWaitForWindowExposed(&form))
            std::fprintf(stderr, "the main window was not exposed\n");
        QCoreApplication::processEvents();
        before = peakRssKilobytes();
        timer.start();
        seams.dialog.fileNames.enqueue(path);
        form.Command6_Click();
        QCoreApplication::processEvents();
        form.controls().Box->viewport()->repaint();
        after = peakRssKilobytes();
        if (!seams.messages.calls.isEmpty())
            outcome = seams.messages.calls.back().text.simplified();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    std::printf("%.1f %ld %s\n", ms, after - before, outcome.toUtf8().constData());
    return 0;
}

struct Row
{
    bool ran = false;
    double ms = 0;
    long riseKb = 0;
    QString outcome;
};

Row runChild(const QString& mode, const QString& path)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode, path});
    Row row;
    if (!process.waitForFinished(600000) || process.exitCode() != 0)
        return row;
    const QString line = QString::fromUtf8(process.readAllStandardOutput()).trimmed();
    const QStringList parts = line.split(u' ');
    if (parts.size() < 3)
        return row;
    row.ran = true;
    row.ms = parts[0].toDouble();
    row.riseKb = parts[1].toLong();
    row.outcome = parts.mid(2).join(u' ');
    return row;
}

} // namespace

int main(int argc, char* argv[])
{
    krambol::bench::preferOffscreen();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == u"--child")
        return child(args[2], args[3]);

    std::vector<qsizetype> sizes{qsizetype(1) << 20, qsizetype(4) << 20, qsizetype(16) << 20};
    QStringList only;
    double scale = 1;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == u"--quick")
            sizes = {qsizetype(1) << 20, qsizetype(4) << 20};
        else if (args[i] == u"--kinds" && i + 1 < args.size())
            only = args[++i].split(u',');
        else if (args[i] == u"--scale" && i + 1 < args.size())
            scale = args[++i].toDouble();
        else {
            std::fprintf(stderr, "usage: bench_crafted [--quick] [--kinds fonts,runs,...] [--scale N]\n");
            return 2;
        }
    }
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;

    std::printf("Crafted files: time and rise of peak memory (VmHWM) while reading, beside the file's size.\n"
                "codec = rtf::read of the bytes read from the file; program = Form1's open until the pane has "
                "repainted.\nverdict: rise <= %.0f x size + %.0f MB, and time per MB within %.1f x of the "
                "smallest file's (linear)\n",
                kMemoryPerFileByte, kFixedKilobytes / 1024, kLinearSlack);
    for (const Kind& kind : kinds()) {
        if (!only.isEmpty() && !only.contains(QString::fromLatin1(kind.name)))
            continue;
        std::printf("\n%s: %s\n", kind.name, kind.what);
        std::printf("%10s | %10s %10s %7s | %10s %10s %7s | %-7s | %s\n", "file KB", "codec ms", "rise KB", "x size",
                    "open ms", "rise KB", "x size", "verdict", "program's outcome");
        double firstPerMb[2] = {0, 0};
        for (const qsizetype size : sizes) {
            const QByteArray bytes = kind.make(qsizetype(double(size) * scale));
            const QString path = QDir(dir.path()).filePath(QString::fromLatin1(kind.name) + QStringLiteral(".krm"));
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
                return 1;
            out.close();
            const Row rows[2] = {runChild(QStringLiteral("codec"), path), runChild(QStringLiteral("open"), path)};
            const double mb = double(bytes.size()) / (1 << 20);
            bool pass = rows[0].ran && rows[1].ran;
            for (int i = 0; i < 2 && pass; ++i) {
                pass = double(rows[i].riseKb) <= kMemoryPerFileByte * double(bytes.size()) / 1024 + kFixedKilobytes;
                const double perMb = rows[i].ms / mb;
                if (firstPerMb[i] == 0)
                    firstPerMb[i] = std::max(perMb, 1.0);   // a millisecond a megabyte is linear enough
                else
                    pass = pass && perMb <= kLinearSlack * firstPerMb[i];
            }
            std::printf("%10lld | %10.1f %10ld %7.2f | %10.1f %10ld %7.2f | %-7s | %s\n", (long long)(bytes.size() / 1024),
                        rows[0].ms, rows[0].riseKb, double(rows[0].riseKb) * 1024 / double(bytes.size()), rows[1].ms,
                        rows[1].riseKb, double(rows[1].riseKb) * 1024 / double(bytes.size()), pass ? "PASS" : "FAIL",
                        rows[1].ran ? qPrintable(rows[1].outcome) : "the child failed");
            std::fflush(stdout);
        }
    }
    return 0;
}
