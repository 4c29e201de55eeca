// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/Reader.h"

#include "rtf/CodePages.h"
#include "rtf/Tokenizer.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <vector>

namespace krambol::rtf {

namespace {

// Groups nested deeper than this are read as if they were skipped destinations: the state stack
// stays small whatever the input.
constexpr int maxDepth = 1024;
constexpr int maxFallbackLength = 16;
constexpr char16_t replacementCharacter = 0xFFFD;

enum class Destination : quint8 {
    Body,        // document text
    Skip,        // not part of the text
    UprSkip,     // the ANSI half of \upr: skipped, but its \ud part is read
    FontTable,
    ColorTable,
};

struct State {
    Destination destination = Destination::Body;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hidden = false;
    int font = -1;        // font number; -1 = the default font (\deff)
    int halfPoints = 24;
    int color = 0;        // index into the colour table
    int fallbackLength = 1;   // \uc
};

struct RunKey {
    int font = -1;
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
    friend bool operator==(const RunKey&, const RunKey&) = default;
};

size_t qHash(const RunKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.font, key.halfPoints, key.bold, key.italic, key.underline, key.color);
}

struct Font {
    int charset = -1;
    QString name;   // shared by every format in this font
};

// A colour table entry that has a colour (the others are the auto colour).
struct Color {
    int index;
    QRgb rgb;
};

class DocumentBuilder final : public TokenListener
{
public:
    DocumentBuilder(qsizetype inputSize, const Budget& budget)
        : m_budget(budget), m_budgetLeft(budget.allowance + qsizetype(budget.perInputByte) * inputSize)
    {
        m_stack.reserve(64);
        m_stack.push_back(State{});
        // A document has no more characters than bytes; reserving spares the copies of growing, and
        // pages that are never written are never touched.
        m_text.reserve(inputSize);
    }

    // The budget has run out: the tokenizer stops, and the document is refused.
    bool stopped() const { return m_budgetLeft < 0; }

    void groupStart() override;
    void groupEnd() override;
    void controlWord(ControlWord word, bool hasParameter, int parameter) override;
    void controlSymbol(char symbol) override;
    void hexByte(int byte) override;
    void text(QByteArrayView bytes) override;
    void binary(QByteArrayView bytes) override;

    Document finish();

private:
    State& state() { return m_stack.back(); }
    bool skipsFallback()
    {
        if (m_fallbackLeft == 0)
            return false;
        --m_fallbackLeft;
        return true;
    }
    void skipGroup();
    void bodyWord(ControlWord word, bool hasParameter, int parameter);
    void fontTableWord(ControlWord word, bool hasParameter, int parameter);
    void appendCharacter(char16_t c);
    void appendUnicode(int parameter);
    void formatChanged() { m_formatChanged = true; }
    void ensureRun();
    void resolveHighSurrogate();
    void flushBytes();
    void finishFont();
    QStringDecoder& decoderFor(int codePage);
    int codePageOfFont(int number);
    const Font* font(int number) const;
    void spend(qsizetype cost) { m_budgetLeft -= cost; }
    int keyIndex(const RunKey& key);
    void closeRun();

    std::vector<State> m_stack;
    int m_overflow = 0;         // groups deeper than maxDepth still open
    bool m_star = false;        // \* seen: the next control word decides whether the group is skipped
    int m_fallbackLeft = 0;     // characters still to skip after \u
    int m_ansiCodePage = 1252;
    int m_defaultFont = 0;

    const Budget m_budget;
    qsizetype m_budgetLeft;

    QHash<int, Font> m_fonts;
    bool m_readingFont = false; // a font table entry's name is being read
    int m_fontBeingRead = 0;    // its font number
    QString m_fontName;
    QByteArray m_fontNameBytes;

    QList<Color> m_colors;
    int m_colorCount = 0;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorHasComponent = false;

