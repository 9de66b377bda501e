// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <random>

// Uniform single-precision values in [0, 1). Tests put a source of their own in its place to
// choose the counts they need.
class RandomSource
{
public:
    virtual ~RandomSource() = default;

    // A different sequence in each run: seeded from the clock.
    virtual void seedFromClock() = 0;
    virtual float next() = 0;
};

class ClockSeededRandom final : public RandomSource
{
public:
    void seedFromClock() override;
    void seed(std::uint32_t value) { engine_.seed(value); }
    float next() override;

private:
    std::mt19937 engine_;
};

// Maps 32 random bits onto [0, 1). Only the top 24 bits are used: a float holds them exactly, so
// the result can never round up to 1.0.
constexpr float unitInterval(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * 0x1p-24f;
}
