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
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <map>
#include <string>
#include <tuple>
#include <utility>
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

// What each kind of accessible object becomes on the page: its element, that element's
// attributes, whether a screen reader may put the focus on it (the window's focus follows), and
// whether a click on it does the object's action. Any other kind becomes a plain element.
struct Kind
{
    QAccessible::Role role;
    const char *tag;
    std::vector<std::pair<const char *, const char *>> attributes;
    bool focusable = false, acts = false;
};

const std::vector<Kind> kinds = {
    {QAccessible::Button, "button", {{"type", "button"}}, true, true},
    {QAccessible::RadioButton,
     "input",
     {{"type", "radio"}, {"name", "punktblick-level"}},
     true,
     true},
    // The answer field's element is the one keyboards type into: one field for every reader.
    {QAccessible::EditableText, "input", {}, true, false},
    // A frame that holds level buttons becomes their radio group.
    {QAccessible::Grouping, "div", {{"role", "group"}}},
    // Spoken when its text changes, once the person has finished what they were doing.
    {QAccessible::Notification,
     "div",
     {{"role", "status"}, {"aria-live", "polite"}, {"aria-atomic", "true"}}},
    // The cells form a table, a row of it for each line of cells, so that a screen reader can
    // tell row and column and move along either.
    {QAccessible::Cell, "div", {{"role", "cell"}}},
};

const Kind &kindOf(QAccessible::Role role)
{
    static const Kind other{QAccessible::NoRole, "div", {}};
    for (const Kind &kind : kinds) {
        if (kind.role == role)
            return kind;
    }
    return other;
}

class Bridge final : public QObject
{
public:
    // The bridge for the window, or none where the window has no accessible objects or no canvas.
    static Bridge *make(QWidget &window);
    void act(std::size_t index, const val &event);
    void focus(std::size_t index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Bridge(QWidget &window, QAccessibleInterface *top, const val &canvas);
    val create(QAccessibleInterface *iface);
    void sync();

    val root_ = val::null();
    std::vector<Node> nodes_;
};

QPointer<Bridge> bridge;

// The page's events on the bridge's elements all reach the program through this one binding.
void listen(val &element, const char *event)
{
    element.call<void>("addEventListener", std::string(event),
                       val::module_property("punktblickAccessible"));
}

Bridge *Bridge::make(QWidget &window)
{
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(&window);
    const val canvas = page::canvas();
    if (!top || !canvas.instanceof (val::global("HTMLElement")))
        return nullptr;
    return new Bridge(window, top, canvas);
}

// Each object's parent on the page, by the index of the window's children: the window's own
// objects stand in the root, a level button in the frame it stands in (the buttons are the
// window's children, not the frame's), a cell in its row of the table.
constexpr qsizetype InRoot = -2, InRow = -1;

std::vector<qsizetype> parentsOnPage(const QList<QAccessibleInterface *> &children)
{
    std::vector<qsizetype> parents(children.size(), InRoot);
    for (qsizetype i = 0; i < children.size(); ++i) {
        const QAccessibleInterface *child = children[i];
        if (child->role() == QAccessible::Cell)
            parents[i] = InRow;
        for (qsizetype g = 0; g < children.size(); ++g) {
            if (child->role() == QAccessible::RadioButton &&
                children[g]->role() == QAccessible::Grouping &&
                children[g]->rect().contains(child->rect()))
                parents[i] = g;
        }
    }
    return parents;
}

// The cells' table, made with its first cell, and a row of it for each line of cells.
class CellTable
{
public:
    CellTable(const QList<QAccessibleInterface *> &children, val root, QPoint origin)
        : root_(std::move(root)), origin_(origin)
    {
        for (const QAccessibleInterface *child : children) {
            if (child->role() == QAccessible::Cell)
                rect_ |= child->rect();
        }
    }

