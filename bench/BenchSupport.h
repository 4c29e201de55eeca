// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

#include <iterator>

// What every benchmark shares: where it runs, and the names and discs its registers are made of.
namespace krambol::bench {

// The targets interactions are held to, in milliseconds: one frame at 60 Hz at 10 000 entries, 50 ms at
// 100 000; memory at most this multiple of the register file's size.
inline constexpr double kLimitAt10k = 16;
inline constexpr double kLimitAt100k = 50;
inline constexpr double kMemoryPerFileByte = 10;

// The offscreen platform, unless QT_QPA_PLATFORM says otherwise or there is a display to show on. Call
// before the application object is made.
inline void preferOffscreen()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Names and discs of four letters, so that every entry after the first is 23 characters long, as on the
// registers the earlier figures were taken on.
inline QString nameOf(int i)
{
    static const char16_t* const names[] = {u"Иван", u"Пётр", u"Олег", u"Вера", u"Анна", u"Юлия", u"Нина",
                                            u"Глеб", u"Лена", u"Вова", u"Женя", u"Саша", u"Рома"};
    return QString::fromUtf16(names[i % std::size(names)]);
}

inline QString discOf(int i)
{
    static const char16_t* const discs[] = {u"Игра", u"Диск", u"Хиты", u"Джаз", u"Кино", u"Софт", u"Роки"};
    return QString::fromUtf16(discs[(i / 3) % std::size(discs)]);
}

} // namespace krambol::bench