    // The text of all runs; a run is its end in m_text and the index of its key in m_keys.
    QString m_text;
    QList<Document::Span> m_runs;
    QList<RunKey> m_keys;
    QHash<RunKey, int> m_keyIndex;
    RunKey m_runKey;
    bool m_formatChanged = true;
    std::string m_bytes;        // 8-bit text waiting to be decoded with the current code page
    char16_t m_highSurrogate = 0;
    std::map<int, QStringDecoder> m_decoders;
    int m_cachedFont = INT_MIN;
    int m_cachedCodePage = 0;
};

void DocumentBuilder::groupStart()
{
    flushBytes();
    m_fallbackLeft = 0;
    m_star = false;
    if (m_overflow > 0 || int(m_stack.size()) >= maxDepth) {
        ++m_overflow;
        return;
    }
    m_stack.push_back(m_stack.back());
}

void DocumentBuilder::groupEnd()
{
    flushBytes();
    m_fallbackLeft = 0;
    m_star = false;
    if (m_overflow > 0) {
        --m_overflow;
        return;
    }
    if (state().destination == Destination::FontTable)
        finishFont();
    if (m_stack.size() > 1)
        m_stack.pop_back();
    formatChanged();
}

void DocumentBuilder::skipGroup()
{
    m_star = false;
    state().destination = Destination::Skip;
}

void DocumentBuilder::controlWord(ControlWord word, bool hasParameter, int parameter)
{
    if (m_overflow > 0)
        return;
    flushBytes();
    if (m_star && word != ControlWord::Ud) {
        skipGroup();
        return;
    }
    m_star = false;
    if (skipsFallback())
        return;
    switch (state().destination) {
    case Destination::Skip:
        return;
    case Destination::UprSkip:
        if (word == ControlWord::Ud)
            state().destination = Destination::Body;
        return;
    case Destination::FontTable:
        fontTableWord(word, hasParameter, parameter);
        return;
    case Destination::ColorTable:
        if (word == ControlWord::Red || word == ControlWord::Green || word == ControlWord::Blue) {
            const int value = qBound(0, parameter, 255);
            (word == ControlWord::Red ? m_red : word == ControlWord::Green ? m_green : m_blue) = value;
            m_colorHasComponent = true;
        }
        return;
    case Destination::Body:
        bodyWord(word, hasParameter, parameter);
        return;
    }
}

void DocumentBuilder::fontTableWord(ControlWord word, bool hasParameter, int parameter)
{
    Q_UNUSED(hasParameter);
    switch (word) {
    case ControlWord::F:
        finishFont();
        m_readingFont = true;
        m_fontBeingRead = parameter;
        if (!m_fonts.contains(parameter))
            spend(m_budget.perFont);
        m_fonts.insert(parameter, Font{});
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::Fcharset:
        if (m_readingFont)
            m_fonts[m_fontBeingRead].charset = parameter;
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::U:
        if (m_readingFont) {
            m_fontName += decoderFor(codePageOfFont(m_fontBeingRead))(m_fontNameBytes);
            m_fontNameBytes.clear();
            const int value = parameter < 0 ? parameter + 0x10000 : parameter;
            if (value >= 0x20 && value <= 0xFFFF)
                m_fontName += QChar(char16_t(value));
        }
        m_fallbackLeft = state().fallbackLength;
        break;
    case ControlWord::Uc:
        state().fallbackLength = qBound(0, parameter, maxFallbackLength);
        break;
    default:
        break;
    }
}

void DocumentBuilder::bodyWord(ControlWord word, bool hasParameter, int parameter)
{
    State& s = state();
    const bool on = !hasParameter || parameter != 0;
    switch (word) {
    case ControlWord::Unknown:
    case ControlWord::Rtf:
    case ControlWord::Fcharset:
    case ControlWord::Red:
    case ControlWord::Green:
    case ControlWord::Blue:
    case ControlWord::Ud:
    case ControlWord::Pard:
    case ControlWord::Bin:
        break;
    case ControlWord::Ansi:
        m_ansiCodePage = 1252;
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::Mac:
        m_ansiCodePage = 10000;
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::Pc:
        m_ansiCodePage = 437;
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::Pca:
        m_ansiCodePage = 850;
        m_cachedFont = INT_MIN;
        break;
    case ControlWord::Ansicpg:
        // An unknown or invalid code page (\ansicpg0) leaves the one in force.
        if (parameter > 0 && parameter < 100000
            && QStringDecoder(codecNameForCodePage(parameter).constData()).isValid()) {
            m_ansiCodePage = parameter;
            m_cachedFont = INT_MIN;
        }
        break;
    case ControlWord::Deff:
        m_defaultFont = parameter;
        m_cachedFont = INT_MIN;
        formatChanged();
        break;
    case ControlWord::Fonttbl:
        s.destination = Destination::FontTable;
        break;
    case ControlWord::Colortbl:
        s.destination = Destination::ColorTable;
        m_red = m_green = m_blue = 0;
        m_colorHasComponent = false;
        break;
    case ControlWord::SkipDestination:
        s.destination = Destination::Skip;
        break;
    case ControlWord::Upr:
        s.destination = Destination::UprSkip;
        break;
    case ControlWord::U:
        appendUnicode(parameter);
        m_fallbackLeft = s.fallbackLength;
        break;
    case ControlWord::Uc:
        s.fallbackLength = qBound(0, parameter, maxFallbackLength);
        break;
    case ControlWord::Plain:
        s.bold = s.italic = s.underline = s.hidden = false;
        s.font = -1;
        s.halfPoints = 24;
        s.color = 0;
        formatChanged();
        break;
    case ControlWord::F:
        s.font = parameter;
        formatChanged();
        break;
    case ControlWord::Fs:
        s.halfPoints = hasParameter ? qBound(1, parameter, 3276) : 24;
        formatChanged();
        break;
    case ControlWord::B:
        s.bold = on;
        formatChanged();
        break;
    case ControlWord::I:
        s.italic = on;
        formatChanged();
        break;
    case ControlWord::Ul:
        s.underline = on;
        formatChanged();
        break;
    case ControlWord::Ulnone:
        s.underline = false;
        formatChanged();
        break;
    case ControlWord::Cf:
        s.color = qMax(0, parameter);
        formatChanged();
        break;
    case ControlWord::V:
        s.hidden = on;
        break;
    case ControlWord::Par:
    case ControlWord::Row:
        appendCharacter(QChar::ParagraphSeparator);
        break;
    case ControlWord::Line:
        appendCharacter(QChar::LineSeparator);
        break;
    case ControlWord::Tab:
    case ControlWord::Cell:
        appendCharacter(u'\t');
        break;
    case ControlWord::Emdash: appendCharacter(u'\u2014'); break;
    case ControlWord::Endash: appendCharacter(u'\u2013'); break;
    case ControlWord::Emspace: appendCharacter(u'\u2003'); break;
    case ControlWord::Enspace: appendCharacter(u'\u2002'); break;
    case ControlWord::Qmspace: appendCharacter(u'\u2005'); break;
    case ControlWord::Bullet: appendCharacter(u'\u2022'); break;
    case ControlWord::Lquote: appendCharacter(u'\u2018'); break;
    case ControlWord::Rquote: appendCharacter(u'\u2019'); break;
    case ControlWord::Ldblquote: appendCharacter(u'\u201C'); break;
    case ControlWord::Rdblquote: appendCharacter(u'\u201D'); break;
    }
}

void DocumentBuilder::controlSymbol(char symbol)
{
    if (m_overflow > 0)
        return;
    flushBytes();
    if (symbol == '*') {
        m_star = true;
        return;
    }
    if (m_star) {
        skipGroup();
        return;
    }
    if (skipsFallback())
        return;
    const Destination destination = state().destination;
    if (destination == Destination::FontTable && m_readingFont && (symbol == '{' || symbol == '}' || symbol == '\\')) {
        m_fontNameBytes += symbol;
        return;
    }
    if (destination != Destination::Body)
        return;
    switch (symbol) {
    case '~': appendCharacter(u'\u00A0'); break;
    case '-': appendCharacter(u'\u00AD'); break;
    case '_': appendCharacter(u'\u2011'); break;
    case '{':
    case '}':
    case '\\':
        appendCharacter(char16_t(symbol));
        break;
    case '\n':
        appendCharacter(QChar::ParagraphSeparator);
        break;
    default:
        break;
    }
}

void DocumentBuilder::hexByte(int byte)
{
    if (m_overflow > 0)
        return;
    if (m_star) {
        skipGroup();
        return;
    }
    if (skipsFallback() || byte < 0)
        return;
    const State& s = state();
    if (s.destination == Destination::Body && !s.hidden)
        m_bytes.push_back(char(byte));
    else if (s.destination == Destination::FontTable && m_readingFont)
        m_fontNameBytes += char(byte);
}

void DocumentBuilder::text(QByteArrayView bytes)
{
    if (m_overflow > 0)
        return;
    if (m_star) {
        skipGroup();
        return;
    }
    if (m_fallbackLeft > 0) {
        const qsizetype skipped = qMin<qsizetype>(m_fallbackLeft, bytes.size());
        m_fallbackLeft -= int(skipped);
        bytes = bytes.sliced(skipped);
        if (bytes.isEmpty())
            return;
    }
    const State& s = state();
    switch (s.destination) {
    case Destination::Body: {
        if (s.hidden)
            return;
        if (m_bytes.empty()) {
            bool ascii = true;
            for (const char c : bytes)
                ascii &= static_cast<unsigned char>(c) < 0x80;
            if (ascii) {
                ensureRun();
                resolveHighSurrogate();
                const qsizetype old = m_text.size();
                m_text.resize(old + bytes.size());
                QChar* out = m_text.data() + old;
                for (const char c : bytes)
                    *out++ = QLatin1Char(c);
                spend(m_budget.perCharacter * bytes.size());
                return;
            }
        }
        m_bytes.append(bytes.data(), std::size_t(bytes.size()));
        return;
    }
    case Destination::FontTable:
        for (const char c : bytes) {
            if (c == ';')
                finishFont();
            else if (m_readingFont)
                m_fontNameBytes += c;
        }
        return;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            if (m_colorHasComponent) {
                m_colors.append(Color{m_colorCount, QRgb(0xFF000000u | unsigned(m_red) << 16 | unsigned(m_green) << 8 | unsigned(m_blue))});
                spend(m_budget.perColor);
            }
            if (m_colorCount < INT_MAX)
                ++m_colorCount;
            m_red = m_green = m_blue = 0;
            m_colorHasComponent = false;
        }
        return;
    case Destination::Skip:
    case Destination::UprSkip:
        return;
    }
}

