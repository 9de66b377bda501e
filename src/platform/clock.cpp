// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "clock.h"

#include <QTimer>

#if defined(__EMSCRIPTEN__)
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <memory>
#endif

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

#if defined(__EMSCRIPTEN__)
void SteadyClock::whenShown(QObject *owner, std::function<void(double)> shown)
{
    // Painting waits for a posted event, and the paint asks the browser for the frame that shows
    // it. Painting now puts that request first, so a frame asked for next is the same frame, and
    // its time (when the browser began it, the same for every callback in it) is the time the
    // window showed what it holds now.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    struct Request
    {
        QPointer<QObject> owner;
        std::function<void(double)> shown;
        double offset; // from the page's clock to ours, in seconds
    };
    auto *request = new Request{owner, std::move(shown), seconds() - emscripten_get_now() / 1000.0};
    emscripten_request_animation_frame(
        [](double frameMs, void *data) -> EM_BOOL {
            const std::unique_ptr<Request> request(static_cast<Request *>(data));
            if (request->owner)
                request->shown(frameMs / 1000.0 + request->offset);
            return EM_FALSE;
        },
        request);
}
#endif
