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
#include <vector>

namespace krambol::rtf {

namespace {

// For each UTF-16 code unit, its byte in a one-byte code page, or 0 when the code page has none.
using FallbackTable = std::array<unsigned char, 0x10000>;

std::unique_ptr<FallbackTable> makeFallbackTable(int codePage)
{
    QStringDecoder decoder(codecNameForCodePage(codePage).constData(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return nullptr;
    auto table = std::make_unique<FallbackTable>();
    table->fill(0);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char c = char(byte);
        const QString decoded = decoder(QByteArrayView(&c, 1));
        if (decoded.size() == 1 && decoded[0] != QChar::ReplacementCharacter && decoded[0].unicode() >= 0x80)
            (*table)[decoded[0].unicode()] = static_cast<unsigned char>(byte);
    }
    return table;
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

// Appends to a buffer sized beforehand; every piece of output knows its largest size.
class Output
{
public:
    explicit Output(qsizetype capacity) { m_buffer.resize(capacity); m_p = m_buffer.data(); }

    void ensure(qsizetype more)
    {
        const qsizetype used = m_p - m_buffer.data();
        if (used + more > m_buffer.size()) {
            m_buffer.resize(qMax(m_buffer.size() * 2, used + more));
            m_p = m_buffer.data() + used;
        }
    }
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
    // Before literal text: a letter, digit, space or hyphen would otherwise join the control word.
    void beforeLiteral(char c)
    {
        if (m_delimit && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' || c == '-'))
            raw(' ');
        m_delimit = false;
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

    QByteArray take()
    {
        m_buffer.truncate(m_p - m_buffer.data());
        return std::move(m_buffer);
    }

private:
    QByteArray m_buffer;
    char* m_p = nullptr;
    bool m_delimit = false;
};

// Text of a font name or a run, escaped; every non-ASCII unit as \uN plus its one fallback character.
void writeText(Output& out, QStringView text, const FallbackTable* fallback)
{
    out.ensure(text.size() * 12 + 16);
    for (const QChar qc : text) {
        const char16_t c = qc.unicode();
        if (c >= 0x20 && c < 0x7F) {
            const char a = char(c);
            if (a == '\\' || a == '{' || a == '}') {
                out.raw('\\');
                out.raw(a);
                out.noDelimiter();
            } else {
                out.beforeLiteral(a);
                out.raw(a);
            }
        } else if (c == u'\t') {
            out.word("tab");
        } else if (c == QChar::ParagraphSeparator || c == u'\n') {
            out.word("par");
            out.endLine();
        } else if (c == QChar::LineSeparator) {
            out.word("line");
        } else {
            out.word("u", c >= 0x8000 ? int(c) - 0x10000 : int(c));
            // Without an equivalent the fallback is '?', as \'3f: a literal '?' makes pandoc drop a
            // space that follows it.
            const unsigned char byte = fallback && c >= 0x80 ? (*fallback)[c] : 0;
            out.hex(byte != 0 ? byte : '?');
        }
    }
}

void writeFontName(Output& out, QString name, const FallbackTable* fallback)
{
    // A name is one line of printable characters; a ';' would end it, so it goes as a hex escape,
    // which readers keep in the name.
    name.removeIf([](QChar c) { return c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator; });
    qsizetype from = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        if (i == name.size() || name[i] == u';') {
            writeText(out, QStringView(name).sliced(from, i - from), fallback);
            if (i < name.size()) {
                out.ensure(4);
                out.hex(';');
            }
            from = i + 1;
        }
    }
}

} // namespace

QByteArray write(const Document& document)
{
    // Fonts and colours in order of first use; an empty document still names the default font.
    std::vector<FontKey> fonts;
    QHash<FontKey, int> fontIndex;
    std::vector<QRgb> colors;
    QHash<QRgb, int> colorIndex;
    // Each format's font and colour, by the format's index.
    std::vector<int> formatFont;
    std::vector<int> formatColor;
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
            continue;
        }
        formatFont.push_back(indexOfFont(format));
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

    Output out(document.text().size() * 12 + document.runCount() * 64 + 1024);
    out.raw("{\\rtf1\\ansi\\ansicpg1251\\deff0\\deflang1049{\\fonttbl");
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        out.ensure(64);
        out.raw("{");
        out.word("f", int(i));
        out.word("fnil");
        out.word("fcharset", fonts[i].charset);
        out.raw(' ');
        out.noDelimiter();
        writeFontName(out, fonts[i].name, fallbackTableForCharset(fonts[i].charset));
        out.ensure(4);
        out.raw(";}");
        out.noDelimiter();
    }
    out.raw("}");
    out.endLine();
    if (!colors.empty()) {
        out.ensure(qsizetype(colors.size()) * 40 + 32);
        out.raw("{\\colortbl ;");
        for (const QRgb rgb : colors) {
            out.word("red", int(rgb >> 16 & 0xFF));
            out.word("green", int(rgb >> 8 & 0xFF));
            out.word("blue", int(rgb & 0xFF));
            out.raw(';');
            out.noDelimiter();
        }
        out.raw('}');
        out.endLine();
    }
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
    for (qsizetype i = 0; i < document.runCount(); ++i) {
        const CharFormat& format = document.runFormat(i);
        const std::size_t f = std::size_t(document.runFormatIndex(i));
        writeFormat(format, formatFont[f], formatColor[f]);
        writeText(out, document.runText(i), fallbackTableForCharset(format.charset));
    }
    out.ensure(16);
    out.word("par");
    out.endLine();
    out.raw('}');
    out.endLine();
    return out.take();
}

} // namespace krambol::rtf