void DocumentBuilder::binary(QByteArrayView bytes)
{
    Q_UNUSED(bytes);
    if (m_overflow > 0)
        return;
    flushBytes();
    m_star = false;
    skipsFallback();
}

void DocumentBuilder::appendUnicode(int parameter)
{
    // Parameters are signed 16-bit: \u-3913 is U+F0B7.
    int value = parameter < 0 ? parameter + 0x10000 : parameter;
    if (value < 0 || value > 0xFFFF)
        value = replacementCharacter;
    if (value != 0)
        appendCharacter(char16_t(value));
}

void DocumentBuilder::appendCharacter(char16_t c)
{
    // Most characters need none of the work below.
    if (!m_formatChanged && m_highSurrogate == 0 && m_bytes.empty() && !QChar::isSurrogate(c) && !state().hidden) {
        m_text.append(QChar(c));
        spend(c == QChar::ParagraphSeparator ? m_budget.perCharacter + m_budget.perParagraph : m_budget.perCharacter);
        return;
    }
    if (state().hidden)
        return;
    flushBytes();
    ensureRun();
    if (m_highSurrogate != 0) {
        if (QChar::isLowSurrogate(c)) {
            m_text.append(QChar(m_highSurrogate));
            m_text.append(QChar(c));
            m_highSurrogate = 0;
            spend(2 * m_budget.perCharacter);
            return;
        }
        resolveHighSurrogate();
    }
    if (QChar::isHighSurrogate(c)) {
        m_highSurrogate = c;
        return;
    }
    m_text.append(QChar(QChar::isLowSurrogate(c) ? replacementCharacter : c));
    spend(c == QChar::ParagraphSeparator ? m_budget.perCharacter + m_budget.perParagraph : m_budget.perCharacter);
}

