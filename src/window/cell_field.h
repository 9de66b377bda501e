// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "design.h"

#include <QRgb>
#include <QWidget>

#include <array>
#include <cstdint>

class QPainter;
class QRegion;

// One cell: a place in the window and a stop in the keyboard order. It paints nothing itself;
// the window paints it, with a frame while it has the focus.
class Cell : public QWidget
{
    Q_OBJECT

public:
    Cell(QWidget &window, int index);
    int index() const { return index_; }
    // The part of the window that shows the cell and its focus frame.
    QRect area() const;

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int index_;
};

// The field that the learner counts: 100 cells, lit always from the lowest index upwards so that
// lit cells fill the field in reading order. The field remembers nothing but each cell's colour;
// how many are lit is the trial's business.
//
// Each cell is a control of the window of its own, with its place and its stop in the keyboard
// order, but the window paints all of them in one pass (see paint): a hundred widgets that each
// paint themselves cost Qt a painter apiece, which was most of the window's first frame.
class CellField
{
public:
    // Creates the cells as children of `window`, where they stay until it goes. The window must
    // call paint from its paint event.
    explicit CellField(QWidget &window);

    void clear();
    void light(std::int16_t count);
    void darken(std::int16_t count);

    // Draws the cells that meet `area`, each as a sunken panel filled with its colour, the
    // focused one framed.
    void paint(QPainter &painter, const QRegion &area) const;

    QWidget *operator[](int index) const { return cells_[static_cast<std::size_t>(index)]; }
    QRgb colour(int index) const { return colours_[static_cast<std::size_t>(index)]; }
    static constexpr int size() { return design::CellCount; }

private:
    void paintFirst(std::int16_t count, QRgb colour);

    std::array<Cell *, design::CellCount> cells_{};
    std::array<QRgb, design::CellCount> colours_{};
};
