// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>

// What the exercise knows between events. Which cells are lit follows from the count alone: they
// are always the first int_Anzahl of the field.
struct TrialState
{
    std::int16_t int_Anzahl = 0;  // cells lit by the latest Start; 1 to 100 once one has run
    std::int16_t int_Antwort = 0; // the answer as read at the latest OK
    std::int16_t int_Stufe = 1;   // the level, 1 to 4, for the next Start
};