void DocumentBuilder::resolveHighSurrogate()
{
    if (m_highSurrogate != 0) {
        m_text.append(QChar(replacementCharacter));
        m_highSurrogate = 0;
        spend(m_budget.perCharacter);
    }
}

void DocumentBuilder::ensureRun()
{
    if (!m_formatChanged)
        return;
    m_formatChanged = false;
    const State& s = state();
    const RunKey key{s.font == -1 ? m_defaultFont : s.font, s.halfPoints, s.bold, s.italic, s.underline, s.color};
    if (key == m_runKey)
        return;
    resolveHighSurrogate();
    closeRun();
    m_runKey = key;
}

int DocumentBuilder::keyIndex(const RunKey& key)
{
    const auto it = m_keyIndex.constFind(key);
    if (it != m_keyIndex.cend())
        return *it;
    m_keys.append(key);
    m_keyIndex.insert(key, int(m_keys.size() - 1));
    spend(m_budget.perFormat);
    return int(m_keys.size() - 1);
}

// Ends the run being read (text since the last run's end) in the current key.
void DocumentBuilder::closeRun()
{
    const qsizetype start = m_runs.isEmpty() ? 0 : m_runs.back().end;
    if (m_text.size() == start)
        return;
    const int key = keyIndex(m_runKey);
    if (!m_runs.isEmpty() && m_runs.back().format == key) {
        m_runs.back().end = qint32(m_text.size());
        return;
    }
    m_runs.append(Document::Span{qint32(m_text.size()), qint32(key)});
    spend(m_budget.perRun);
}

