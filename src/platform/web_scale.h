// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// In the browser, repaints every window whole, at once, whenever the page's scale changes: a page
// zoomed, a browser window moved onto a projector, a display setting changed. Call once the
// application object exists; elsewhere it does nothing, as desktop window systems do it
// themselves.
#if defined(__EMSCRIPTEN__)
void repaintWholeOnScaleChange();
#else
inline void repaintWholeOnScaleChange() {}
#endif
