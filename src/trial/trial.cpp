// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "trial.h"

#include "answer_check.h"
#include "platform/random_source.h"
#include "window/form1.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <cmath>

int displaySeconds(int level)
{
    switch (level) {
    case 2:
        return 4;
    case 3:
        return 2;
    case 4:
        return 1;
    default:
        return 0;
    }
}

std::int16_t drawCount(float unit)
{
    // Clamped so that even a faulty random source cannot make the cell loops leave the field.
    const double count = std::floor(static_cast<double>(unit) * 100.0) + 1.0;
    return static_cast<std::int16_t>(std::clamp(count, 1.0, 100.0));
}

Trial::Trial(Form1 &form, Clock &clock, RandomSource &random, EventWait::Mode waits)
    : form_(form), random_(random), wait_(clock, waits)
{
    connect(form_.levels, &QButtonGroup::idToggled, this, [this](int level, bool checked) {
        if (checked)
            selectLevel(level);
    });
    connect(form_.cmd_start, &QPushButton::clicked, this, &Trial::start);
    connect(form_.cmd_stop, &QPushButton::clicked, this, &Trial::stop);
    connect(form_.cmd_OK, &QPushButton::clicked, this, &Trial::check);
    connect(&form_, &Form1::closing, this, [this] { wait_.cancelAll(); });
}

void Trial::load()
{
    random_.seedFromClock();
    state_.int_Stufe = 1;
}

void Trial::selectLevel(int level)
{
    state_.int_Stufe = static_cast<std::int16_t>(level);
}

void Trial::start()
{
    form_.Picture1.clear();
    form_.lbl_richtig->setText(QString());
    form_.lbl_Zahl->setText(QString());
    form_.txt_Eingabe->setText(QString());

    state_.int_Anzahl = drawCount(random_.next());
    form_.Picture1.light(state_.int_Anzahl);

    if (state_.int_Stufe == 1) {
        form_.cmd_start->setEnabled(false);
        form_.cmd_stop->setEnabled(true);
        form_.cmd_OK->setEnabled(true);
        return;
    }
    // A Start served during the display may have lit other cells: its end darkens those that are
    // lit then.
    wait_.afterShown(displaySeconds(state_.int_Stufe), [this] {
        form_.Picture1.darken(state_.int_Anzahl);
        form_.cmd_OK->setEnabled(true);
    });
}

void Trial::stop()
{
    form_.Picture1.darken(state_.int_Anzahl);
    form_.cmd_start->setEnabled(true);
    form_.cmd_stop->setEnabled(false);
}

void Trial::check()
{
    checkAnswer(form_, state_);
}