void DocumentBuilder::flushBytes()
{
    if (m_bytes.empty())
        return;
    const QString decoded = decoderFor(codePageOfFont(state().font))(QByteArrayView(m_bytes.data(), qsizetype(m_bytes.size())));
    m_bytes.clear();
    ensureRun();
    resolveHighSurrogate();
    // Control bytes carry no text, as in literal text.
    const qsizetype old = m_text.size();
    m_text.resize(old + decoded.size());
    QChar* out = m_text.data() + old;
    for (const QChar c : decoded) {
        if (c.unicode() >= 0x20 || c == u'\t')
            *out++ = c;
    }
    m_text.resize(out - m_text.data());
    spend(m_budget.perCharacter * (m_text.size() - old));
}

void DocumentBuilder::finishFont()
{
    if (!m_readingFont)
        return;
    m_readingFont = false;
    QString name = m_fontName + decoderFor(codePageOfFont(m_fontBeingRead))(m_fontNameBytes);
    // A name is one line of printable characters.
    name.removeIf([](QChar c) { return c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator; });
    m_fonts[m_fontBeingRead].name = name.trimmed();
    m_fontName.clear();
    m_fontNameBytes.clear();
}

const Font* DocumentBuilder::font(int number) const
{
    const auto it = m_fonts.constFind(number);
    return it == m_fonts.cend() ? nullptr : &*it;
}

