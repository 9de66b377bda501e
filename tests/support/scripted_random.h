// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/random_source.h"

#include <deque>
#include <initializer_list>

// Hands out the counts a test asks for, in order; after the last one it repeats it.
class ScriptedRandom final : public RandomSource
{
public:
    ScriptedRandom(std::initializer_list<int> counts) : counts_(counts) {}

    void seedFromClock() override { ++seeded; }
    float next() override
    {
        const int count = counts_.front();
        if (counts_.size() > 1)
            counts_.pop_front();
        // The middle of the count's slice of [0, 1).
        return (static_cast<float>(count) - 0.5f) / 100.0f;
    }
    void push(int count) { counts_.push_back(count); }

    int seeded = 0;

private:
    std::deque<int> counts_;
};
