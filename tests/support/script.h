// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QEventLoop>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <vector>

// Runs steps one after another from the event loop, each inside whatever wait is under way when
// its turn comes. A step that clicks Start at a timed level stays inside that display; the next
// step then runs within it, as a user's next click would.
class Script
{
public:
    Script &then(std::function<void()> step)
    {
        steps_.push_back(std::move(step));
        return *this;
    }

    // True when every step has returned within `limitMs` of real time. On time-out `rescue`
    // runs, and must end whatever waits are still open (closing the window does).
    bool run(const std::function<void()> &rescue, int limitMs = 10000)
    {
        QEventLoop loop;
        std::size_t returned = 0;
        std::function<void(std::size_t)> post = [&](std::size_t i) {
            QTimer::singleShot(0, &loop, [&, i] {
                if (i + 1 < steps_.size())
                    post(i + 1);
                steps_[i]();
                if (++returned == steps_.size())
                    loop.quit();
            });
        };
        post(0);
        bool timedOut = false;
        QTimer::singleShot(limitMs, &loop, [&] {
            timedOut = true;
            rescue();
            loop.quit();
        });
        loop.exec();
        return !timedOut && returned == steps_.size();
    }

private:
    std::vector<std::function<void()>> steps_;
};
