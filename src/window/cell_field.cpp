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

Cell::Cell(QWidget &window, int index) : QWidget(&window), index_(index)
{
    // A plain widget draws nothing of its own and fills no background, so what shows is what the
    // window paints beneath it.
    setObjectName(QStringLiteral("Picture1_%1").arg(index));
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(design::pixels(design::cell(index)));
}

QRect Cell::area() const
{
    const int margin = design::pixels(design::CellFocusMargin);
    return geometry().adjusted(-margin, -margin, margin, margin);
}

void Cell::focusInEvent(QFocusEvent *event)
{
    parentWidget()->update(area());
    QWidget::focusInEvent(event);
}

void Cell::focusOutEvent(QFocusEvent *event)
{
    parentWidget()->update(area());
    QWidget::focusOutEvent(event);
}

CellField::CellField(QWidget &window)
{
    for (int i = 0; i < size(); ++i) {
        cells_[static_cast<std::size_t>(i)] = new Cell(window, i);
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
        if (!area.intersects(cells_[i]->area()))
            continue;
        if (cells_[i]->hasFocus()) {
            // A ring in the gap around the cell, so that it neither hides nor tints the cell.
            const QRect ring = cells_[i]->area();
            painter.fillRect(ring, palette.color(QPalette::Highlight));
            painter.fillRect(ring.adjusted(2, 2, -2, -2), palette.color(QPalette::Window));
        }
        const QRect cell = cells_[i]->geometry();
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
