// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "after_first_paint.h"

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <utility>

namespace {

class FirstPaintWatch final : public QObject
{
public:
    FirstPaintWatch(QWidget &window, std::function<void()> then)
        : QObject(&window), then_(std::move(then))
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, watched, std::move(then_));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> then_;
};

} // namespace

void afterFirstPaint(QWidget &window, std::function<void()> then)
{
    new FirstPaintWatch(window, std::move(then));
}
