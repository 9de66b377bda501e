// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QRect>

#include <emscripten/val.h>

#include <initializer_list>
#include <utility>

// What the browser's parts share of the page around the window.
namespace page {

using Attributes = std::initializer_list<std::pair<const char *, const char *>>;

// The canvas the window is drawn on.
emscripten::val canvas();

emscripten::val create(const char *tag, Attributes attributes = {});

// CSS pixels to one of the window's own, as the page has fitted the window to its space.
double scale();

// Places an element over a rectangle of the window (in the window's own pixels), inside a parent
// that stands over the window's point origin, shifted by offset CSS pixels; and again, at the new
// scale, whenever the window is fitted anew.
void placeOver(emscripten::val &element, const QRect &rect, QPoint origin, QPoint offset = {});
void placeAllAgain();

} // namespace page
