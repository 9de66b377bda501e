// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "clock.h"

#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

double SteadyClock::seconds() const
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::alarm(double at, QObject *owner, std::function<void()> ring)
{
    const double remainingMs = (at - seconds()) * 1000.0;
    if (remainingMs <= 0) {
        QTimer::singleShot(0, Qt::PreciseTimer, owner, std::move(ring));
        return;
    }
    // Qt's precise timers run about 0.1 % slow: a four-second timer wakes some 4 ms late. A long
    // wait therefore wakes a little early and sets a new alarm for the rest; the last stretch is
    // short, so its error is tiny. It is rounded up to whole milliseconds, so the alarm may ring
    // a little late but never early, and a display is never cut short.
    if (remainingMs > ShortWaitMs) {
        const double earlyMs =
            std::min(remainingMs * 0.99, double(std::numeric_limits<int>::max()));
        QTimer::singleShot(static_cast<int>(earlyMs), Qt::PreciseTimer, owner,
                           [this, at, owner, ring = std::move(ring)]() mutable {
                               alarm(at, owner, std::move(ring));
                           });
        return;
    }
    QTimer::singleShot(static_cast<int>(std::ceil(remainingMs)), Qt::PreciseTimer, owner,
                       std::move(ring));
}
