// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/Document.h"

#include <QHashFunctions>

#include <limits>

namespace krambol::rtf {

Document::Document(std::initializer_list<Run> runs)
{
    for (const Run& run : runs)
        append(run.format, run.text);
}

Document::Document(QString text, QList<CharFormat> formats, QList<Span> spans)
    : m_text(std::move(text)), m_formats(std::move(formats)), m_spans(std::move(spans))
{
}

size_t qHash(const CharFormat& format, size_t seed)
{
    return qHashMulti(seed, format.fontName, format.charset, format.halfPoints, format.bold, format.italic,
                      format.underline, format.color.value_or(0), format.color.has_value());
}

int Document::addFormat(const CharFormat& format)
{
    m_formats.append(format);
    return int(m_formats.size() - 1);
}

void Document::append(int format, QStringView text)
{
    if (text.isEmpty())
        return;
    Q_ASSERT(m_text.size() + text.size() <= std::numeric_limits<qint32>::max());
    m_text += text;
    if (!m_spans.isEmpty()
        && (m_spans.back().format == format || m_formats.at(m_spans.back().format) == m_formats.at(format)))
        m_spans.back().end = qint32(m_text.size());
    else
        m_spans.append(Span{qint32(m_text.size()), qint32(format)});
}

void Document::append(const CharFormat& format, QStringView text)
{
    if (text.isEmpty())
        return;
    if (!m_spans.isEmpty() && runFormat(m_spans.size() - 1) == format)
        append(m_spans.back().format, text);
    else
        append(addFormat(format), text);
}

QStringView Document::runText(qsizetype run) const
{
    const qsizetype start = runStart(run);
    return QStringView(m_text).sliced(start, m_spans.at(run).end - start);
}

QList<Run> Document::runs() const
{
    QList<Run> runs;
    runs.reserve(m_spans.size());
    for (qsizetype i = 0; i < m_spans.size(); ++i)
        runs.append(Run{runFormat(i), runText(i).toString()});
    return runs;
}

QString Document::plainText() const
{
    QString text = m_text;
    for (QChar& c : text) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u'\n';
    }
    return text;
}

bool operator==(const Document& a, const Document& b)
{
    if (a.m_text != b.m_text || a.m_spans.size() != b.m_spans.size())
        return false;
    for (qsizetype i = 0; i < a.m_spans.size(); ++i) {
        if (a.m_spans[i].end != b.m_spans[i].end || a.runFormat(i) != b.runFormat(i))
            return false;
    }
    return true;
}

} // namespace krambol::rtf
