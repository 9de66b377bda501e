// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Repaints every window whole, at once, whenever the page's scale changes: a page zoomed, a
// browser window moved onto a projector, a display setting changed. Call once the application
// object exists.
void repaintWholeOnScaleChange();

// Draws the window at the scale the page has chosen for its space, now and whenever the page
// chooses anew. Call once the window has been shown, before it paints.
void fitToPage();
