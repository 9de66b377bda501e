// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QRgb>

class QWidget;

// Colours go through the palette, so that the style draws them and a later change takes effect.
void setBackground(QWidget &widget, QRgb colour);
void setTextColour(QWidget &widget, QRgb colour);
QRgb background(const QWidget &widget);
QRgb textColour(const QWidget &widget);
