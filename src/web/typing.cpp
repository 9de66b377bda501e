// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "typing.h"

#include "page.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QPointer>
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

struct Mirror
{
    QPointer<QObject> control;
    val element;
    bool composing = false;
};

std::vector<Mirror> mirrors;
// While the element's text goes into the control, the control's intermediate states stay there.
bool taking = false;

Mirror *mirrorOf(QObject *control)
{
    for (Mirror &mirror : mirrors) {
        if (control && mirror.control == control)
            return &mirror;
    }
    return nullptr;
}

Mirror *mirrorOf(const val &element)
{
    for (Mirror &mirror : mirrors) {
        if (mirror.element.strictlyEquals(element))
            return &mirror;
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

void write(Mirror &mirror)
{
    // Setting the text of an element being composed in ends the composition.
    if (mirror.composing || taking || !mirror.control)
        return;
    const ControlText now = read(mirror.control);
    const std::string text = now.text.toStdString();
    if (mirror.element["value"].as<std::string>() != text)
        mirror.element.set("value", text);
    // The browser then refuses what the control would cut off, before a composition shows it.
    if (now.maximum > 0 && mirror.element["maxLength"].as<int>() != now.maximum)
        mirror.element.set("maxLength", now.maximum);
    // Some browsers give the focus to an element whose selection is set.
    if (!hasPageFocus(mirror.element))
        return;
    const int start = std::min(now.cursor, now.anchor), end = std::max(now.cursor, now.anchor);
    if (mirror.element["selectionStart"].as<int>() != start ||
        mirror.element["selectionEnd"].as<int>() != end)
        mirror.element.call<void>("setSelectionRange", start, end,
                                  std::string(now.cursor < now.anchor ? "backward" : "forward"));
}

// The element's text as the browser has changed it goes into the control as one replacement of
// what differs, with the element's caret and selection after it.
void take(Mirror &mirror)
{
    if (!mirror.control)
        return;
    const QString was = read(mirror.control).text;
    const QString now = QString::fromStdString(mirror.element["value"].as<std::string>());
    const qsizetype shorter = std::min(was.size(), now.size());
    qsizetype same = 0, sameAtEnd = 0;
    while (same < shorter && was[same] == now[same])
        ++same;
    while (sameAtEnd < shorter - same &&
           was[was.size() - 1 - sameAtEnd] == now[now.size() - 1 - sameAtEnd])
        ++sameAtEnd;
    const int start = mirror.element["selectionStart"].as<int>();
    const int end = mirror.element["selectionEnd"].as<int>();
    const bool backward = mirror.element["selectionDirection"].as<std::string>() == "backward";
    using Attribute = QInputMethodEvent::Attribute;
    // The control replaces at its caret, and removes a selection first: so the caret goes to
    // where the change begins, with nothing selected.
    taking = true;
    QInputMethodEvent toChange({}, {Attribute(QInputMethodEvent::Selection, int(same), 0)});
    QCoreApplication::sendEvent(mirror.control, &toChange);
    QInputMethodEvent change({}, {Attribute(QInputMethodEvent::Selection, backward ? end : start,
                                            backward ? start - end : end - start)});
    change.setCommitString(now.mid(same, now.size() - same - sameAtEnd), 0,
                           int(was.size() - same - sameAtEnd));
    QCoreApplication::sendEvent(mirror.control, &change);
    taking = false;
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
bool key(const val &event, bool press)
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
    for (const auto &[keyName, key] : named) {
        if (name == QLatin1String(keyName)) {
            const int qtKey =
                key == Qt::Key_Tab && (modifiers & Qt::ShiftModifier) ? Qt::Key_Backtab : key;
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
    Mirror *mirror = mirrorOf(focusObject());
    if (!mirror)
        return;
    write(*mirror);
    shown_ = true;
    emitInputPanelVisibleChanged();
    // The on-screen keyboard opens for the element that takes the focus, and puts itself below
    // it, where the control is drawn; the page scrolls nothing.
    val options = val::object();
    options.set("preventScroll", true);
    if (!hasPageFocus(mirror->element))
        mirror->element.call<void>("focus", options);
    write(*mirror);
}

void WebInputContext::hideInputPanel()
{
    if (!shown_)
        return;
    shown_ = false;
    emitInputPanelVisibleChanged();
    // The keyboard closes with the element's focus, and the canvas takes the keys again; a
    // screen reader that has moved the focus elsewhere keeps it there.
    for (const Mirror &mirror : mirrors) {
        if (hasPageFocus(mirror.element))
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
    if (Mirror *mirror = mirrorOf(focusObject())) {
        mirror->composing = false;
        write(*mirror);
    }
}

void onKeyDown(val event)
{
    if (key(event, true))
        event.call<void>("preventDefault");
}

void onKeyUp(val event)
{
    if (key(event, false))
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
    if (Mirror *mirror = mirrorOf(event["currentTarget"])) {
        take(*mirror);
        if (!event["isComposing"].as<bool>())
            write(*mirror);
    }
}

void onCompositionStart(val event)
{
    if (Mirror *mirror = mirrorOf(event["currentTarget"]))
        mirror->composing = true;
}

void onCompositionEnd(val event)
{
    if (Mirror *mirror = mirrorOf(event["currentTarget"])) {
        mirror->composing = false;
        take(*mirror);
        write(*mirror);
    }
}

void onBlur(val)
{
    // The keyboard was closed from the browser's side (a button of its own, the back key).
    if (context && context->isInputPanelVisible())
        context->hideInputPanel();
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
    emscripten::function("punktblickKeyDown", &onKeyDown);
    emscripten::function("punktblickKeyUp", &onKeyUp);
    emscripten::function("punktblickBeforeInput", &onBeforeInput);
    emscripten::function("punktblickInput", &onInput);
    emscripten::function("punktblickCompositionStart", &onCompositionStart);
    emscripten::function("punktblickCompositionEnd", &onCompositionEnd);
    emscripten::function("punktblickBlur", &onBlur);
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
    if (Mirror *mirror = mirrorOf(control))
        return mirror->element;
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
    const char *const events[][2] = {{"keydown", "punktblickKeyDown"},
                                     {"keyup", "punktblickKeyUp"},
                                     {"beforeinput", "punktblickBeforeInput"},
                                     {"input", "punktblickInput"},
                                     {"compositionstart", "punktblickCompositionStart"},
                                     {"compositionend", "punktblickCompositionEnd"},
                                     {"blur", "punktblickBlur"}};
    for (const auto &[event, handler] : events)
        element.call<void>("addEventListener", std::string(event), val::module_property(handler));
    mirrors.push_back({control, element});
    write(mirrors.back());
    return element;
}

void showControlText(QObject *control)
{
    if (Mirror *mirror = mirrorOf(control))
        write(*mirror);
}

#include "typing.moc"
