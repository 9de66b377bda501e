// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "etched_group_box.h"

#include "design.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <qdrawutil.h>

namespace {

constexpr int TitleGap = design::pixels(design::FrameTitleGap);

} // namespace

QRect EtchedGroupBox::titleRect() const
{
    const QFontMetrics metrics = fontMetrics();
    return {design::pixels(design::FrameTitleIndent) + TitleGap, 0,
            metrics.horizontalAdvance(title()), metrics.height()};
}

void EtchedGroupBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect text = titleRect();
    // The line runs through the middle of the title, as on a classic dialog.
    const QRect frame = rect().adjusted(0, text.height() / 2, 0, 0);
    qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
    if (title().isEmpty())
        return;
    painter.fillRect(text.adjusted(-TitleGap, 0, TitleGap, 0), palette().window());
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title());
}
