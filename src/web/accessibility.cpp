// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "accessibility.h"

#include "page.h"
#include "platform/after_first_paint.h"
#include "typing.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleInterface>
#include <QEvent>
#include <QLabel>
#include <QList>
#include <QObject>
#include <QRect>
#include <QString>
#include <QWidget>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <map>
#include <string>
#include <vector>

using emscripten::val;

// Qt 6.4's web platform has no bridge from its accessibility interfaces to the page: the canvas
// is all a screen reader finds. This one builds the page's side from the same interfaces that the
// desktop's bridge reads, once, and brings it up to date before each repaint of the window: every
// change a person could notice repaints it, and nothing else needs to be told.
namespace {

std::string utf8(const QString &text)
{
    return text.toStdString();
}

struct Node
{
    QAccessible::Id id;
    QAccessible::Role role;
    val element;
    // What the page was last told, so that only changes reach it: a live region speaks on every
    // change of its text.
    QString name, description;
    bool disabled = false, checked = false, hidden = false;
};

class Mirror final : public QObject
{
public:
    explicit Mirror(QWidget &window);
    void act(std::size_t index, const val &event);
    void focus(std::size_t index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    val add(QAccessibleInterface *iface, const val &parent, QPoint origin, const char *tag);
    void sync();

    val root_ = val::null();
    std::vector<Node> nodes_;
};

Mirror *mirror = nullptr;

void listen(val &element, const char *event, const char *handler = "punktblickAccessibleAction")
{
    element.call<void>("addEventListener", std::string(event), val::module_property(handler));
}

Mirror::Mirror(QWidget &window) : QObject(&window)
{
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(&window);
    val canvas = page::canvas();
    if (!top || canvas.isNull())
        return;
    // Over the canvas, the window's size, seen by nobody and in the way of no pointer: taps and
    // clicks reach the canvas, while a screen reader's touch exploration finds each control
    // where the window draws it.
    root_ = page::create("div", {{"id", "punktblick-accessible"}, {"role", "group"}});
    root_.call<void>("setAttribute", std::string("aria-label"), utf8(top->text(QAccessible::Name)));
    const QRect frame = top->rect();
    page::placeOver(root_, frame, frame.topLeft(),
                    QPoint(canvas["offsetLeft"].as<int>(), canvas["offsetTop"].as<int>()));
    val style = root_["style"];
    style.set("opacity", std::string("0"));
    style.set("pointerEvents", std::string("none"));
    style.set("overflow", std::string("hidden"));

    // Level buttons stand inside their frame's rectangle but are the window's children; on the
    // page they go into the frame, which makes it their radio group.
    QList<QAccessibleInterface *> children;
    for (int i = 0; i < top->childCount(); ++i)
        children.append(top->child(i));
    val table = val::null();
    std::map<int, val> rows;
    QRect tableRect;
    for (QAccessibleInterface *child : children) {
        if (child->role() == QAccessible::Cell)
            tableRect |= child->rect();
    }
    for (QAccessibleInterface *child : children) {
        switch (child->role()) {
        case QAccessible::Grouping: {
            val group = add(child, root_, frame.topLeft(), "div");
            bool radios = false;
            for (QAccessibleInterface *member : children) {
                if (member->role() == QAccessible::RadioButton &&
                    child->rect().contains(member->rect())) {
                    add(member, group, child->rect().topLeft(), "input");
                    radios = true;
                }
            }
            group.call<void>("setAttribute", std::string("role"),
                             std::string(radios ? "radiogroup" : "group"));
            break;
        }
        case QAccessible::RadioButton: {
            bool grouped = false;
            for (QAccessibleInterface *group : children) {
                grouped |=
                    group->role() == QAccessible::Grouping && group->rect().contains(child->rect());
            }
            if (!grouped)
                add(child, root_, frame.topLeft(), "input");
            break;
        }
        case QAccessible::Cell: {
            // The cells form a table, a row of it for each line of cells, so that a screen
            // reader can tell row and column and move along either.
            if (table.isNull()) {
                table = page::create("div", {{"role", "table"}});
                page::placeOver(table, tableRect, frame.topLeft());
                root_.call<void>("appendChild", table);
            }
            const QRect cell = child->rect();
            auto row = rows.find(cell.y());
            if (row == rows.end()) {
                val line = page::create("div", {{"role", "row"}});
                page::placeOver(line,
                                QRect(tableRect.x(), cell.y(), tableRect.width(), cell.height()),
                                tableRect.topLeft());
                table.call<void>("appendChild", line);
                row = rows.emplace(cell.y(), line).first;
            }
            add(child, row->second, QPoint(tableRect.x(), cell.y()), "div");
            break;
        }
        case QAccessible::Button:
            add(child, root_, frame.topLeft(), "button");
            break;
        case QAccessible::EditableText:
            add(child, root_, frame.topLeft(), "input");
            break;
        default:
            add(child, root_, frame.topLeft(), "div");
            break;
        }
    }
    canvas["parentNode"].call<void>("appendChild", root_);
    sync();
    window.installEventFilter(this);
}

val Mirror::add(QAccessibleInterface *iface, const val &parent, QPoint origin, const char *tag)
{
    // The answer field's element is the one keyboards type into: one field for every reader.
    val element = iface->role() == QAccessible::EditableText ? editableElement(iface->object())
                                                             : page::create(tag);
    element["dataset"].set("node", std::to_string(nodes_.size()));
    const std::string tagName(tag);
    switch (iface->role()) {
    case QAccessible::Button:
        element.set("type", std::string("button"));
        listen(element, "click");
        break;
    case QAccessible::RadioButton:
        element.set("type", std::string("radio"));
        element.set("name", std::string("punktblick-level"));
        listen(element, "click");
        break;
    case QAccessible::Notification:
        // Spoken when its text changes, once the person has finished what they were doing.
        element.call<void>("setAttribute", std::string("role"), std::string("status"));
        element.call<void>("setAttribute", std::string("aria-live"), std::string("polite"));
        element.call<void>("setAttribute", std::string("aria-atomic"), std::string("true"));
        break;
    case QAccessible::Cell:
        element.call<void>("setAttribute", std::string("role"), std::string("cell"));
        break;
    default:
        break;
    }
    // Out of the page's tab order: the keyboard works the window on the canvas itself. A screen
    // reader that moves the focus here moves the window's, so that keys go where it says.
    if (tagName != "div") {
        element.set("tabIndex", -1);
        listen(element, "focus", "punktblickAccessibleFocus");
    }
    page::placeOver(element, iface->rect(), origin);
    parent.call<void>("appendChild", element);
    nodes_.push_back({QAccessible::uniqueId(iface), iface->role(), element, {}, {}, {}});
    return element;
}

void Mirror::sync()
{
    val active = val::global("document")["activeElement"];
    const bool pageFocusHere = !active.isNull() && root_.call<bool>("contains", active);
    for (Node &node : nodes_) {
        QAccessibleInterface *iface = QAccessible::accessibleInterface(node.id);
        if (!iface || !iface->isValid())
            continue;
        const QAccessible::State state = iface->state();
        QString name = iface->text(QAccessible::Name);
        if (node.role == QAccessible::Notification) {
            // A result that has gone says nothing, so that the next one is spoken anew.
            const auto *label = qobject_cast<const QLabel *>(iface->object());
            if (label && label->text().isEmpty())
                name.clear();
        }
        if (name != node.name) {
            node.name = name;
            if (node.role == QAccessible::Button || node.role == QAccessible::Notification)
                node.element.set("textContent", utf8(name));
            else if (!name.isEmpty())
                node.element.call<void>("setAttribute", std::string("aria-label"), utf8(name));
        }
        const QString description = iface->text(QAccessible::Description);
        if (description != node.description) {
            node.description = description;
            node.element.call<void>("setAttribute", std::string("aria-description"),
                                    utf8(description));
        }
        if (node.role == QAccessible::EditableText)
            showControlText(iface->object());
        if (state.disabled != node.disabled) {
            node.disabled = state.disabled;
            node.element.set("disabled", bool(state.disabled));
        }
        if (node.role == QAccessible::RadioButton)
            node.element.set("checked", bool(state.checked));
        if (state.invisible != node.hidden) {
            node.hidden = state.invisible;
            node.element.set("hidden", bool(state.invisible));
        }
        // The page's focus follows the window's only while a screen reader has put it here: a
        // keyboard on the canvas keeps the canvas's.
        if (pageFocusHere && state.focused && !active.strictlyEquals(node.element))
            node.element.call<void>("focus");
    }
}

bool Mirror::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest)
        sync();
    return QObject::eventFilter(watched, event);
}

