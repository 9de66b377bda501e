// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// Puts the window's accessible objects into the page, where screen readers and switch access find
// them: invisible elements of the page over the places where the window draws each control, with
// their roles, names, descriptions and states, kept as the window changes, and what assistive
// technology does to them done to the window's controls. Call once the window has been shown.
void bridgeToScreenReaders(QWidget &window);
