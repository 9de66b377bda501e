// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "palette.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace {

QPalette withBackground(QPalette base, QRgb colour)
{
    base.setColor(QPalette::Window, QColor(colour));
    return base;
}

} // namespace

void setBackground(QWidget &widget, QRgb colour)
{
    widget.setPalette(withBackground(widget.palette(), colour));
    widget.setAutoFillBackground(true);
}

void setTextColour(QWidget &widget, QRgb colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    widget.setPalette(palette);
}

QRgb background(const QWidget &widget)
{
    return widget.palette().color(QPalette::Window).rgb();
}

QRgb textColour(const QWidget &widget)
{
    return widget.palette().color(QPalette::WindowText).rgb();
}
