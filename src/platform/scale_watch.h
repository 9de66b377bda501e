// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// Repaints the whole window whenever the screen's scale has changed since its last paint: a page
// zoomed, a browser window moved onto a projector, a display setting changed. Qt 6.4's backing
// store for the browser starts over, blank, at the first paint after such a change and keeps
// only what that paint draws, so a partial repaint would leave the rest of the window garbage.
// Call once the window has been shown.
void repaintWholeOnScaleChange(QWidget &window);
