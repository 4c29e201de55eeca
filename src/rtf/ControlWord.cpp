// SPDX-License-Identifier: GPL-3.0-or-later
#include "rtf/ControlWord.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace krambol::rtf {

namespace {

struct Entry {
    std::string_view name;
    ControlWord word;
};

using W = ControlWord;

// Sorted by name; the static_assert below keeps it so.
constexpr Entry table[] = {
    {"annotation", W::SkipDestination},
    {"ansi", W::Ansi},
    {"ansicpg", W::Ansicpg},
    {"atnauthor", W::SkipDestination},
    {"atnid", W::SkipDestination},
    {"author", W::SkipDestination},
    {"b", W::B},
    {"bin", W::Bin},
    {"blue", W::Blue},
    {"bullet", W::Bullet},
    {"buptim", W::SkipDestination},
    {"category", W::SkipDestination},
    {"cell", W::Cell},
    {"cf", W::Cf},
    {"colortbl", W::Colortbl},
    {"comment", W::SkipDestination},
    {"company", W::SkipDestination},
    {"creatim", W::SkipDestination},
    {"deff", W::Deff},
    {"doccomm", W::SkipDestination},
    {"emdash", W::Emdash},
    {"emspace", W::Emspace},
    {"endash", W::Endash},
    {"enspace", W::Enspace},
    {"f", W::F},
    {"fcharset", W::Fcharset},
    {"filetbl", W::SkipDestination},
    {"fldinst", W::SkipDestination},
    {"fonttbl", W::Fonttbl},
    {"footer", W::SkipDestination},
    {"footerf", W::SkipDestination},
    {"footerl", W::SkipDestination},
    {"footerr", W::SkipDestination},
    {"footnote", W::SkipDestination},
    {"fs", W::Fs},
    {"ftncn", W::SkipDestination},
    {"ftnsep", W::SkipDestination},
    {"ftnsepc", W::SkipDestination},
    {"green", W::Green},
    {"header", W::SkipDestination},
    {"headerf", W::SkipDestination},
    {"headerl", W::SkipDestination},
    {"headerr", W::SkipDestination},
    {"i", W::I},
    {"info", W::SkipDestination},
    {"keywords", W::SkipDestination},
    {"ldblquote", W::Ldblquote},
    {"line", W::Line},
    {"listoverridetable", W::SkipDestination},
    {"listtable", W::SkipDestination},
    {"lquote", W::Lquote},
    {"mac", W::Mac},
    {"nestcell", W::Cell},
    {"nestrow", W::Row},
    {"nonesttables", W::SkipDestination},
    {"nonshppict", W::SkipDestination},
    {"objdata", W::SkipDestination},
    {"operator", W::SkipDestination},
    {"par", W::Par},
    {"pard", W::Pard},
    {"pc", W::Pc},
    {"pca", W::Pca},
    {"pict", W::SkipDestination},
    {"plain", W::Plain},
    {"printim", W::SkipDestination},
    {"private", W::SkipDestination},
    {"qmspace", W::Qmspace},
    {"rdblquote", W::Rdblquote},
    {"red", W::Red},
    {"revtbl", W::SkipDestination},
    {"revtim", W::SkipDestination},
    {"row", W::Row},
    {"rquote", W::Rquote},
    {"rtf", W::Rtf},
    {"rxe", W::SkipDestination},
    {"sect", W::Par},
    {"stylesheet", W::SkipDestination},
    {"subject", W::SkipDestination},
    {"tab", W::Tab},
    {"tc", W::SkipDestination},
    {"template", W::SkipDestination},
    {"title", W::SkipDestination},
    {"txe", W::SkipDestination},
    {"u", W::U},
    {"uc", W::Uc},
    {"ud", W::Ud},
    {"ul", W::Ul},
    {"uld", W::Ul},
    {"uldash", W::Ul},
    {"uldashd", W::Ul},
    {"uldashdd", W::Ul},
    {"uldb", W::Ul},
    {"ulhwave", W::Ul},
    {"ulldash", W::Ul},
    {"ulnone", W::Ulnone},
    {"ulth", W::Ul},
    {"ulthd", W::Ul},
    {"ulthdash", W::Ul},
    {"ulthdashd", W::Ul},
    {"ulthdashdd", W::Ul},
    {"ulthldash", W::Ul},
    {"ululdbwave", W::Ul},
    {"ulw", W::Ul},
    {"ulwave", W::Ul},
    {"upr", W::Upr},
    {"v", W::V},
    {"xe", W::SkipDestination},
};

constexpr bool sorted()
{
    for (std::size_t i = 1; i < std::size(table); ++i) {
        if (!(table[i - 1].name < table[i].name))
            return false;
    }
    return true;
}
static_assert(sorted(), "the control word table must stay sorted by name");

} // namespace

ControlWord lookupTableControlWord(std::string_view name)
{
    const auto it = std::lower_bound(std::begin(table), std::end(table), name,
                                     [](const Entry& e, std::string_view n) { return e.name < n; });
    if (it != std::end(table) && it->name == name)
        return it->word;
    return W::Unknown;
}

} // namespace krambol::rtf
