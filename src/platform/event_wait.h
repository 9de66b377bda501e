// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <vector>

class Clock;
class QEventLoop;

// Keeps the window's events flowing while a handler waits for a moment on the clock, so the
// window repaints and answers clicks, and the process sleeps between events. Waits nest: an
// event served during one wait may start another, and the outer wait goes on only once the
// inner one has returned.
class EventWait
{
public:
    explicit EventWait(Clock &clock) : clock_(clock) {}
    EventWait(const EventWait &) = delete;
    EventWait &operator=(const EventWait &) = delete;

    // Serves events until the clock has reached `deadline`. False when the waits were cancelled:
    // the caller must then leave without touching the window.
    bool until(double deadline);

    // Ends every wait under way and refuses new ones. Called when the window closes, so that no
    // handler outlives it in a loop of its own.
    void cancelAll();
    bool cancelled() const { return cancelled_; }

private:
    Clock &clock_;
    std::vector<QEventLoop *> loops_;
    bool cancelled_ = false;
};
