// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// Reads typed text as a decimal number, the same in every locale. Blanks are skipped; an
// optional sign, digits with at most one decimal point and an optional exponent ("1e2") make
// the number; whatever follows is ignored. Text that does not begin with a number reads as 0.
// Only ASCII digits count: other scripts' digits and every other character end the number.
double readNumber(QStringView text);

// The nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4); nothing when the
// value (or NaN) does not fit into 16 bits.
std::optional<std::int16_t> roundToInt16(double value);

// Decimal digits, a minus sign for negatives, no blanks.
QString int16Text(std::int16_t value);
