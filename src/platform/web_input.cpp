// SPDX-FileCopyrightText: The Punktblick authors
// SPDX-License-Identifier: GPL-3.0-or-later

#include "web_input.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QPointer>
#include <QWindow>
#include <QtPlugin>
#include <qpa/qplatforminputcontext.h>
#include <qpa/qplatforminputcontextplugin_p.h>
#include <qpa/qwindowsysteminterface.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <memory>
#include <string>

using emscripten::val;

namespace {

// Qt 6.4's own input context for the browser decides by the device's name whether it helps at
// all, and asks for the letter keyboard where it does. This one serves every device alike: an
// input element of the page, invisible over the answer field, takes the focus while the field
// has it, so that a tap opens the on-screen keyboard with its number pad, and whatever reaches
// the element (keys, committed text, composition, deletion) goes on to Qt as key events, the way
// the canvas passes on a hardware keyboard's.
class WebInputContext final : public QPlatformInputContext
{
public:
    WebInputContext();
    ~WebInputContext() override;

    bool isValid() const override { return true; }
    void showInputPanel() override;
    void hideInputPanel() override;
    bool isInputPanelVisible() const override { return shown_; }
    void setFocusObject(QObject *object) override;

    // From the element's listeners.
    bool key(const val &event, bool press);
    void input(const val &event);
    void composition(const val &event, bool ended);

private:
    void place();
    void type(const QString &text);
    void sendKey(int key, Qt::KeyboardModifiers modifiers, const QString &text, bool press);
    void preedit(const QString &text);

    val element_ = val::null();
    std::unique_ptr<val> listeners_[6];
    bool shown_ = false;
};

WebInputContext *context = nullptr;

// Qt's code for a printing key is its character's upper case.
int keyOf(QChar c)
{
    return c.toUpper().unicode();
}

// The answer is digits: the number pad, and nothing that second-guesses what the child typed.
val makeElement()
{
    val document = val::global("document");
    val input = document.call<val>("createElement", std::string("input"));
    for (const auto &[name, value] : {std::pair{"type", "text"},
                                      {"inputmode", "numeric"},
                                      {"enterkeyhint", "done"},
                                      {"autocomplete", "off"},
                                      {"autocorrect", "off"},
                                      {"autocapitalize", "off"},
                                      {"spellcheck", "false"},
                                      {"tabindex", "-1"},
                                      {"id", "punktblick-input"}})
        input.call<void>("setAttribute", std::string(name), std::string(value));
    // Over the field but unseen; 16 px, or Safari zooms the page to the focused input.
    input["style"].set("cssText", std::string("position: fixed; left: 0; top: 0; width: 1px; "
                                              "height: 1px; margin: 0; padding: 0; border: 0; "
                                              "opacity: 0; font-size: 16px; color: transparent; "
                                              "background: transparent; caret-color: transparent; "
                                              "pointer-events: none; outline: none;"));
    document["body"].call<void>("appendChild", input);
    return input;
}

val canvas()
{
    return val::global("document").call<val>("getElementById", std::string("qtcanvas"));
}

void onKeyDown(val event)
{
    if (context && context->key(event, true))
        event.call<void>("preventDefault");
}

void onKeyUp(val event)
{
    if (context && context->key(event, false))
        event.call<void>("preventDefault");
}

void onInput(val event)
{
    if (context)
        context->input(event);
}

void onCompositionUpdate(val event)
{
    if (context)
        context->composition(event, false);
}

void onCompositionEnd(val event)
{
    if (context)
        context->composition(event, true);
}

void onBlur(val)
{
    if (context && context->isInputPanelVisible())
        context->hideInputPanel();
}

EMSCRIPTEN_BINDINGS(punktblick_input)
{
    emscripten::function("punktblickKeyDown", &onKeyDown);
    emscripten::function("punktblickKeyUp", &onKeyUp);
    emscripten::function("punktblickInput", &onInput);
    emscripten::function("punktblickCompositionUpdate", &onCompositionUpdate);
    emscripten::function("punktblickCompositionEnd", &onCompositionEnd);
    emscripten::function("punktblickBlur", &onBlur);
}

WebInputContext::WebInputContext() : element_(makeElement())
{
    context = this;
    const char *const events[][2] = {{"keydown", "punktblickKeyDown"},
                                     {"keyup", "punktblickKeyUp"},
                                     {"input", "punktblickInput"},
                                     {"compositionupdate", "punktblickCompositionUpdate"},
                                     {"compositionend", "punktblickCompositionEnd"},
                                     {"blur", "punktblickBlur"}};
    for (const auto &[event, handler] : events)
        element_.call<void>("addEventListener", std::string(event), val::module_property(handler));
}

WebInputContext::~WebInputContext()
{
    context = nullptr;
    element_.call<void>("remove");
}

void WebInputContext::place()
{
    // Where the field is drawn, so that the browser scrolls nothing and puts its keyboard below it.
    QInputMethod *method = QGuiApplication::inputMethod();
    const QRectF field = method->inputItemTransform().mapRect(method->inputItemRectangle());
    const val box = canvas().call<val>("getBoundingClientRect");
    val style = element_["style"];
    style.set("left", std::to_string(box["left"].as<double>() + field.x()) + "px");
    style.set("top", std::to_string(box["top"].as<double>() + field.y()) + "px");
    style.set("width", std::to_string(std::max(1.0, field.width())) + "px");
    style.set("height", std::to_string(std::max(1.0, field.height())) + "px");
}

void WebInputContext::showInputPanel()
{
    place();
    // While it has the page's focus, a screen reader reads it as the field it stands for.
    if (QAccessibleInterface *field =
            QAccessible::queryAccessibleInterface(QGuiApplication::focusObject())) {
        element_.call<void>("setAttribute", std::string("aria-label"),
                            field->text(QAccessible::Name).toStdString());
        element_.call<void>("setAttribute", std::string("aria-description"),
                            field->text(QAccessible::Description).toStdString());
    }
    shown_ = true;
    emitInputPanelVisibleChanged();
    val options = val::object();
    options.set("preventScroll", true);
    element_.call<void>("focus", options);
}

void WebInputContext::hideInputPanel()
{
    if (!shown_)
        return;
    shown_ = false;
    emitInputPanelVisibleChanged();
    element_.set("value", std::string());
    // The keyboard closes with the element's focus; the canvas takes the keys again.
    if (val::global("document")["activeElement"] == element_)
        canvas().call<void>("focus");
}

void WebInputContext::setFocusObject(QObject *object)
{
    if (!object || !inputMethodAccepted())
        hideInputPanel();
}

// Keys with a meaning of their own (Backspace, Tab, arrows, shortcuts) and printing keys that come
// as such go on as they are; what a keyboard sends as text only (key "Unidentified" or
// "Process") follows with the input event. Enter closes the keyboard: OK is the one way to answer.
bool WebInputContext::key(const val &event, bool press)
{
    if (event["isComposing"].as<bool>())
        return false;
    const QString name = QString::fromStdString(event["key"].as<std::string>());
    Qt::KeyboardModifiers modifiers;
    if (event["shiftKey"].as<bool>())
        modifiers |= Qt::ShiftModifier;
    if (event["ctrlKey"].as<bool>())
        modifiers |= Qt::ControlModifier;
    if (event["altKey"].as<bool>())
        modifiers |= Qt::AltModifier;
    if (event["metaKey"].as<bool>())
        modifiers |= Qt::MetaModifier;

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
        const bool shortcut = modifiers & (Qt::ControlModifier | Qt::MetaModifier);
        sendKey(keyOf(name[0]), modifiers, shortcut ? QString() : name, press);
        return true;
    }
    return false;
}

