// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing.h"

#include "page.h"
#include "platform/text_change.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QString>
#include <QWindow>
#include <QtPlugin>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatforminputcontextplugin_p.h>
#include <qpa/qwindowsysteminterface.h>

#include <emscripten/bind.h>

#include <algorithm>
#include <string>
#include <vector>

using emscripten::val;

// On-screen keyboards edit the text of the element that has the page's focus: they delete before
// the caret, replace a word with a suggestion or a dictated phrase, and commit a composition when
// the focus leaves, often with no key event at all. So an editable control's element holds the
// control's text, caret and selection, and every change the browser makes to that text, whatever
// brought it, becomes the same change of the control's, composition included: the control never
// holds less than the child sees. Keys that come as keys (a hardware keyboard, and on-screen
// keyboards that send them) go to the window as the canvas would pass them on, and the control's
// answer is written back.
namespace {

struct Editable
{
    QPointer<QObject> control;
    val element;
    bool composing = false;
};

std::vector<Editable> editables;
// While the element's text goes into the control, the control's intermediate states stay there.
bool taking = false;

Editable *editableOf(QObject *control)
{
    for (Editable &editable : editables) {
        if (control && editable.control == control)
            return &editable;
    }
    return nullptr;
}

Editable *editableOf(const val &element)
{
    for (Editable &editable : editables) {
        if (editable.element.strictlyEquals(element))
            return &editable;
    }
    return nullptr;
}

bool hasPageFocus(const val &element)
{
    return val::global("document")["activeElement"].strictlyEquals(element);
}

struct ControlText
{
    QString text;
    int cursor = 0, anchor = 0, maximum = 0;
};

ControlText read(QObject *control)
{
    QInputMethodQueryEvent query(Qt::ImSurroundingText | Qt::ImCursorPosition |
                                 Qt::ImAnchorPosition | Qt::ImMaximumTextLength);
    QCoreApplication::sendEvent(control, &query);
    return {query.value(Qt::ImSurroundingText).toString(),
            query.value(Qt::ImCursorPosition).toInt(), query.value(Qt::ImAnchorPosition).toInt(),
            query.value(Qt::ImMaximumTextLength).toInt()};
}

void write(Editable &editable)
{
    // Setting the text of an element being composed in ends the composition.
    if (editable.composing || taking || !editable.control)
        return;
    const ControlText now = read(editable.control);
    const std::string text = now.text.toStdString();
    if (editable.element["value"].as<std::string>() != text)
        editable.element.set("value", text);
    // The browser then refuses what the control would cut off, before a composition shows it.
    if (now.maximum > 0 && editable.element["maxLength"].as<int>() != now.maximum)
        editable.element.set("maxLength", now.maximum);
    // Some browsers give the focus to an element whose selection is set.
    if (!hasPageFocus(editable.element))
        return;
    const int start = std::min(now.cursor, now.anchor), end = std::max(now.cursor, now.anchor);
    if (editable.element["selectionStart"].as<int>() != start ||
        editable.element["selectionEnd"].as<int>() != end)
        editable.element.call<void>("setSelectionRange", start, end,
                                    std::string(now.cursor < now.anchor ? "backward" : "forward"));
}

// The element's text as the browser has changed it goes into the control as one replacement of
// what differs, with the element's caret and selection after it.
void take(Editable &editable)
{
    if (!editable.control)
        return;
    const TextChange edit =
        textChange(read(editable.control).text,
                   QString::fromStdString(editable.element["value"].as<std::string>()));
    const int start = editable.element["selectionStart"].as<int>();
    const int end = editable.element["selectionEnd"].as<int>();
    const bool backward = editable.element["selectionDirection"].as<std::string>() == "backward";
    using Attribute = QInputMethodEvent::Attribute;
    // The control replaces at its caret, and removes a selection first: so the caret goes to
    // where the change begins, with nothing selected.
    const QScopedValueRollback whileTaking(taking, true);
    QInputMethodEvent toChange({}, {Attribute(QInputMethodEvent::Selection, int(edit.start), 0)});
    QCoreApplication::sendEvent(editable.control, &toChange);
    QInputMethodEvent change({}, {Attribute(QInputMethodEvent::Selection, backward ? end : start,
                                            backward ? start - end : end - start)});
    change.setCommitString(edit.inserted, 0, int(edit.removed));
    QCoreApplication::sendEvent(editable.control, &change);
}

void sendKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool press)
{
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        QGuiApplication::focusWindow(), press ? QEvent::KeyPress : QEvent::KeyRelease, key,
        modifiers, text);
}

