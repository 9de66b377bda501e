// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QGroupBox>

// A group box drawn as an etched line with its title set into the top edge. The style's own group
// box frame is a picture that it decodes on first use, which makes Qt load every image format
// plugin while the window comes up; lines and text need none of that.
class EtchedGroupBox : public QGroupBox
{
public:
    using QGroupBox::QGroupBox;

    // Where the title's text stands, in the box's own coordinates.
    QRect titleRect() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};
