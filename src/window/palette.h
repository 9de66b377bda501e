#pragma once

#include <QPalette>
#include <QRgb>

class QWidget;

// `base` with its background (the Window role) set to `colour`.
QPalette withBackground(QPalette base, QRgb colour);

// Colours go through the palette, so that the style draws them and a later change takes effect.
void setBackground(QWidget &widget, QRgb colour);
void setTextColour(QWidget &widget, QRgb colour);
QRgb background(const QWidget &widget);
QRgb textColour(const QWidget &widget);
