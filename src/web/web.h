// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// What a desktop's window system gives the program and the browser's page does not: typing from
// every keyboard, a repaint on a change of scale, and a bridge to assistive technology. Elsewhere
// these do nothing.
#if defined(__EMSCRIPTEN__)
// Before the application object is made.
void prepareForPage();
// Once the window has been shown.
void joinPage(QWidget &window);
#else
inline void prepareForPage() {}
inline void joinPage(QWidget &) {}
#endif
