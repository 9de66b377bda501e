// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// In the browser, typing reaches the answer field through an input element of the page that asks
// for the number pad, from a hardware keyboard and from every on-screen keyboard alike. Call
// before the application object is made; elsewhere it does nothing.
#if defined(__EMSCRIPTEN__)
void useWebInput();
#else
inline void useWebInput() {}
#endif
