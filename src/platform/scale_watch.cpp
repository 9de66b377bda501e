// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "scale_watch.h"

#include <QEvent>
#include <QObject>
#include <QWidget>
#include <QWindow>

namespace {

class ScaleWatch final : public QObject
{
public:
    explicit ScaleWatch(QWidget &window) : QObject(&window), window_(window)
    {
        scale_ = window.devicePixelRatioF();
        window.installEventFilter(this);
        window.windowHandle()->installEventFilter(this);
    }

protected:
    // Both come before the window paints: a paint that was asked for, and an expose, with which
    // the browser's page asks for the whole window after it has resized the canvas. Marking the
    // whole window dirty there makes that very paint whole.
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) {
            const qreal scale = window_.windowHandle()->devicePixelRatio();
            if (scale != scale_) {
                scale_ = scale;
                window_.update();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QWidget &window_;
    qreal scale_;
};

} // namespace

void repaintWholeOnScaleChange(QWidget &window)
{
    new ScaleWatch(window);
}
