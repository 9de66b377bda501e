// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "scale.h"

#include "page.h"

#include <QApplication>
#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformwindow.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <cstdio>
#include <string>

using emscripten::val;

// Qt 6.4's web platform tells no window that the scale has changed. Its backing store notices at
// the next paint, starts over on a blank image at the new scale and keeps only what that paint
// draws, while an expose only shows the old image again. A partial repaint after a change (cells
// lit, a button pressed) would leave the rest of the window garbage. So every change is answered
// with a repaint of every widget, at once.
namespace {

// Device pixels to one of the window's own, as Qt paints it.
qreal paintedRatio = 0;

qreal deviceRatio()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1;
}

void repaintWhole()
{
    paintedRatio = deviceRatio();
    // The canvas's own pixels too, in case the browser has not reported the change to the page.
    val::module_property("qtResizeAllScreens")(val::null());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        // Each by name: a repaint of the window alone leaves out the children that fill their
        // own background, as if they still stood in the image.
        for (QWidget *child : window->findChildren<QWidget *>())
            child->update();
        window->repaint();
    }
}

void repaintIfScaleChanged()
{
    if (deviceRatio() != paintedRatio)
        repaintWhole();
}

// The browser reports a change before it draws its next frame, in which the compositor then shows
// the window whole. Not every change is reported (Chromium's emulated scale going back to 1 is
// not), so every paint of a window also checks first.
class PaintCheck final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::UpdateRequest && watched->isWidgetType())
            repaintIfScaleChanged();
        return QObject::eventFilter(watched, event);
    }
};

// The page chooses how large the window is drawn, from the space it has (page::fit), and sizes
// the canvas to match; Qt draws every control, face and line at that scale times the screen's
// own density. Qt 6.4 offers no public way to change its scale while a program runs: its own
// scaling, per screen, is the one that reaches everything alike, and its private setter is what
// Qt's own tests change it with. The window keeps its size in its own pixels; its size in the
// screen's (CSS) pixels is set anew, and so are the page's elements placed over it.
qreal fittedTo = 1;

void refit()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const qreal fit = page::fit();
    if (!screen || fit == fittedTo)
        return;
    fittedTo = fit;
    QHighDpiScaling::setScreenFactor(screen, fit);
    val::module_property("qtResizeAllScreens")(val::null());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        QWindow *handle = window->windowHandle();
        if (handle && handle->handle()) {
            handle->handle()->setGeometry(
                QHighDpi::toNativeWindowGeometry(window->geometry(), handle));
        }
        // The window's size in its own pixels is the same, so Qt would keep the image it paints
        // into at the old scale's size.
        if (QBackingStore *store = window->backingStore())
            store->resize(window->size());
    }
    page::placeAllAgain();
    // Also where the screen's ratio stays: a window drawn smaller than one device pixel to each
    // of its own gets one pixel of the canvas for each at every such fit, and its image starts
    // over all the same.
    repaintWhole();
}

void listenForResolutionChange();

void onResolutionChange(val)
{
    // The page first puts its window on whole pixels of the new ratio: only then is the place
    // that Qt reads the place.
    page::place();
    repaintIfScaleChanged();
    listenForResolutionChange();
}

void onViewportResize(val)
{
    repaintIfScaleChanged();
}

// A media query for the present resolution changes once when the ratio does; then a query for
// the new one takes its place. Every digit counts: a query that never matched never changes.
void listenForResolutionChange()
{
    char query[64];
    std::snprintf(query, sizeof query, "(resolution: %.17gdppx)",
                  val::global("devicePixelRatio").as<double>());
    val options = val::object();
    options.set("once", true);
    val::global("matchMedia")(std::string(query))
        .call<void>("addEventListener", std::string("change"),
                    val::module_property("punktblickResolutionChange"), options);
}

} // namespace

EMSCRIPTEN_BINDINGS(punktblick_scale)
{
    emscripten::function("punktblickRefit", &refit);
    emscripten::function("punktblickResolutionChange", &onResolutionChange);
    emscripten::function("punktblickViewportResize", &onViewportResize);
}

void fitToPage()
{
    refit();
    // The page asks again whenever its space changes.
    page::onRefit(val::module_property("punktblickRefit"));
}

void repaintWholeOnScaleChange()
{
    paintedRatio = deviceRatio();
    listenForResolutionChange();
    // A pinch that zooms out of the page changes the scale Qt paints at with no change of
    // resolution.
    val viewport = val::global("visualViewport");
    if (!viewport.isUndefined())
        viewport.call<void>("addEventListener", std::string("resize"),
                            val::module_property("punktblickViewportResize"));
    for (QWidget *window : QApplication::topLevelWidgets())
        window->installEventFilter(new PaintCheck(window));
}
