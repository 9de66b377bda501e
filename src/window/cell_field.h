#pragma once

#include "design.h"

#include <QPalette>

#include <array>
#include <cstdint>

class QFrame;
class QWidget;

// The field that the learner counts: 100 cells, lit always from the lowest index upwards so that
// lit cells fill the field in reading order. The field remembers nothing but each cell's colour;
// how many are lit is the trial's business.
class CellField
{
public:
    // Creates the cells as children of `window`, where they stay until it goes.
    explicit CellField(QWidget &window);

    void clear();
    void light(std::int16_t count);
    void darken(std::int16_t count);

    QFrame *operator[](int index) const { return cells_[static_cast<std::size_t>(index)]; }
    static constexpr int size() { return design::CellCount; }

private:
    void paintFirst(std::int16_t count, const QPalette &colour);

    // One palette per cell colour, built once and shared by every cell that shows it, rather
    // than a copy made for each cell at every Start.
    QPalette dark_;
    QPalette lit_;
    std::array<QFrame *, design::CellCount> cells_{};
};