void Mirror::act(std::size_t index, const val &event)
{
    if (index >= nodes_.size())
        return;
    QAccessibleInterface *iface = QAccessible::accessibleInterface(nodes_[index].id);
    if (!iface || !iface->isValid() || iface->state().disabled)
        return;
    if (QAccessibleActionInterface *actions = iface->actionInterface()) {
        // The window decides whether a level button is checked, not the page.
        event.call<void>("preventDefault");
        actions->doAction(QAccessibleActionInterface::pressAction());
    }
    sync();
}

void Mirror::focus(std::size_t index)
{
    if (index >= nodes_.size())
        return;
    QAccessibleInterface *iface = QAccessible::accessibleInterface(nodes_[index].id);
    auto *widget = iface && iface->isValid() ? qobject_cast<QWidget *>(iface->object()) : nullptr;
    if (widget && widget->isEnabled() && widget->focusPolicy() != Qt::NoFocus)
        widget->setFocus(Qt::OtherFocusReason);
}

std::size_t nodeOf(const val &event)
{
    const val index = event["currentTarget"]["dataset"]["node"];
    return index.isUndefined() ? std::size_t(-1) : std::stoul(index.as<std::string>());
}

void onAction(val event)
{
    if (mirror)
        mirror->act(nodeOf(event), event);
}

void onFocus(val event)
{
    if (mirror)
        mirror->focus(nodeOf(event));
}

} // namespace

EMSCRIPTEN_BINDINGS(punktblick_accessibility)
{
    emscripten::function("punktblickAccessibleAction", &onAction);
    emscripten::function("punktblickAccessibleFocus", &onFocus);
}

void mirrorAccessibility(QWidget &window)
{
    // Once the window has painted: the first frame waits for none of it.
    afterFirstPaint(window, [&window] {
        if (!mirror)
            mirror = new Mirror(window);
    });
}
