// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

// Fuzzes the way from typed text to verdict on the real window: the first byte picks the count of
// lit cells, the rest becomes the text of the answer field (which keeps its own limit of three
// characters), then OK is clicked. Every verdict is checked against an independent reading of the
// text; a mismatch, a crash or a sanitizer report stops the run.

#include "platform/number_text.h"
#include "trial/answer_check.h"
#include "trial/trial_state.h"
#include "window/design.h"
#include "window/form1.h"
#include "window/palette.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

QApplication *app = nullptr;
Form1 *form = nullptr;

[[noreturn]] void mismatch(const char *what, const QString &text)
{
    QString units;
    for (const QChar c : text)
        units += QStringLiteral(" U+%1").arg(c.unicode(), 4, 16, QChar(u'0'));
    std::fprintf(stderr, "answer_fuzzer: %s for text \"%s\" (%s)\n", what, qPrintable(text),
                 qPrintable(units.trimmed()));
    std::abort();
}

// The reading rule written another way: blanks out, then the longest leading decimal number.
std::optional<int> expectedAnswer(QString text)
{
    // The field's length limit may cut a surrogate pair in half; the regular expression engine
    // refuses such text, so the lone half becomes a replacement character first. It is no digit
    // either way.
    const QList<uint> codePoints = text.toUcs4();
    text = QString::fromUcs4(reinterpret_cast<const char32_t *>(codePoints.constData()),
                             codePoints.size());
    text.remove(QRegularExpression(QStringLiteral("[ \\t\\r\\n]")));
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(?:[0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE][+-]?[0-9]+)?"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.captured(), &ok);
    if (!ok) // beyond a double: three characters cannot get there
        mismatch("the reference reading failed", text);
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor + (fraction > 0.5 ? 1 : 0);
    if (fraction == 0.5)
        rounded = std::fmod(floor, 2) == 0 ? floor : floor + 1;
    if (!(rounded >= -32768 && rounded <= 32767))
        return std::nullopt;
    return static_cast<int>(rounded);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    app = new QApplication(*argc, *argv);
    form = new Form1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    TrialState state;
    state.int_Anzahl = static_cast<std::int16_t>(1 + data[0] % 100);
    form->txt_Eingabe->setText(
        QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1)));
    form->cmd_OK->setEnabled(true);

    const QString text = form->txt_Eingabe->text();
    if (text.size() > 3)
        mismatch("the answer field holds more than three characters", text);

    checkAnswer(*form, state);

    const std::optional<int> expected = expectedAnswer(text);
    if (expected.value_or(0) != state.int_Antwort)
        mismatch("the answer differs from the reading rule", text);
    const bool right = expected && *expected == state.int_Anzahl;
    if (form->lbl_richtig->text() != (right ? RightText : WrongText))
        mismatch("wrong verdict", text);
    if (textColour(*form->lbl_richtig) != (right ? design::RightVerdict : design::WrongVerdict))
        mismatch("wrong verdict colour", text);
    if (form->lbl_Zahl->text() != QString::number(state.int_Anzahl))
        mismatch("wrong count shown", text);
    if (form->cmd_OK->isEnabled())
        mismatch("OK left enabled", text);
    return 0;
}