    // The row for a cell, and where its cells are placed from.
    std::pair<val, QPoint> rowOf(const QRect &cell)
    {
        if (table_.isNull()) {
            table_ = page::create("div", {{"role", "table"}});
            page::placeOver(table_, rect_, origin_);
            root_.call<void>("appendChild", table_);
        }
        auto row = rows_.find(cell.y());
        if (row == rows_.end()) {
            val line = page::create("div", {{"role", "row"}});
            page::placeOver(line, QRect(rect_.x(), cell.y(), rect_.width(), cell.height()),
                            rect_.topLeft());
            table_.call<void>("appendChild", line);
            row = rows_.emplace(cell.y(), line).first;
        }
        return {row->second, QPoint(rect_.x(), cell.y())};
    }

private:
    val root_, table_ = val::null();
    QPoint origin_;
    QRect rect_;
    std::map<int, val> rows_;
};

Bridge::Bridge(QWidget &window, QAccessibleInterface *top, const val &canvas) : QObject(&window)
{
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

    QList<QAccessibleInterface *> children;
    for (int i = 0; i < top->childCount(); ++i)
        children.append(top->child(i));
    const std::vector<qsizetype> parents = parentsOnPage(children);
    // A frame may come after the buttons that stand in it: each element is made when first
    // needed, and added in the window's order.
    std::map<qsizetype, val> elements;
    auto element = [&](qsizetype i) -> val & {
        auto made = elements.find(i);
        if (made == elements.end())
            made = elements.emplace(i, create(children[i])).first;
        return made->second;
    };
    CellTable table(children, root_, frame.topLeft());
    for (qsizetype i = 0; i < children.size(); ++i) {
        const QRect rect = children[i]->rect();
        auto [parent, origin] = std::pair(root_, frame.topLeft());
        if (parents[i] == InRow) {
            std::tie(parent, origin) = table.rowOf(rect);
        } else if (parents[i] != InRoot) {
            parent = element(parents[i]);
            origin = children[parents[i]]->rect().topLeft();
            parent.call<void>("setAttribute", std::string("role"), std::string("radiogroup"));
        }
        page::placeOver(element(i), rect, origin);
        parent.call<void>("appendChild", element(i));
    }
    canvas["parentNode"].call<void>("appendChild", root_);
    sync();
    window.installEventFilter(this);
}

val Bridge::create(QAccessibleInterface *iface)
{
    const Kind &kind = kindOf(iface->role());
    val element = kind.role == QAccessible::EditableText ? editableElement(iface->object())
                                                         : page::create(kind.tag);
    for (const auto &[name, value] : kind.attributes)
        element.call<void>("setAttribute", std::string(name), std::string(value));
    element["dataset"].set("node", std::to_string(nodes_.size()));
    if (kind.acts)
        listen(element, "click");
    // Out of the page's tab order: the keyboard works the window on the canvas itself. A screen
    // reader that moves the focus here moves the window's, so that keys go where it says.
    if (kind.focusable) {
        element.set("tabIndex", -1);
        listen(element, "focus");
    }
    nodes_.push_back({QAccessible::uniqueId(iface), iface->role(), element, {}, {}, {}});
    return element;
}

void Bridge::sync()
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

bool Bridge::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::UpdateRequest)
        sync();
    return QObject::eventFilter(watched, event);
}

void Bridge::act(std::size_t index, const val &event)
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

void Bridge::focus(std::size_t index)
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

// What assistive technology did to an element (pressed it, moved the focus onto it), done to the
// window's control.
void onEvent(val event)
{
    if (!bridge)
        return;
    const std::string type = event["type"].as<std::string>();
    if (type == "click")
        bridge->act(nodeOf(event), event);
    else if (type == "focus")
        bridge->focus(nodeOf(event));
}

} // namespace

EMSCRIPTEN_BINDINGS(punktblick_accessibility)
{
    emscripten::function("punktblickAccessible", &onEvent);
}

void bridgeToScreenReaders(QWidget &window)
{
    // Once the window has painted: the first frame waits for none of it.
    afterFirstPaint(window, [&window] {
        if (!bridge)
            bridge = Bridge::make(window);
    });
}
