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
    // Rounded up to whole milliseconds: an alarm may ring a little late but never early, so a
    // display is never cut short.
    const double waitMs = std::ceil(std::max(0.0, at - seconds()) * 1000.0);
    const int ms = static_cast<int>(std::min(waitMs, double(std::numeric_limits<int>::max())));
    QTimer::singleShot(ms, Qt::PreciseTimer, owner, std::move(ring));
}
