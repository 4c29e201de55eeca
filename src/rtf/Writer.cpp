// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/Writer.h"

#include "rtf/CodePages.h"

#include <QHash>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace krambol::rtf {

namespace {

// The code units a one-byte code page has, with their bytes (the last byte of the code page where two
// give the same unit), sorted by unit: 128 entries at most.
class FallbackTable
{
public:
    explicit FallbackTable(std::vector<std::pair<char16_t, unsigned char>> units) : m_units(std::move(units)) {}

    // The byte of a code unit, or 0 when the code page has none.
    unsigned char byteOf(char16_t unit) const
    {
        const auto it = std::lower_bound(m_units.begin(), m_units.end(), unit,
                                         [](const auto& entry, char16_t u) { return entry.first < u; });
        return it != m_units.end() && it->first == unit ? it->second : 0;
    }

private:
    std::vector<std::pair<char16_t, unsigned char>> m_units;
};

std::unique_ptr<FallbackTable> makeFallbackTable(int codePage)
{
    QStringDecoder decoder(codecNameForCodePage(codePage).constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return nullptr;
    std::map<char16_t, unsigned char> units;
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char c = char(byte);
        const QString decoded = decoder(QByteArrayView(&c, 1));
        if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter && decoded[0].unicode() >= 0x80)
            units[decoded[0].unicode()] = static_cast<unsigned char>(byte);
    }
    return std::make_unique<FallbackTable>(std::vector<std::pair<char16_t, unsigned char>>(units.begin(), units.end()));
}

// Tables of the one-byte code pages; multi-byte code pages get none and fall back to '?'.
const FallbackTable* fallbackTable(int codePage)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<FallbackTable>> tables;
    const std::lock_guard lock(mutex);
    auto it = tables.find(codePage);
    if (it == tables.end()) {
        const bool singleByte = codePage != 932 && codePage != 936 && codePage != 949 && codePage != 950;
        it = tables.emplace(codePage, singleByte ? makeFallbackTable(codePage) : nullptr).first;
    }
    return it->second.get();
}

const FallbackTable* fallbackTableForCharset(int charset)
{
    const int codePage = codePageForCharset(charset);
    return fallbackTable(codePage == 0 ? 1251 : codePage);
}

struct FontKey {
    QString name;
    int charset;
    friend bool operator==(const FontKey&, const FontKey&) = default;
};

size_t qHash(const FontKey& key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.charset);
}

// The most bytes one UTF-16 code unit of text takes: \u-32768\'3f.
constexpr qsizetype kMostPerUnit = 12;

// Appends to a buffer sized beforehand; every piece of output knows its largest size. Without a sink
// the buffer grows to hold the whole output; with one, what it holds goes to the sink whenever the next
// piece would not fit, and the buffer is used again.
class Output
{
public:
    explicit Output(qsizetype capacity, const Sink* sink = nullptr) : m_sink(sink)
    {
        m_buffer.resize(capacity);
        m_p = m_buffer.data();
    }

    void ensure(qsizetype more)
    {
        qsizetype used = m_p - m_buffer.data();
        if (used + more <= m_buffer.size())
            return;
        if (m_sink) {
            flush();
            used = 0;
            if (more <= m_buffer.size())
                return;
        }
        m_buffer.resize(qMax(m_buffer.size() * 2, used + more));
        m_p = m_buffer.data() + used;
    }
    // Hands what the buffer holds to the sink; after the sink has said no, nothing more goes to it.
    void flush()
    {
        const qsizetype used = m_p - m_buffer.data();
        if (used > 0 && !m_stopped)
            m_stopped = !(*m_sink)(QByteArrayView(m_buffer.data(), used));
        m_p = m_buffer.data();
    }
    bool stopped() const { return m_stopped; }
    qsizetype room() const { return m_buffer.size() - (m_p - m_buffer.data()); }

