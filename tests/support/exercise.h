// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "manual_clock.h"
#include "scripted_random.h"
#include "trial/trial.h"
#include "window/design.h"
#include "window/form1.h"
#include "window/palette.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <initializer_list>

// The trial's tests run once with each way of waiting for a display: nested, as on the desktop,
// and continued, as in the browser. This build's way:
#if defined(PUNKTBLICK_CONTINUED_WAITS)
inline constexpr EventWait::Mode TestedWaits = EventWait::Mode::Continued;
#else
inline constexpr EventWait::Mode TestedWaits = EventWait::Mode::Nested;
#endif

// The real window and trial on a driven clock, with the counts the test chooses.
struct Exercise
{
    explicit Exercise(std::initializer_list<int> counts) : random(counts)
    {
        trial.load();
        form.show();
    }

    ManualClock clock;
    ScriptedRandom random;
    Form1 form;
    Trial trial{form, clock, random, TestedWaits};
};

inline void click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton);
}

// What the three buttons show: "S" for Start, "T" for Stop, "O" for OK, in capitals when enabled.
inline QString buttons(const Form1 &f)
{
    QString s;
    s += f.cmd_start->isEnabled() ? u'S' : u's';
    s += f.cmd_stop->isEnabled() ? u'T' : u't';
    s += f.cmd_OK->isEnabled() ? u'O' : u'o';
    return s;
}

// How many cells are lit, if the lit ones are exactly the first n and all others are dark; -1 for
// any other picture (a gap, a stray lit cell, a colour that is neither).
inline int litPrefix(const CellField &field)
{
    int lit = 0;
    while (lit < CellField::size() && field.colour(lit) == design::LitCell)
        ++lit;
    for (int i = lit; i < CellField::size(); ++i) {
        if (field.colour(i) != design::DarkCell)
            return -1;
    }
    return lit;
}
