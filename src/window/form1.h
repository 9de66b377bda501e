// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "cell_field.h"
#include "etched_group_box.h"

#include <QWidget>

#include <array>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The one window of the exercise with all its controls. It holds no behaviour: the trial
// connects to the controls' signals and changes them.
class Form1 : public QWidget
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    QPushButton *cmd_start;
    QPushButton *cmd_stop;
    QLineEdit *txt_Eingabe;
    QPushButton *cmd_OK;
    QLabel *lbl_richtig;
    QLabel *lbl_Zahl;
    EtchedGroupBox *Frame1;
    QRadioButton *Option1;
    QRadioButton *Option2;
    QRadioButton *Option3;
    QRadioButton *Option4;
    QButtonGroup *levels; // the four Option buttons, with their level as id
    CellField Picture1;

signals:
    // Sent before the window goes; a handler waiting inside an event loop must leave then.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
