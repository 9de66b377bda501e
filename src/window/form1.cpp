// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "form1.h"

#include "accessibility.h"
#include "design.h"
#include "palette.h"
#include "result_label.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStringList>

#include <vector>

namespace {

QFont resultFont()
{
    QStringList families;
    for (const char *family : design::ResultFontFamilies)
        families << QString::fromLatin1(family);
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(design::ResultFontPoints);
    font.setWeight(QFont::Bold);
    return font;
}

template <typename Widget> Widget *place(QWidget *window, const char *name, design::TwipRect rect)
{
    auto *widget = new Widget(window);
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(design::pixels(rect));
    return widget;
}

QPushButton *button(QWidget *window, const char *name, const char *caption, design::TwipRect rect)
{
    auto *b = place<QPushButton>(window, name, rect);
    b->setText(QString::fromLatin1(caption));
    b->setAutoDefault(false);
    return b;
}

QLabel *resultLabel(QWidget *window, const char *name, design::TwipRect rect, QRgb text,
                    const QString &caption, const QString &description)
{
    auto *label = new ResultLabel(caption, window);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(design::pixels(rect));
    label->setAccessibleDescription(description);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(resultFont());
    setBackground(*label, design::Black);
    setTextColour(*label, text);
    return label;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), Picture1(*this)
{
    installAccessibility();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Punktblick"));
    // Of fixed size: neither maximising nor resizing is offered, minimising and closing are.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(design::pixels(design::ClientWidth), design::pixels(design::ClientHeight));
    setBackground(*this, design::WindowColour);

    // Created before the level buttons, so that they stand in front of it.
    Frame1 = place<EtchedGroupBox>(this, "Frame1", design::LevelFrame);
    Frame1->setTitle(QStringLiteral("Schwierigkeit"));
    setBackground(*Frame1, design::WindowColour);

    cmd_start = button(this, "cmd_start", "Start", design::StartButton);
    cmd_stop = button(this, "cmd_stop", "Stop", design::StopButton);
    cmd_stop->setEnabled(false);

    txt_Eingabe = place<QLineEdit>(this, "txt_Eingabe", design::AnswerField);
    txt_Eingabe->setAlignment(Qt::AlignCenter);
    txt_Eingabe->setMaxLength(3);
    txt_Eingabe->setFont(resultFont());
    txt_Eingabe->setAccessibleName(QStringLiteral("Antwort"));
    txt_Eingabe->setAccessibleDescription(QStringLiteral("Wie viele Felder waren grün?"));

    cmd_OK = button(this, "cmd_OK", "OK", design::OkButton);
    cmd_OK->setEnabled(false);

    // The verdict says all itself; the count is told what it counts.
    lbl_richtig = resultLabel(this, "lbl_richtig", design::VerdictLabel, design::WrongVerdict,
                              QStringLiteral("Ergebnis"), QString());
    lbl_Zahl = resultLabel(this, "lbl_Zahl", design::CountLabel, design::CountText,
                           QStringLiteral("Anzahl"), QStringLiteral("Wie viele Felder grün waren"));

    levels = new QButtonGroup(this);
    std::array<QRadioButton *, 4> options{};
    for (int level = 1; level <= 4; ++level) {
        const QByteArray name = "Option" + QByteArray::number(level);
        auto *option = place<QRadioButton>(this, name.constData(), design::levelButton(level));
        option->setText(QString::number(level));
        levels->addButton(option, level);
        options[static_cast<std::size_t>(level - 1)] = option;
    }
    Option1 = options[0];
    Option2 = options[1];
    Option3 = options[2];
    Option4 = options[3];
    Option1->setChecked(true);

    // Keyboard order: the cells in reading order, then the buttons, the levels (level 1 last),
    // the answer and OK. Labels and the frame never take focus.
    std::vector<QWidget *> chain;
    for (int i = 0; i < CellField::size(); ++i)
        chain.push_back(Picture1[i]);
    chain.insert(chain.end(),
                 {cmd_start, cmd_stop, Option2, Option3, Option4, Option1, txt_Eingabe, cmd_OK});
    for (std::size_t i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void Form1::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    Picture1.paint(painter, event->region());
}

void Form1::closeEvent(QCloseEvent *event)
{
    emit closing();
    QWidget::closeEvent(event);
}