void WebInputContext::input(const val &event)
{
    if (event["isComposing"].as<bool>())
        return;
    const std::string kind =
        event["inputType"].isString() ? event["inputType"].as<std::string>() : std::string();
    if (kind.rfind("delete", 0) == 0) {
        const int key =
            kind.find("Forward") != std::string::npos ? Qt::Key_Delete : Qt::Key_Backspace;
        sendKey(key, Qt::NoModifier, QString(), true);
        sendKey(key, Qt::NoModifier, QString(), false);
    } else {
        type(QString::fromStdString(element_["value"].as<std::string>()));
    }
    element_.set("value", std::string());
}

void WebInputContext::composition(const val &event, bool ended)
{
    const QString text = QString::fromStdString(event["data"].as<std::string>());
    preedit(ended ? QString() : text);
    if (ended) {
        type(text);
        element_.set("value", std::string());
    }
}

void WebInputContext::type(const QString &text)
{
    for (const QChar c : text) {
        sendKey(keyOf(c), Qt::NoModifier, QString(c), true);
        sendKey(keyOf(c), Qt::NoModifier, QString(c), false);
    }
}

void WebInputContext::sendKey(int key, Qt::KeyboardModifiers modifiers, const QString &text,
                              bool press)
{
    QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::SynchronousDelivery>(
        QGuiApplication::focusWindow(), press ? QEvent::KeyPress : QEvent::KeyRelease, key,
        modifiers, text);
}

void WebInputContext::preedit(const QString &text)
{
    QObject *target = QGuiApplication::focusObject();
    if (!target)
        return;
    QInputMethodEvent event(text, {});
    QCoreApplication::sendEvent(target, &event);
}

class WebInputPlugin final : public QPlatformInputContextPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QPlatformInputContextFactoryInterface_iid FILE "web_input.json")

public:
    QPlatformInputContext *create(const QString &key, const QStringList &) override
    {
        return key == QLatin1String("punktblick") ? new WebInputContext : nullptr;
    }
};

} // namespace

Q_IMPORT_PLUGIN(WebInputPlugin)

void useWebInput()
{
    // Asked for by name, Qt makes it on every device, with or without a touch screen.
    qputenv("QT_IM_MODULE", "punktblick");
}

#include "web_input.moc"
