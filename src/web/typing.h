// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <emscripten/val.h>

class QObject;

// Typing reaches the window's editable controls through input elements of the page that mirror
// them, from a hardware keyboard and every on-screen keyboard alike. Call before the application
// object is made.
void typeThroughPage();

// The page's input element for an editable control, made on first use: it holds the control's
// text, caret and selection, and what keyboards, voice control and screen readers do to its text
// is done to the control's. Placing it is the caller's.
emscripten::val editableElement(QObject *control);

// Writes the control's text, caret and selection into its element, unless a keyboard is in the
// middle of composing there.
void showControlText(QObject *control);
