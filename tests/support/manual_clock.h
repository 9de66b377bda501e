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

    double now_;
    std::vector<Alarm> alarms_;
};
