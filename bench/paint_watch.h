// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

#include <chrono>
#include <functional>

// An application that tells when a window has been painted: after Qt has handled the event that
// paints a top-level widget and hands the picture to the window system (an expose, or an update
// request), so the time taken is that of a finished frame, not of the request for one.
class PaintWatchApplication : public QApplication
{
public:
    using QApplication::QApplication;

    void watch(QWidget *window, std::function<void()> painted)
    {
        window_ = window;
        painted_ = std::move(painted);
    }

    bool notify(QObject *receiver, QEvent *event) override
    {
        const bool paints =
            window_ &&
            (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) &&
            (receiver == window_ || receiver == window_->windowHandle());
        const bool result = QApplication::notify(receiver, event);
        if (paints && window_->windowHandle() && window_->windowHandle()->isExposed())
            painted_();
        return result;
    }

private:
    QWidget *window_ = nullptr;
    std::function<void()> painted_;
};

inline double monotonicSeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
