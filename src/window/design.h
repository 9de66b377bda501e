// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Every position, size and colour of the window, named once. Positions and sizes are in twips,
// 1/1440 inch, measured from the top-left corner of the client area.

#include <QRect>
#include <QRgb>

#include <array>

namespace design {

// 15 twips to a logical pixel, as at 96 dpi; Qt's high-DPI scaling takes it from there.
inline constexpr int TwipsPerPixel = 15;

// Rounds to the nearest pixel. Every twip value in this file is positive, and the cell pitch
// (360 twips) divides into whole pixels, so the field's rhythm stays regular.
constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

struct TwipRect
{
    int left, top, width, height;
};

constexpr QRect pixels(TwipRect r)
{
    return QRect(pixels(r.left), pixels(r.top), pixels(r.width), pixels(r.height));
}

inline constexpr int ClientWidth = 8724;
inline constexpr int ClientHeight = 6348;

inline constexpr TwipRect StartButton{5880, 720, 1332, 612};
inline constexpr TwipRect StopButton{5880, 1560, 1332, 612};
inline constexpr TwipRect AnswerField{5880, 2640, 732, 492};
inline constexpr TwipRect OkButton{6840, 2640, 732, 492};
inline constexpr TwipRect VerdictLabel{5880, 3600, 1692, 492};
inline constexpr TwipRect CountLabel{5880, 4320, 1692, 492};
inline constexpr TwipRect LevelFrame{720, 4800, 4212, 852};
// The frame's title stands in its top line, this far from the left edge, with this much of the
// line left out on either side of the text.
inline constexpr int FrameTitleIndent = 120;
inline constexpr int FrameTitleGap = 30;

// The level buttons stand in one row inside the frame, level 1 leftmost.
inline constexpr TwipRect FirstLevelButton{1080, 5160, 492, 252};
inline constexpr int LevelButtonPitch = 840;

constexpr TwipRect levelButton(int level)
{
    return {FirstLevelButton.left + (level - 1) * LevelButtonPitch, FirstLevelButton.top,
            FirstLevelButton.width, FirstLevelButton.height};
}

// The cell field: ten rows of ten, with a wider gap after the fifth column and the fifth row,
// which splits it into four blocks of 5 x 5.
inline constexpr int CellCount = 100;
inline constexpr int CellsPerRow = 10;
inline constexpr int CellsPerBlock = 5;
inline constexpr int FieldLeft = 1080;
inline constexpr int FieldTop = 720;
inline constexpr int CellPitch = 360;
inline constexpr int CellSize = 252;
inline constexpr int BlockGapX = 240;
inline constexpr int BlockGapY = 120;

// The focus frame of a cell stands this far outside it, in the gap to its neighbours.
inline constexpr int CellFocusMargin = 45;

constexpr TwipRect cell(int index)
{
    const int row = index / CellsPerRow;
    const int column = index % CellsPerRow;
    return {FieldLeft + CellPitch * column + (column >= CellsPerBlock ? BlockGapX : 0),
            FieldTop + CellPitch * row + (row >= CellsPerBlock ? BlockGapY : 0), CellSize,
            CellSize};
}

// Result labels and the answer field share one face, "MS Sans Serif" where the system has it.
// Elsewhere a bold sans-serif with the same widths as the usual Windows sans takes its place; the
// web build brings its own cut of that face, under a name of its own.
inline constexpr std::array<const char *, 3> ResultFontFamilies{"MS Sans Serif", "Liberation Sans",
                                                                "Punktblick Sans"};
inline constexpr double ResultFontPoints = 15.6;

inline constexpr QRgb WindowColour = qRgb(255, 224, 192);
inline constexpr QRgb Black = qRgb(0, 0, 0);
inline constexpr QRgb DarkCell = Black;
inline constexpr QRgb LitCell = qRgb(0, 192, 0);
// What cells 1 to 99 show before the first trial; cell 0 starts dark.
inline constexpr QRgb UntouchedCell = qRgb(64, 0, 0);
inline constexpr QRgb RightVerdict = LitCell;
inline constexpr QRgb WrongVerdict = qRgb(255, 0, 0);
inline constexpr QRgb CountText = qRgb(255, 128, 255);

} // namespace design
