// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QPoint>
#include <QRect>

#include <emscripten/val.h>

#include <initializer_list>
#include <utility>

// The page around the window: what the program asks of it and offers it goes through the one
// object that the page names punktblick, and only through these.
namespace page {

// The canvas the window is drawn on.
emscripten::val canvas();

// CSS pixels to one of the window's own, as the page has fitted the window to its space.
double fit();

// Has the page put the window in its place again, for the space it has now.
void place();

// What the page calls whenever it has chosen a new fit.
void onRefit(const emscripten::val &function);

// The element that keyboards type the answer into: the page keeps the window where it is while
// an on-screen keyboard opens for it.
void setAnswerElement(const emscripten::val &element);

using Attributes = std::initializer_list<std::pair<const char *, const char *>>;

emscripten::val create(const char *tag, Attributes attributes = {});

// Places an element over a rectangle of the window (in the window's own pixels), inside a parent
// that stands over the window's point origin, shifted by offset CSS pixels; and again, at the new
// scale, whenever the window is fitted anew.
void placeOver(emscripten::val &element, const QRect &rect, QPoint origin, QPoint offset = {});
void placeAllAgain();

} // namespace page
