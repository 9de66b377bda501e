#include "cell_field.h"

#include "palette.h"

#include <QFrame>
#include <QString>

#include <algorithm>

CellField::CellField(QWidget &window)
    : dark_(withBackground(window.palette(), design::DarkCell)),
      lit_(withBackground(window.palette(), design::LitCell))
{
    const QPalette untouched = withBackground(window.palette(), design::UntouchedCell);
    for (int i = 0; i < size(); ++i) {
        auto *cell = new QFrame(&window);
        cell->setObjectName(QStringLiteral("Picture1_%1").arg(i));
        cell->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        cell->setLineWidth(1);
        cell->setFocusPolicy(Qt::StrongFocus);
        cell->setGeometry(design::pixels(design::cell(i)));
        cell->setAutoFillBackground(true);
        cell->setPalette(i == 0 ? dark_ : untouched);
        cells_[static_cast<std::size_t>(i)] = cell;
    }
}

void CellField::clear()
{
    paintFirst(size(), dark_);
}

void CellField::light(std::int16_t count)
{
    paintFirst(count, lit_);
}

void CellField::darken(std::int16_t count)
{
    paintFirst(count, dark_);
}

void CellField::paintFirst(std::int16_t count, const QPalette &colour)
{
    const int last = std::min<int>(count, size());
    for (int i = 0; i < last; ++i)
        cells_[static_cast<std::size_t>(i)]->setPalette(colour);
}
