// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "page.h"

#include <cmath>
#include <string>
#include <vector>

using emscripten::val;

namespace page {

namespace {

struct Placement
{
    val element;
    QRect rect;
    QPoint origin, offset;
};

std::vector<Placement> placements;

std::string css(double pixels)
{
    return std::to_string(pixels) + "px";
}

void put(const Placement &p)
{
    const double f = fit();
    val style = p.element["style"];
    style.set("position", std::string("absolute"));
    style.set("left", css(p.offset.x() + (p.rect.x() - p.origin.x()) * f));
    style.set("top", css(p.offset.y() + (p.rect.y() - p.origin.y()) * f));
    style.set("width", css(p.rect.width() * f));
    style.set("height", css(p.rect.height() * f));
    style.set("margin", std::string("0"));
    style.set("boxSizing", std::string("border-box"));
}

val shared()
{
    return val::global("punktblick");
}

} // namespace

val canvas()
{
    return shared()["canvas"];
}

double fit()
{
    const val value = shared()["fit"];
    const double f = value.isNumber() ? value.as<double>() : 1.0;
    return std::isfinite(f) && f > 0 ? f : 1.0;
}

void place()
{
    if (shared()["place"].typeOf().as<std::string>() == "function")
        shared().call<void>("place");
}

void onRefit(const val &function)
{
    shared().set("refit", function);
}

void setAnswerElement(const val &element)
{
    shared().set("answer", element);
}

val create(const char *tag, Attributes attributes)
{
    val element = val::global("document").call<val>("createElement", std::string(tag));
    for (const auto &[name, value] : attributes)
        element.call<void>("setAttribute", std::string(name), std::string(value));
    return element;
}

void placeOver(val &element, const QRect &rect, QPoint origin, QPoint offset)
{
    for (Placement &p : placements) {
        if (p.element.strictlyEquals(element)) {
            p = {element, rect, origin, offset};
            put(p);
            return;
        }
    }
    placements.push_back({element, rect, origin, offset});
    put(placements.back());
}

void placeAllAgain()
{
    for (const Placement &p : placements)
        put(p);
}

} // namespace page
