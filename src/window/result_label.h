// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QLabel>
#include <QString>

// A label that shows a result, with a caption that only assistive technology reads: the label
// itself shows nothing but the result.
class ResultLabel : public QLabel
{
    Q_OBJECT

public:
    ResultLabel(const QString &caption, QWidget *parent) : QLabel(parent), caption_(caption) {}
    const QString &caption() const { return caption_; }

private:
    QString caption_;
};
