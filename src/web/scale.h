// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

// Repaints every window whole, at once, whenever the page's scale changes: a page zoomed, a
// browser window moved onto a projector, a display setting changed. Call once the application
// object exists.
void repaintWholeOnScaleChange();
