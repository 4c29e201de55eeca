// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the RTF codec alone on a register of 100 000 entries in one paragraph of one font,
// written the way the writer writes it.
//   bench_rtf_codec [ENTRIES] [ROUNDS]
#include "rtf/Reader.h"
#include "rtf/Writer.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace krambol::rtf;

namespace {

Document makeRegister(int entries)
{
    QString text;
    text.reserve(entries * 24);
    for (int i = 0; i < entries; ++i) {
        if (i > 0)
            text += u' ';
        text += u"Иван------------Игра |";
    }
    return Document{{Run{CharFormat{}, text}}};
}

// The same file as a classic rich edit control writes it: non-ASCII text as code page bytes only.
QByteArray withoutUnicode(const QByteArray& rtf)
{
    QByteArray classic;
    classic.reserve(rtf.size());
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\\' && i + 1 < rtf.size() && rtf[i + 1] == 'u' && i + 2 < rtf.size()
            && (rtf[i + 2] == '-' || (rtf[i + 2] >= '0' && rtf[i + 2] <= '9'))) {
            i += 2;
            while (i + 1 < rtf.size() && rtf[i + 1] >= '0' && rtf[i + 1] <= '9')
                ++i;
            continue;
        }
        classic += rtf[i];
    }
    return classic;
}

// The best of several rounds, in seconds: the least disturbed by other work on the machine.
template<typename F>
double best(int rounds, F&& f)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        times.push_back(double(timer.nsecsElapsed()) / 1e9);
    }
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char** argv)
{
    const int entries = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 10;
    const Document document = makeRegister(entries);

    QByteArray rtf;
    const double writeSeconds = best(rounds, [&] { rtf = write(document); });
    ReadResult result;
    const double readSeconds = best(rounds, [&] { result = read(rtf); });
    if (result.error || result.document.plainText() != document.plainText()) {
        std::fprintf(stderr, "the register did not read back\n");
        return 1;
    }

    const QByteArray classic = withoutUnicode(rtf);
    ReadResult classicResult;
    const double classicSeconds = best(rounds, [&] { classicResult = read(classic); });
    if (classicResult.error || classicResult.document.plainText() != document.plainText()) {
        std::fprintf(stderr, "the classic register did not read back\n");
        return 1;
    }

    const double megabytes = double(rtf.size()) / 1e6;
    const double classicMegabytes = double(classic.size()) / 1e6;
    std::printf("register: %d entries, %d characters; best of %d rounds\n", entries,
                int(document.plainText().size()), rounds);
    std::printf("%-34s %8s %10s %10s\n", "", "MB", "ms", "MB/s");
    std::printf("%-34s %8.2f %10.2f %10.1f\n", "write", megabytes, writeSeconds * 1e3, megabytes / writeSeconds);
    std::printf("%-34s %8.2f %10.2f %10.1f\n", "read", megabytes, readSeconds * 1e3, megabytes / readSeconds);
    std::printf("%-34s %8.2f %10.2f %10.1f\n", "read, code page bytes only (\\'hh)", classicMegabytes,
                classicSeconds * 1e3, classicMegabytes / classicSeconds);
    return 0;
}
