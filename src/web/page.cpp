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

void place(const Placement &p)
{
    const double f = scale();
    val style = p.element["style"];
    style.set("position", std::string("absolute"));
    style.set("left", css(p.offset.x() + (p.rect.x() - p.origin.x()) * f));
    style.set("top", css(p.offset.y() + (p.rect.y() - p.origin.y()) * f));
    style.set("width", css(p.rect.width() * f));
    style.set("height", css(p.rect.height() * f));
    style.set("margin", std::string("0"));
    style.set("boxSizing", std::string("border-box"));
}

} // namespace

val canvas()
{
    return val::global("document").call<val>("getElementById", std::string("qtcanvas"));
}

val create(const char *tag, Attributes attributes)
{
    val element = val::global("document").call<val>("createElement", std::string(tag));
    for (const auto &[name, value] : attributes)
        element.call<void>("setAttribute", std::string(name), std::string(value));
    return element;
}

double scale()
{
    const val scale = val::global("punktblickScale");
    const double f = scale.isNumber() ? scale.as<double>() : 1.0;
    return std::isfinite(f) && f > 0 ? f : 1.0;
}

void placeOver(val &element, const QRect &rect, QPoint origin, QPoint offset)
{
    for (Placement &p : placements) {
        if (p.element.strictlyEquals(element)) {
            p = {element, rect, origin, offset};
            place(p);
            return;
        }
    }
    placements.push_back({element, rect, origin, offset});
    place(placements.back());
}

void placeAllAgain()
{
    for (const Placement &p : placements)
        place(p);
}

} // namespace page
