// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "cell_field.h"

#include <QColor>
#include <QPainter>
#include <QPalette>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QWidget>

#include <algorithm>

CellField::CellField(QWidget &window)
{
    for (int i = 0; i < size(); ++i) {
        // A plain widget draws nothing of its own and fills no background, so what shows is what
        // the window paints beneath it.
        auto *cell = new QWidget(&window);
        cell->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        cell->setFocusPolicy(Qt::StrongFocus);
        cell->setGeometry(design::pixels(design::cell(i)));
        cells_[static_cast<std::size_t>(i)] = cell;
        colours_[static_cast<std::size_t>(i)] = i == 0 ? design::DarkCell : design::UntouchedCell;
    }
}

void CellField::clear()
{
    paintFirst(size(), design::DarkCell);
}

void CellField::light(std::int16_t count)
{
    paintFirst(count, design::LitCell);
}

void CellField::darken(std::int16_t count)
{
    paintFirst(count, design::DarkCell);
}

void CellField::paint(QPainter &painter, const QRegion &area) const
{
    // The frame that Qt's styles give a sunken panel one pixel wide: shadow along the top and
    // left, light along the bottom and right. Three nested fills make it, each overdrawing the
    // last: the whole cell in light, all but its last row and column in shadow, the inside in the
    // cell's colour. qDrawShadePanel draws the same picture, with pens and lines, at nearly four
    // times the cost.
    const QPalette &palette = cells_[0]->palette();
    const QColor light = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    for (std::size_t i = 0; i < cells_.size(); ++i) {
        const QRect cell = cells_[i]->geometry();
        if (!area.intersects(cell))
            continue;
        painter.fillRect(cell, light);
        painter.fillRect(cell.adjusted(0, 0, -1, -1), shadow);
        painter.fillRect(cell.adjusted(1, 1, -1, -1), QColor(colours_[i]));
    }
}

void CellField::paintFirst(std::int16_t count, QRgb colour)
{
    const int last = std::min<int>(count, size());
    for (int i = 0; i < last; ++i) {
        QRgb &current = colours_[static_cast<std::size_t>(i)];
        if (current == colour)
            continue;
        current = colour;
        cells_[static_cast<std::size_t>(i)]->update();
    }
}