    void raw(char c) { *m_p++ = c; }
    void raw(std::string_view s)
    {
        std::memcpy(m_p, s.data(), s.size());
        m_p += s.size();
    }
    void number(int value)
    {
        char digits[12];
        int n = 0;
        const bool negative = value < 0;
        unsigned int u = negative ? 0u - unsigned(value) : unsigned(value);
        do {
            digits[n++] = char('0' + u % 10);
            u /= 10;
        } while (u != 0);
        if (negative)
            *m_p++ = '-';
        while (n > 0)
            *m_p++ = digits[--n];
    }
    // A control word; the delimiter space is added only when the next output needs it.
    void word(std::string_view name)
    {
        raw('\\');
        raw(name);
        m_delimit = true;
    }
    void word(std::string_view name, int parameter)
    {
        word(name);
        number(parameter);
    }
    void endLine()
    {
        raw("\r\n");
        m_delimit = false;
    }
    void hex(unsigned char byte)
    {
        static constexpr char digits[] = "0123456789abcdef";
        raw("\\'");
        raw(digits[byte >> 4]);
        raw(digits[byte & 0xF]);
        m_delimit = false;
    }
    void noDelimiter() { m_delimit = false; }

    // For a loop that writes many pieces itself (after ensure): where the output goes on, and whether the
    // last control word still waits for its delimiter.
    char* position() const { return m_p; }
    bool delimiting() const { return m_delimit; }
    void moveTo(char* p, bool delimit)
    {
        m_p = p;
        m_delimit = delimit;
    }

    QByteArray take()
    {
        m_buffer.truncate(m_p - m_buffer.data());
        return std::move(m_buffer);
    }

private:
    QByteArray m_buffer;
    char* m_p = nullptr;
    bool m_delimit = false;
    const Sink* m_sink = nullptr;
    bool m_stopped = false;
};

// How each ASCII character is written.
enum class Ascii : unsigned char {
    Literal,        // as itself
    Joining,        // as itself, after a space when it follows a control word: a letter, digit, space or hyphen
    Escaped,        // after a backslash: \ { }
    Tab,            // \tab
    Paragraph,      // \par and a line end
    Unicode,        // \uN with '?': control characters
};

constexpr std::array<Ascii, 128> asciiKinds()
{
    std::array<Ascii, 128> kinds{};
    for (int c = 0; c < 128; ++c) {
        if (c < 0x20 || c == 0x7F)
            kinds[c] = Ascii::Unicode;
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-')
            kinds[c] = Ascii::Joining;
        else if (c == '\\' || c == '{' || c == '}')
            kinds[c] = Ascii::Escaped;
        else
            kinds[c] = Ascii::Literal;
    }
    kinds['\t'] = Ascii::Tab;
    kinds['\n'] = Ascii::Paragraph;
    return kinds;
}

constexpr std::array<Ascii, 128> kAscii = asciiKinds();

// The \uN escapes of one fallback code page, each with its one fallback character (\'3f, a '?', where the
// code page has no equivalent: a literal '?' makes pandoc drop a space that follows it). Each block of 256
// code units is made the first time a unit of it is written.
class Escapes
{
public:
    struct Escape {
        char bytes[15];
        unsigned char size;
    };
    static_assert(sizeof(Escape) == 16);

    explicit Escapes(const FallbackTable* fallback) : m_fallback(fallback) {}

    const Escape& of(char16_t c)
    {
        std::unique_ptr<Block>& block = m_blocks[c >> 8];
        if (!block)
            block = make(c >> 8);
        return (*block)[c & 0xFF];
    }

private:
    using Block = std::array<Escape, 256>;

    std::unique_ptr<Block> make(int high) const
    {
        auto block = std::make_unique<Block>();
        for (int low = 0; low < 256; ++low) {
            const char16_t c = char16_t(high << 8 | low);
            const unsigned char byte = m_fallback && c >= 0x80 ? m_fallback->byteOf(c) : 0;
            Escape& e = (*block)[low];
            const std::string text = "\\u" + std::to_string(c >= 0x8000 ? int(c) - 0x10000 : int(c)) + "\\'";
            static constexpr char digits[] = "0123456789abcdef";
            const unsigned char fallback = byte != 0 ? byte : '?';
            std::memcpy(e.bytes, text.data(), text.size());
            e.bytes[text.size()] = digits[fallback >> 4];
            e.bytes[text.size() + 1] = digits[fallback & 0xF];
            e.size = static_cast<unsigned char>(text.size() + 2);
        }
        return block;
    }

