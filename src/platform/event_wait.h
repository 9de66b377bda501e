// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class Clock;
class QEventLoop;

// Keeps the window's events flowing while a handler waits for a moment on the clock, so the
// window repaints and answers clicks, and the process sleeps between events. Waits nest: an
// event served during one wait may start another, and the outer wait goes on only once the
// inner one has returned.
//
// A browser cannot wait inside a handler: the page hangs until the handler returns. There the
// wait is continued instead: after() returns at once and its continuation runs from the event
// loop, with the same nesting rule, so the window sees the same effects in the same order.
class EventWait
{
public:
    enum class Mode {
        Nested,    // a local event loop inside the handler
        Continued, // the handler returns; the continuation follows
    };
    // The one this platform can do.
    static constexpr Mode platformMode()
    {
#if defined(__EMSCRIPTEN__)
        return Mode::Continued;
#else
        return Mode::Nested;
#endif
    }

    explicit EventWait(Clock &clock, Mode mode = platformMode()) : clock_(clock), mode_(mode) {}
    EventWait(const EventWait &) = delete;
    EventWait &operator=(const EventWait &) = delete;

    // Serves events until the clock has reached `deadline` and every wait begun meanwhile has
    // ended, then calls `then`. Never calls it once the waits are cancelled.
    void after(double deadline, std::function<void()> then);

    // As after(), with the deadline `length` seconds after the first frame that shows the window
    // as it is now: what a person sees lasts the length, however late the frame comes.
    void afterShown(double length, std::function<void()> then);

    // Serves events until the clock has reached `deadline`. False when the waits were cancelled:
    // the caller must then leave without touching the window. Nested mode only.
    bool until(double deadline);

    // Ends every wait under way and refuses new ones. Called when the window closes, so that no
    // handler outlives it in a loop of its own.
    void cancelAll();

private:
    struct Pending
    {
        double deadline; // infinite until the frame that begins it is known
        std::function<void()> then;
        unsigned serial = 0;
    };
    void armInnermost();
    void resume();

    Clock &clock_;
    Mode mode_;
    std::vector<QEventLoop *> loops_;
    // Continued waits, the innermost last.
    std::vector<Pending> pending_;
    // The innermost continued wait's alarm belongs to this object; replacing it cancels the alarm.
    std::unique_ptr<QObject> alarmOwner_;
    // Frames asked for are answered only while this lives.
    std::unique_ptr<QObject> frameOwner_ = std::make_unique<QObject>();
    unsigned serial_ = 0;
    bool cancelled_ = false;
};
