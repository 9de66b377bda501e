// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "event_wait.h"

#include "clock.h"

#include <QEventLoop>

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
}
