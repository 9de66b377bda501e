// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "page.h"

#include <string>

using emscripten::val;

namespace page {

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

void placeOver(val &element, const QRect &rect, QPoint origin)
{
    val style = element["style"];
    style.set("position", std::string("absolute"));
    style.set("left", std::to_string(rect.x() - origin.x()) + "px");
    style.set("top", std::to_string(rect.y() - origin.y()) + "px");
    style.set("width", std::to_string(rect.width()) + "px");
    style.set("height", std::to_string(rect.height()) + "px");
    style.set("margin", std::string("0"));
    style.set("boxSizing", std::string("border-box"));
}

} // namespace page
