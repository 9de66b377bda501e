#include "cell_field.h"

#include "palette.h"

#include <QFrame>
#include <QString>

#include <algorithm>

CellField::CellField(QWidget &window)
{
    for (int i = 0; i < size(); ++i) {
        auto *cell = new QFrame(&window);
        cell->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cell->setLineWidth(1);
        cell->setFocusPolicy(Qt::StrongFocus);
        cell->setGeometry(design::pixels(design::cell(i)));
        setBackground(*cell, i == 0 ? design::DarkCell : design::UntouchedCell);
        cells_[static_cast<std::size_t>(i)] = cell;
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

void CellField::paintFirst(std::int16_t count, QRgb colour)
{
    const int last = std::min<int>(count, size());
    for (int i = 0; i < last; ++i)
        setBackground(*cells_[static_cast<std::size_t>(i)], colour);
}
