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

// Places an element over a rectangle of the window, in a parent of its own that stands over the
// rectangle whose top left is origin.
void placeOver(emscripten::val &element, const QRect &rect, QPoint origin);

} // namespace page
