// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <initializer_list>
#include <optional>

// The same type as QtGui's QRgb (0xAARRGGBB): the codec links Qt Core only.
typedef unsigned int QRgb;

namespace krambol::rtf {

// The character format of a run as the document shows it.
struct CharFormat {
    QString fontName = QStringLiteral("MS Sans Serif");
    int charset = 204;           // \fcharset of the font
    int halfPoints = 48;         // \fs
    bool bold = false, italic = false, underline = false;
    std::optional<QRgb> color;   // 0xFFRRGGBB; nullopt = auto colour
    friend bool operator==(const CharFormat&, const CharFormat&) = default;
};
size_t qHash(const CharFormat& format, size_t seed = 0);

// One run as a value of its own (to build small documents and to look at one).
// Text conventions inside runs: paragraph break = U+2029, \line = U+2028, tab = '\t'.
// The control's built-in final paragraph mark (the trailing \par) is not part of the text.
struct Run {
    CharFormat format;
    QString text;
    friend bool operator==(const Run&, const Run&) = default;
};

// Text with its formats, held compactly whatever the number of runs: the text of all runs in one string,
// each distinct format once, and for each run where its text ends and which format it has (8 bytes).
// Neighbouring runs never have equal formats, and no run is empty.
class Document
{
public:
    struct Span {
        qint32 end;      // the run's text ends here in text()
        qint32 format;   // index into formats()
        friend bool operator==(const Span&, const Span&) = default;
    };

    Document() = default;
    Document(std::initializer_list<Run> runs);
    // The parts as they are (for a reader that has built them): spans must follow the rules above.
    Document(QString text, QList<CharFormat> formats, QList<Span> spans);

    // Adds a format to the table and gives its index; equal formats may be added more than once.
    int addFormat(const CharFormat& format);
    // Appends text in a format of the table; text in the last run's format (or an equal one) extends it.
    void append(int format, QStringView text);
    // The same for a format given by value: it is added to the table unless the last run has it.
    void append(const CharFormat& format, QStringView text);

    bool isEmpty() const { return m_spans.isEmpty(); }
    qsizetype runCount() const { return m_spans.size(); }
    qsizetype runStart(qsizetype run) const { return run == 0 ? 0 : m_spans.at(run - 1).end; }
    QStringView runText(qsizetype run) const;
    const CharFormat& runFormat(qsizetype run) const { return m_formats.at(m_spans.at(run).format); }
    int runFormatIndex(qsizetype run) const { return m_spans.at(run).format; }
    // The runs as values (a copy: for tests and small documents).
    QList<Run> runs() const;

    // The text of all runs, with the conventions above.
    const QString& text() const { return m_text; }
    const QList<CharFormat>& formats() const { return m_formats; }
    // The text of all runs, with paragraph breaks and line breaks as '\n'.
    QString plainText() const;

    // Same text in the same formats, run for run (however the format tables are ordered).
    friend bool operator==(const Document& a, const Document& b);

private:
    QString m_text;
    QList<CharFormat> m_formats;
    QList<Span> m_spans;
};

} // namespace krambol::rtf
