// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <functional>

class QObject;

// Elapsed time in seconds, and alarms on the same time line. Displays are measured with it;
// tests put a clock of their own in its place to drive time without sleeping.
class Clock
{
public:
    virtual ~Clock() = default;

    // Seconds since an arbitrary origin; never goes back, not even when the time of day does.
    virtual double seconds() const = 0;

    // Calls `ring` from the event loop once seconds() has reached `at`. The alarm is cancelled
    // when `owner` is destroyed, so a wait that ended early leaves nothing behind.
    virtual void alarm(double at, QObject *owner, std::function<void()> ring) = 0;

    // Calls `shown` with the time of the first frame that shows the window as it is now, unless
    // `owner` is gone by then. Where the window system draws at once, that is now, and the call
    // comes before this returns; a browser draws only with its next animation frame.
    virtual void whenShown(QObject *owner, std::function<void(double)> shown)
    {
        (void)owner;
        shown(seconds());
    }
};

class SteadyClock final : public Clock
{
public:
    double seconds() const override;
    void alarm(double at, QObject *owner, std::function<void()> ring) override;
#if defined(__EMSCRIPTEN__)
    void whenShown(QObject *owner, std::function<void(double)> shown) override;
#endif

private:
    // Waits up to this long are left to one timer; longer ones are split.
    static constexpr double ShortWaitMs = 50;
};
