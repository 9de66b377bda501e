// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "random_source.h"

#include <chrono>

void ClockSeededRandom::seedFromClock()
{
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    std::seed_seq seq{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
    engine_.seed(seq);
}

float ClockSeededRandom::next()
{
    static_assert(std::mt19937::min() == 0 && std::mt19937::max() == 0xFFFFFFFFu);
    return unitInterval(static_cast<std::uint32_t>(engine_()));
}