int DocumentBuilder::codePageOfFont(int number)
{
    if (number == -1)
        number = m_defaultFont;
    if (number == m_cachedFont)
        return m_cachedCodePage;
    int codePage = 0;
    if (const Font* f = font(number))
        codePage = codePageForCharset(f->charset);
    if (codePage == 0)
        codePage = m_ansiCodePage;
    m_cachedFont = number;
    m_cachedCodePage = codePage;
    return codePage;
}

QStringDecoder& DocumentBuilder::decoderFor(int codePage)
{
    auto it = m_decoders.find(codePage);
    if (it == m_decoders.end()) {
        QStringDecoder decoder(codecNameForCodePage(codePage).constData(), QStringConverter::Flag::Stateless);
        if (!decoder.isValid())
            decoder = QStringDecoder("windows-1252", QStringConverter::Flag::Stateless);
        if (!decoder.isValid())
            decoder = QStringDecoder(QStringConverter::Latin1, QStringConverter::Flag::Stateless);
        it = m_decoders.emplace(codePage, std::move(decoder)).first;
    }
    return it->second;
}

Document DocumentBuilder::finish()
{
    flushBytes();
    resolveHighSurrogate();
    closeRun();
    // The last paragraph mark is the document's own end, not an empty paragraph after the text.
    if (!m_runs.isEmpty() && m_text.endsWith(QChar::ParagraphSeparator)) {
        m_text.chop(1);
        if (--m_runs.back().end == (m_runs.size() > 1 ? m_runs[m_runs.size() - 2].end : 0))
            m_runs.pop_back();
    }
    m_text.squeeze();

    // Each key's format. Keys that show alike (an unknown font and the default one) give equal formats,
    // and neighbouring runs in equal formats are one run.
    m_keyIndex = {};
    QList<CharFormat> formats;
    formats.reserve(m_keys.size());
    for (const RunKey& key : std::as_const(m_keys)) {
        CharFormat format;
        if (const Font* f = font(key.font)) {
            if (!f->name.isEmpty())
                format.fontName = f->name;
            format.charset = f->charset >= 0 ? f->charset : 1;
        }
        format.halfPoints = key.halfPoints;
        format.bold = key.bold;
        format.italic = key.italic;
        format.underline = key.underline;
        const auto color = std::lower_bound(m_colors.cbegin(), m_colors.cend(), key.color,
                                            [](const Color& c, int index) { return c.index < index; });
        if (color != m_colors.cend() && color->index == key.color)
            format.color = color->rgb;
        formats.append(std::move(format));
    }
    m_keys = {};
    qsizetype kept = 0;
    for (const Document::Span& run : std::as_const(m_runs)) {
        if (kept > 0 && formats.at(m_runs[kept - 1].format) == formats.at(run.format))
            m_runs[kept - 1].end = run.end;
        else
            m_runs[kept++] = run;
    }
    m_runs.resize(kept);
    m_runs.squeeze();
    return Document(std::move(m_text), std::move(formats), std::move(m_runs));
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

} // namespace

ReadResult read(QByteArrayView rtf, const Budget& budget)
{
    // Text positions are 32-bit.
    constexpr qsizetype largest = INT_MAX;
    if (rtf.size() > largest)
        return {Document{}, Error{Error::Code::TooLarge, largest}};
    qsizetype start = 0;
    while (start < rtf.size() && isBlank(rtf[start]))
        ++start;
    if (start == rtf.size())
        return {Document{}, Error{Error::Code::Empty, 0}};
    if (!rtf.sliced(start).startsWith("{\\rtf"))
        return {Document{}, Error{Error::Code::NotRtf, start}};

    DocumentBuilder builder(rtf.size(), budget);
    const Tokenizer::Result result = Tokenizer::run(rtf.sliced(start), builder);
    if (builder.stopped())
        return {Document{}, Error{Error::Code::TooComplex, start + result.end}};
    ReadResult read{builder.finish(), std::nullopt};
    if (result.openGroups > 0)
        read.error = Error{Error::Code::UnexpectedEnd, rtf.size()};
    return read;
}

} // namespace krambol::rtf
