// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/clock.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

// A clock that moves only when a test says so. Alarms ring the moment advance() reaches them,
// so timed displays end exactly when the test decides.
class ManualClock final : public Clock
{
public:
    explicit ManualClock(double start = 1000.0) : now_(start) {}

    double seconds() const override { return now_; }

    void alarm(double at, QObject *owner, std::function<void()> ring) override
    {
        alarms_.push_back({at, owner, std::move(ring)});
        // One that is due already rings from the event loop, as a real timer of 0 ms would.
        if (at <= now_)
            QTimer::singleShot(0, owner, [this] { ringDue(); });
    }

    // With frames held, the window shows a change only at the next showFrame(), as a browser's
    // page does at its next animation frame; else at once, as the desktop does.
    void whenShown(QObject *owner, std::function<void(double)> shown) override
    {
        if (!holdFrames) {
            shown(now_);
            return;
        }
        frames_.push_back({owner, std::move(shown)});
    }

    void showFrame()
    {
        std::vector<Frame> waiting = std::move(frames_);
        frames_.clear();
        for (Frame &f : waiting) {
            if (f.owner)
                f.shown(now_);
        }
    }

    bool holdFrames = false;

    void advance(double seconds)
    {
        now_ += seconds;
        ringDue();
    }

    int pendingAlarms() const
    {
        int live = 0;
        for (const Alarm &a : alarms_)
            live += a.owner ? 1 : 0;
        return live;
    }

private:
    struct Alarm
    {
        double at;
        QPointer<QObject> owner;
        std::function<void()> ring;
    };

    void ringDue()
    {
        std::vector<Alarm> due;
        std::vector<Alarm> later;
        for (Alarm &a : alarms_) {
            if (!a.owner)
                continue;
            (a.at <= now_ ? due : later).push_back(std::move(a));
        }
        alarms_ = std::move(later);
        for (Alarm &a : due) {
            if (a.owner)
                a.ring();
        }
    }

    struct Frame
    {
        QPointer<QObject> owner;
        std::function<void(double)> shown;
    };

    double now_;
    std::vector<Alarm> alarms_;
    std::vector<Frame> frames_;
};
