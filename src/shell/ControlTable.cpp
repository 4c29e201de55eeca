// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ControlTable.h"

#include <array>

namespace krambol::shell {

namespace {

using K = ControlKind;

constexpr auto kControls = std::to_array<ControlSpec>({
    // name          kind                 container  caption              place (twips)        tab hidden picture
    {"Toolbar1",  K::Toolbar,         nullptr,  "",                  {0,    0,    7755, 420},  16, false, nullptr},
    {"isp",       K::PictureCheckBox, nullptr,  "",                  {2760, 60,   375,  330},  19, false, ":/form1/isp.bmp"},
    {"Frame1",    K::Frame,           nullptr,  "Имя",               {120,  480,  3735, 975},  1,  false, nullptr},
    {"Text1",     K::TextBox,         "Frame1", "",                  {120,  360,  3495, 495},  2,  false, nullptr},
    {"Frame2",    K::Frame,           nullptr,  "Диск",              {3960, 480,  3735, 975},  3,  false, nullptr},
    {"Text2",     K::TextBox,         "Frame2", "",                  {120,  360,  3495, 495},  4,  false, nullptr},
    {"Frame5",    K::Frame,           nullptr,  "Дата",              {120,  1560, 3735, 1335}, 28, false, nullptr},
    {"Check2",    K::CheckBox,        "Frame5", "Сегодня",           {120,  240,  1095, 255},  31, false, nullptr},
    {"Check4",    K::CheckBox,        "Frame5", "Ввод",              {120,  480,  2655, 255},  29, false, nullptr},
    {"Text7",     K::TextBox,         "Frame5", "",                  {120,  720,  3495, 495},  30, false, nullptr},
    {"Command1",  K::PictureButton,   nullptr,  "Принять",           {3960, 1560, 1215, 375},  5,  false, nullptr},
    {"Frame3",    K::Frame,           nullptr,  "Режим исправлиний", {3960, 2040, 2415, 855},  9,  false, nullptr},
    {"Check1",    K::PictureCheckBox, "Frame3", "Исправить",         {240,  360,  1935, 375},  17, false, nullptr},
    {"Command6",  K::PictureButton,   nullptr,  "Открыть",           {6480, 1560, 1215, 375},  13, false, nullptr},
    // The first letter of this caption is the Latin C.
    {"Command5",  K::PictureButton,   nullptr,  "Cохранить",         {6480, 2040, 1215, 375},  12, false, nullptr},
    {"Command4",  K::PictureButton,   nullptr,  "Выход",             {6480, 2520, 1215, 375},  10, false, nullptr},
    {"Command10", K::PictureButton,   nullptr,  "Курсор >>",         {6480, 3000, 1215, 375},  38, false, nullptr},
    {"Command7",  K::PictureButton,   nullptr,  "Больше >>",         {6480, 3480, 1215, 375},  14, false, nullptr},
    {"Command2",  K::PictureCheckBox, nullptr,  "Жирный",            {120,  3000, 1215, 375},  32, false, nullptr},
    {"Command3",  K::PictureCheckBox, nullptr,  "Курсив",            {1440, 3000, 1215, 375},  33, false, nullptr},
    {"Check3",    K::PictureCheckBox, nullptr,  "Подчёркнутый",      {120,  3480, 1455, 375},  34, false, nullptr},
    {"Command9",  K::Button,          nullptr,  "Цвет фона",         {1680, 3480, 975,  375},  35, false, nullptr},
    {"Frame4",    K::Frame,           nullptr,  "Размер шрифта",     {2760, 3000, 1695, 975},  26, false, nullptr},
    {"Text8",     K::TextBox,         "Frame4", "24",                {120,  240,  1455, 555},  27, false, nullptr},
    {"Box",       K::RichText,        nullptr,  "",                  {0,    4080, 7695, 1335}, 0,  false, nullptr},
    {"StatusBar1", K::StatusBar,      nullptr,  "",                  {0,    5460, 7755, 375},  11, false, nullptr},
    // The cursor panel starts beyond the client width; widening the window brings it into view.
    {"Frame6",    K::Frame,           nullptr,  "",                  {7800, 480,  1455, 4935}, 40, false, nullptr},
    {"Image1",    K::Image,           "Frame6", "",                  {120,  120,  480,  480},  -1, false, ":/cursors/image1.ico"},
    {"Image2",    K::Image,           "Frame6", "",                  {840,  240,  480,  480},  -1, false, ":/cursors/image2.ico"},
    {"Image3",    K::Image,           "Frame6", "",                  {240,  960,  480,  480},  -1, false, ":/cursors/image3.cur"},
    {"Image4",    K::Image,           "Frame6", "",                  {840,  840,  480,  480},  -1, false, ":/cursors/image4.ico"},
    {"Image5",    K::Image,           "Frame6", "",                  {120,  1440, 480,  480},  -1, false, ":/cursors/image5.cur"},
    {"Image7",    K::Image,           "Frame6", "",                  {840,  1440, 480,  480},  -1, false, ":/cursors/image7.cur"},
    {"Image8",    K::Image,           "Frame6", "",                  {120,  2040, 600,  480},  -1, false, ":/cursors/image8.ico"},
    {"Image9",    K::Image,           "Frame6", "",                  {720,  2040, 480,  480},  -1, false, ":/cursors/image9.ico"},
    {"Image6",    K::Image,           "Frame6", "",                  {360,  3240, 615,  615},  -1, false, nullptr},
    {"Command12", K::Button,          "Frame6", "Загрузить",         {120,  2760, 1215, 375},  43, false, nullptr},

    // Hidden controls: state holders and the pictures other controls take at run time.
    {"Command8",  K::PictureButton,   nullptr,  "<< Меньше",         {6480, 3480, 1215, 375},  15, true, nullptr},
    {"Command11", K::PictureButton,   nullptr,  "<< Курсор ",        {6480, 3000, 1215, 375},  39, true, nullptr},
    {"Check5",    K::CheckBox,        nullptr,  "Check5",            {7200, 3840, 255,  255},  41, true, nullptr},
    {"Check6",    K::CheckBox,        nullptr,  "Check6",            {7440, 3840, 255,  255},  42, true, nullptr},
    {"Text3",     K::TextBox,         nullptr,  "------",            {2400, 8520, 3255, 495},  6,  true, nullptr},
    {"Text4",     K::TextBox,         nullptr,  " ",                 {360,  8520, 1215, 495},  7,  true, nullptr},
    {"Text5",     K::TextBox,         nullptr,  "Text5",             {5880, 8640, 495,  285},  8,  true, nullptr},
    {"Text6",     K::TextBox,         nullptr,  " |",                {8640, 5160, 150,  285},  18, true, nullptr},
    {"Picture1",  K::PictureBox,      nullptr,  "",                  {8040, 3960, 255,  135},  20, true, ":/form1/picture1.bmp"},
    {"Picture2",  K::PictureBox,      nullptr,  "",                  {8400, 4080, 255,  135},  21, true, ":/form1/picture2.bmp"},
    {"Picture3",  K::PictureBox,      nullptr,  "",                  {7920, 4800, 375,  255},  23, true, ":/form1/picture3.bmp"},
    {"Picture4",  K::PictureBox,      nullptr,  "",                  {8280, 5160, 255,  255},  24, true, ":/form1/picture4.bmp"},
    {"Picture5",  K::PictureBox,      nullptr,  "",                  {8160, 4320, 255,  375},  25, true, ":/form1/picture5.bmp"},
    {"e",         K::PictureBox,      nullptr,  "",                  {8520, 4440, 1215, 495},  22, true, nullptr},
});

} // namespace

std::span<const ControlSpec> form1Controls()
{
    return kControls;
}

} // namespace krambol::shell
