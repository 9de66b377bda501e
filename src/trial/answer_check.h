// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <cstdint>
#include <optional>

class Form1;
struct TrialState;

inline const QString RightText = QStringLiteral("Richtig !!!");
inline const QString WrongText = QStringLiteral("Falsch !!!");

// The answer that typed text stands for; nothing when it lies beyond what a 16-bit answer holds.
std::optional<std::int16_t> answerFromText(const QString &text);

// Judges the typed answer against the lit count, shows the verdict and reveals the count. OK is
// disabled until the next Start has run.
void checkAnswer(Form1 &form, TrialState &state);
