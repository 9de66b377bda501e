// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "event_wait.h"

#include "clock.h"

#include <QEventLoop>

#include <cmath>
#include <limits>
#include <utility>

void EventWait::after(double deadline, std::function<void()> then)
{
    if (cancelled_)
        return;
    if (mode_ == Mode::Nested) {
        if (until(deadline))
            then();
        return;
    }
    pending_.push_back({deadline, std::move(then)});
    armInnermost();
}

void EventWait::afterShown(double length, std::function<void()> then)
{
    if (cancelled_)
        return;
    // A handler that waits where it stands draws at once: the desktop's window systems do.
    if (mode_ == Mode::Nested) {
        after(clock_.seconds() + length, std::move(then));
        return;
    }
    const unsigned serial = ++serial_;
    pending_.push_back({std::numeric_limits<double>::infinity(), std::move(then), serial});
    armInnermost();
    clock_.whenShown(frameOwner_.get(), [this, serial, length](double shownAt) {
        for (Pending &p : pending_) {
            if (p.serial == serial) {
                p.deadline = shownAt + length;
                if (&p == &pending_.back())
                    armInnermost();
                return;
            }
        }
    });
}

bool EventWait::until(double deadline)
{
    // The deadline is checked again after every return of the loop: it may end through an inner
    // wait's events, or an alarm may ring a hair early.
    while (!cancelled_ && deadline > clock_.seconds()) {
        QEventLoop loop;
        loops_.push_back(&loop);
        clock_.alarm(deadline, &loop, [&loop] { loop.quit(); });
        // A loop that cannot run (the application is already quitting) answers -1 at once;
        // waiting on would spin until the deadline.
        const int result = loop.exec();
        loops_.pop_back();
        if (result < 0)
            cancelled_ = true;
    }
    return !cancelled_;
}

void EventWait::cancelAll()
{
    cancelled_ = true;
    for (QEventLoop *loop : loops_)
        loop->quit();
    pending_.clear();
    alarmOwner_.reset();
    frameOwner_.reset();
}

// Only the innermost wait can end: the ones around it go on when it has, as a nested loop would
// return to its caller's loop.
void EventWait::armInnermost()
{
    alarmOwner_.reset();
    if (pending_.empty() || std::isinf(pending_.back().deadline))
        return;
    alarmOwner_ = std::make_unique<QObject>();
    clock_.alarm(pending_.back().deadline, alarmOwner_.get(), [this] { resume(); });
}

void EventWait::resume()
{
    // An outer wait whose deadline passed while an inner one ran ends straight after it, with no
    // event between them, as the nested loops do.
    while (!cancelled_ && !pending_.empty() && pending_.back().deadline <= clock_.seconds()) {
        std::function<void()> then = std::move(pending_.back().then);
        pending_.pop_back();
        const std::size_t outer = pending_.size();
        then();
        // A continuation that began a wait of its own is now the innermost one.
        if (pending_.size() > outer)
            return;
    }
    if (!cancelled_)
        armInnermost();
}