    const FallbackTable* m_fallback;
    std::array<std::unique_ptr<Block>, 256> m_blocks;
};

// The escapes of each code page a writing meets, made once for it.
class EscapesByCharset
{
public:
    Escapes& of(int charset)
    {
        const FallbackTable* table = fallbackTableForCharset(charset);
        for (const auto& [t, escapes] : m_escapes)
            if (t == table)
                return *escapes;
        m_escapes.emplace_back(table, std::make_unique<Escapes>(table));
        return *m_escapes.back().second;
    }

private:
    std::vector<std::pair<const FallbackTable*, std::unique_ptr<Escapes>>> m_escapes;
};

// Text of a font name or a run, escaped; every non-ASCII unit as \uN plus its one fallback character. As
// much at a time as the output has room for, and at least a slice, so that with a sink the output never
// needs more room than a slice takes.
void writeText(Output& out, QStringView text, Escapes& escapes)
{
    constexpr qsizetype kSlice = 256;
    // Room for a whole escape copied past the last one.
    constexpr qsizetype kSlack = qsizetype(sizeof(Escapes::Escape));
    for (qsizetype from = 0; from < text.size() && !out.stopped();) {
        const qsizetype left = text.size() - from;
        if ((out.room() - kSlack) / kMostPerUnit < qMin(left, kSlice))
            out.ensure(qMin(left, kSlice) * kMostPerUnit + kSlack);
        const QStringView slice = text.sliced(from, qMin(left, (out.room() - kSlack) / kMostPerUnit));
        from += slice.size();
        char* p = out.position();
        bool delimit = out.delimiting();
        for (const QChar qc : slice) {
            const char16_t c = qc.unicode();
            if (c < 0x80) {
                switch (kAscii[c]) {
                case Ascii::Joining:
                    if (delimit)
                        *p++ = ' ';
                    [[fallthrough]];
                case Ascii::Literal:
                    *p++ = char(c);
                    delimit = false;
                    continue;
                case Ascii::Escaped:
                    *p++ = '\\';
                    *p++ = char(c);
                    delimit = false;
                    continue;
                case Ascii::Tab:
                    std::memcpy(p, "\\tab", 4);
                    p += 4;
                    delimit = true;
                    continue;
                case Ascii::Paragraph:
                    std::memcpy(p, "\\par\r\n", 6);
                    p += 6;
                    delimit = false;
                    continue;
                case Ascii::Unicode:
                    break;
                }
            } else if (c == QChar::ParagraphSeparator) {
                std::memcpy(p, "\\par\r\n", 6);
                p += 6;
                delimit = false;
                continue;
            } else if (c == QChar::LineSeparator) {
                std::memcpy(p, "\\line", 5);
                p += 5;
                delimit = true;
                continue;
            }
            const Escapes::Escape& e = escapes.of(c);
            std::memcpy(p, &e, sizeof e);
            p += e.size;
            delimit = false;
        }
        out.moveTo(p, delimit);
    }
}

void writeFontName(Output& out, QString name, Escapes& escapes)
{
    // A name is one line of printable characters; a ';' would end it, so it goes as a hex escape,
    // which readers keep in the name.
    name.removeIf([](QChar c) { return c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator; });
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == u';') {
            writeText(out, QStringView(name).sliced(from, i - from), escapes);
            if (i < name.size()) {
                out.ensure(4);
                out.hex(';');
            }
            from = i + 1;
        }
    }
}

