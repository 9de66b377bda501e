// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QWidget;

// What assistive technology (a screen reader, a magnifier that follows the focus) learns of the
// window's own kinds of control: each cell its place in the field, never whether it is lit, which
// would tell the answer; each result label, a notification, its caption and its text.

// Makes the window's own controls known to the accessibility framework. Safe to call again.
void installAccessibility();

// Tells assistive technology that a result has appeared, as a notification does: a screen reader
// speaks a notification when it appears, not a label whose text changes out of the focus.
void announceResult(QWidget &label);
