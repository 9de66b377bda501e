// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "platform/event_wait.h"
#include "trial_state.h"

#include <QObject>

#include <cstdint>

class Clock;
class Form1;
class RandomSource;

// How many seconds a level shows its cells; 0 for level 1, whose cells stay until Stop.
int displaySeconds(int level);

// The count of cells for a random value in [0, 1): 1 to 100, each equally likely.
std::int16_t drawCount(float unit);

// Runs the exercise on the window: level choice, Start, Stop, the timed display and OK.
class Trial : public QObject
{
    Q_OBJECT

public:
    Trial(Form1 &form, Clock &clock, RandomSource &random,
          EventWait::Mode waits = EventWait::platformMode());

    // Once, before the window is first shown.
    void load();

    void selectLevel(int level);
    void start();
    void stop();
    void check();

    const TrialState &state() const { return state_; }

private:
    Form1 &form_;
    RandomSource &random_;
    EventWait wait_;
    TrialState state_;
};
