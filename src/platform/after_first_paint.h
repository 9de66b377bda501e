// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QWidget;

// Calls `then` once, after the window's first paint, queued so that the frame being painted
// reaches the screen first: for work the first frame need not wait for.
void afterFirstPaint(QWidget &window, std::function<void()> then);