// Keys with a meaning of their own (Backspace, Tab, arrows, shortcuts) and printing keys that come
// as such go to the window as they are; what a keyboard sends as text only (key "Unidentified" or
// "Process", or keys during a composition) is the browser's, and reaches the control as a change
// of the element's text. Enter closes the keyboard: OK is the one way to answer.
bool forwardKey(const val &event, bool press)
{
    if (event["isComposing"].as<bool>())
        return false;
    const QString name = QString::fromStdString(event["key"].as<std::string>());
    Qt::KeyboardModifiers modifiers;
    for (const auto &[property, modifier] : {std::pair{"shiftKey", Qt::ShiftModifier},
                                             {"ctrlKey", Qt::ControlModifier},
                                             {"altKey", Qt::AltModifier},
                                             {"metaKey", Qt::MetaModifier}}) {
        if (event[property].as<bool>())
            modifiers |= modifier;
    }
    static const std::pair<const char *, Qt::Key> named[] = {{"Backspace", Qt::Key_Backspace},
                                                             {"Delete", Qt::Key_Delete},
                                                             {"Tab", Qt::Key_Tab},
                                                             {"Escape", Qt::Key_Escape},
                                                             {"ArrowLeft", Qt::Key_Left},
                                                             {"ArrowRight", Qt::Key_Right},
                                                             {"ArrowUp", Qt::Key_Up},
                                                             {"ArrowDown", Qt::Key_Down},
                                                             {"Home", Qt::Key_Home},
                                                             {"End", Qt::Key_End}};
    if (name == QLatin1String("Enter")) {
        if (press)
            QGuiApplication::inputMethod()->hide();
        return true;
    }
    for (const auto &[keyName, namedKey] : named) {
        if (name == QLatin1String(keyName)) {
            const int qtKey = namedKey == Qt::Key_Tab && (modifiers & Qt::ShiftModifier)
                                  ? Qt::Key_Backtab
                                  : namedKey;
            sendKey(qtKey, modifiers, QString(), press);
            return true;
        }
    }
    if (name.size() == 1) {
        // Qt's code for a printing key is its character's upper case.
        const bool shortcut = modifiers & (Qt::ControlModifier | Qt::MetaModifier);
        sendKey(name[0].toUpper().unicode(), modifiers, shortcut ? QString() : name, press);
        return true;
    }
    return false;
}

class WebInputContext final : public QPlatformInputContext
{
public:
    bool isValid() const override { return true; }
    void showInputPanel() override;
    void hideInputPanel() override;
    bool isInputPanelVisible() const override { return shown_; }
    void setFocusObject(QObject *object) override;
    void update(Qt::InputMethodQueries) override { showControlText(focusObject()); }
    void reset() override;

private:
    static QObject *focusObject() { return QGuiApplication::focusObject(); }

    bool shown_ = false;
};

WebInputContext *context = nullptr;

void WebInputContext::showInputPanel()
{
    Editable *editable = editableOf(focusObject());
    if (!editable)
        return;
    write(*editable);
    shown_ = true;
    emitInputPanelVisibleChanged();
    // The on-screen keyboard opens for the element that takes the focus, and puts itself below
    // it, where the control is drawn; the page scrolls nothing.
    val options = val::object();
    options.set("preventScroll", true);
    if (!hasPageFocus(editable->element))
        editable->element.call<void>("focus", options);
    write(*editable);
}

void WebInputContext::hideInputPanel()
{
    if (!shown_)
        return;
    shown_ = false;
    emitInputPanelVisibleChanged();
    // The keyboard closes with the element's focus, and the canvas takes the keys again; a
    // screen reader that has moved the focus elsewhere keeps it there.
    for (const Editable &editable : editables) {
        if (hasPageFocus(editable.element))
            page::canvas().call<void>("focus");
    }
}

void WebInputContext::setFocusObject(QObject *object)
{
    if (!object || !inputMethodAccepted())
        hideInputPanel();
}

