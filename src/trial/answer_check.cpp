// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "answer_check.h"

#include "platform/number_text.h"
#include "trial_state.h"
#include "window/accessibility.h"
#include "window/design.h"
#include "window/form1.h"
#include "window/palette.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

std::optional<std::int16_t> answerFromText(const QString &text)
{
    return roundToInt16(readNumber(text));
}

void checkAnswer(Form1 &form, TrialState &state)
{
    form.cmd_OK->setEnabled(false);

    // An answer too large for 16 bits cannot be the count: it is judged wrong like text that is
    // no number, and is kept as 0.
    const std::optional<std::int16_t> answer = answerFromText(form.txt_Eingabe->text());
    state.int_Antwort = answer.value_or(0);
    const bool right = answer && *answer == state.int_Anzahl;

    setTextColour(*form.lbl_richtig, right ? design::RightVerdict : design::WrongVerdict);
    form.lbl_richtig->setText(right ? RightText : WrongText);
    form.lbl_Zahl->setText(int16Text(state.int_Anzahl));
    announceResult(*form.lbl_richtig);
    announceResult(*form.lbl_Zahl);
}
