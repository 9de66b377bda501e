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

#include <functional>
#include <initializer_list>

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
    Trial trial{form, clock, random};
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

// A script step that clicks and notes when the click has returned: a Start at a timed level
// returns only once its display is over.
inline std::function<void()> clickNoting(QAbstractButton *button, bool &returned)
{
    return [button, &returned] {
        click(button);
        returned = true;
    };
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