void WebInputContext::reset()
{
    // The program has set the text itself (Start empties the answer): a composition still open
    // in the element ends, and the element shows the control's text.
    if (Editable *editable = editableOf(focusObject())) {
        editable->composing = false;
        write(*editable);
    }
}

void onKeyDown(val event)
{
    if (forwardKey(event, true))
        event.call<void>("preventDefault");
}

void onKeyUp(val event)
{
    if (forwardKey(event, false))
        event.call<void>("preventDefault");
}

// What would change more than the text is refused: a line break has no place in a number, and
// Enter only closes the keyboard; formatting and the browser's undo of texts it never wrote have
// no meaning here.
void onBeforeInput(val event)
{
    const std::string kind =
        event["inputType"].isString() ? event["inputType"].as<std::string>() : std::string();
    const bool lineBreak = kind == "insertLineBreak" || kind == "insertParagraph";
    if (lineBreak || kind.rfind("format", 0) == 0 || kind.rfind("history", 0) == 0) {
        event.call<void>("preventDefault");
        if (lineBreak)
            QGuiApplication::inputMethod()->hide();
    }
}

void onInput(val event)
{
    if (Editable *editable = editableOf(event["currentTarget"])) {
        take(*editable);
        if (!event["isComposing"].as<bool>())
            write(*editable);
    }
}

void onCompositionStart(val event)
{
    if (Editable *editable = editableOf(event["currentTarget"]))
        editable->composing = true;
}

void onCompositionEnd(val event)
{
    if (Editable *editable = editableOf(event["currentTarget"])) {
        editable->composing = false;
        take(*editable);
        write(*editable);
    }
}

void onBlur(val)
{
    // The keyboard was closed from the browser's side (a button of its own, the back key).
    if (context && context->isInputPanelVisible())
        context->hideInputPanel();
}

// What an editable control's element listens to, and what answers each.
constexpr std::pair<const char *, void (*)(val)> handlers[] = {
    {"keydown", onKeyDown},
    {"keyup", onKeyUp},
    {"beforeinput", onBeforeInput},
    {"input", onInput},
    {"compositionstart", onCompositionStart},
    {"compositionend", onCompositionEnd},
    {"blur", onBlur},
};

void onEvent(val event)
{
    const std::string type = event["type"].as<std::string>();
    for (const auto &[name, handler] : handlers) {
        if (type == name)
            handler(event);
    }
}

class WebInputPlugin final : public QPlatformInputContextPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformInputContextFactoryInterface_iid FILE "typing.json")

public:
    QPlatformInputContext *create(const QString &key, const QStringList &) override
    {
        if (key != QLatin1String("punktblick") || context)
            return nullptr;
        context = new WebInputContext;
        return context;
    }
};

} // namespace

EMSCRIPTEN_BINDINGS(punktblick_typing)
{
    emscripten::function("punktblickTyping", &onEvent);
}

Q_IMPORT_PLUGIN(WebInputPlugin)

void typeThroughPage()
{
    // Asked for by name, Qt makes it on every device, with or without a touch screen; its own
    // context for the browser decides by the device's name whether to help at all, and asks for
    // the letter keyboard where it does.
    qputenv("QT_IM_MODULE", "punktblick");
}

val editableElement(QObject *control)
{
    if (Editable *editable = editableOf(control))
        return editable->element;
    // The answer is digits: the number pad, and nothing that second-guesses what the child
    // typed. 16 px, or Safari zooms the page to the focused element; seen by nobody.
    val element = page::create("input", {{"type", "text"},
                                         {"inputmode", "numeric"},
                                         {"enterkeyhint", "done"},
                                         {"autocomplete", "off"},
                                         {"autocorrect", "off"},
                                         {"autocapitalize", "off"},
                                         {"spellcheck", "false"}});
    element["style"].set("fontSize", std::string("16px"));
    element["style"].set("caretColor", std::string("transparent"));
    for (const auto &listened : handlers)
        element.call<void>("addEventListener", std::string(listened.first),
                           val::module_property("punktblickTyping"));
    page::setAnswerElement(element);
    editables.push_back({control, element});
    write(editables.back());
    return element;
}

void showControlText(QObject *control)
{
    if (Editable *editable = editableOf(control))
        write(*editable);
}

#include "typing.moc"