// Writes the document into `out`; false when its sink stopped the writing.
bool writeDocument(const Document& document, Output& out)
{
    // Fonts and colours in order of first use; an empty document still names the default font.
    std::vector<FontKey> fonts;
    QHash<FontKey, int> fontIndex;
    std::vector<QRgb> colors;
    QHash<QRgb, int> colorIndex;
    // Each format's font and colour, by the format's index.
    std::vector<int> formatFont;
    std::vector<int> formatColor;
    EscapesByCharset escapes;
    std::vector<Escapes*> formatEscapes;
    const auto indexOfFont = [&](const CharFormat& format) {
        const FontKey key{format.fontName, format.charset};
        const auto it = fontIndex.constFind(key);
        if (it != fontIndex.cend())
            return *it;
        fonts.push_back(key);
        fontIndex.insert(key, int(fonts.size() - 1));
        return int(fonts.size() - 1);
    };
    std::vector<bool> used(std::size_t(document.formats().size()));
    for (qsizetype i = 0; i < document.runCount(); ++i)
        used[std::size_t(document.runFormatIndex(i))] = true;
    for (qsizetype f = 0; f < document.formats().size(); ++f) {
        const CharFormat& format = document.formats().at(f);
        if (!used[std::size_t(f)]) {
            formatFont.push_back(0);
            formatColor.push_back(0);
            formatEscapes.push_back(nullptr);
            continue;
        }
        formatFont.push_back(indexOfFont(format));
        formatEscapes.push_back(&escapes.of(format.charset));
        int color = 0;
        if (format.color) {
            const QRgb rgb = *format.color & 0xFFFFFF;
            const auto it = colorIndex.constFind(rgb);
            if (it != colorIndex.cend()) {
                color = *it;
            } else {
                colors.push_back(rgb);
                color = int(colors.size());
                colorIndex.insert(rgb, color);
            }
        }
        formatColor.push_back(color);
    }
    const CharFormat defaultFormat;
    if (fonts.empty())
        indexOfFont(defaultFormat);

    out.ensure(64);
    out.raw("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl");
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out.ensure(64);
        out.raw("{");
        out.word("f", int(i));
        out.word("fnil");
        out.word("fcharset", fonts[i].charset);
        out.raw(' ');
        out.noDelimiter();
        writeFontName(out, fonts[i].name, escapes.of(fonts[i].charset));
        out.ensure(4);
        out.raw(";}");
        out.noDelimiter();
    }
    out.ensure(4);
    out.raw("}");
    out.endLine();
    if (!colors.empty()) {
        out.ensure(16);
        out.raw("{\\colortbl ;");
        for (const QRgb rgb : colors) {
            out.ensure(40);
            out.word("red", int(rgb >> 16 & 0xFF));
            out.word("green", int(rgb >> 8 & 0xFF));
            out.word("blue", int(rgb & 0xFF));
            out.raw(';');
            out.noDelimiter();
        }
        out.ensure(4);
        out.raw('}');
        out.endLine();
    }
    out.ensure(32);
    out.raw("\\viewkind4\\uc1\\pard");

    // The format written so far; the first run writes its font and size in any case.
    int font = -1;
    int halfPoints = -1;
    int color = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    const auto writeFormat = [&](const CharFormat& format, int runFontIndex, int runColorIndex) {
        out.ensure(96);
        if (runColorIndex != color)
            out.word("cf", color = runColorIndex);
        if (format.bold != bold)
            out.word((bold = format.bold) ? "b" : "b0");
        if (format.italic != italic)
            out.word((italic = format.italic) ? "i" : "i0");
        if (format.underline != underline)
            out.word((underline = format.underline) ? "ul" : "ulnone");
        if (runFontIndex != font)
            out.word("f", font = runFontIndex);
        if (format.halfPoints != halfPoints)
            out.word("fs", halfPoints = format.halfPoints);
    };

    if (document.isEmpty())
        writeFormat(defaultFormat, 0, 0);
    for (qsizetype i = 0; i < document.runCount() && !out.stopped(); ++i) {
        const CharFormat& format = document.runFormat(i);
        const std::size_t f = std::size_t(document.runFormatIndex(i));
        writeFormat(format, formatFont[f], formatColor[f]);
        writeText(out, document.runText(i), *formatEscapes[f]);
    }
    out.ensure(16);
    out.word("par");
    out.endLine();
    out.raw('}');
    out.endLine();
    return !out.stopped();
}

} // namespace

QByteArray write(const Document& document)
{
    Output out(document.text().size() * kMostPerUnit + document.runCount() * 64 + 1024);
    writeDocument(document, out);
    return out.take();
}

bool write(const Document& document, const Sink& sink, qsizetype pieceSize)
{
    Output out(qMax<qsizetype>(pieceSize, 1), &sink);
    if (!writeDocument(document, out))
        return false;
    out.flush();
    return !out.stopped();
}

} // namespace krambol::rtf
