#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web build in the other engines a school has: WebKit (Safari's, as WebKitGTK's MiniBrowser
# driven through WebKitWebDriver) and Firefox ESR (through WebDriver BiDi, which it speaks itself),
# both headful on the X display this runs on, with real pointer and key input. Each loads the
# page, shows the window whole, and does the same trials as the Chromium test: a right and a wrong
# answer, a level-4 display, a Start inside a level-2 display; its console shows no error. Where
# the test has a session bus (dbus-run-session), Firefox is also answered through its accessibility
# bridge, as a screen reader on the desktop does.
# Usage: check_engines.py BUILD-WEB-DIR  (exit 77: skipped, where no engine is installed)
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

# No compiled copy of the shared module in the source tree: the licence check, which may run at
# the same time, would find a folder it did not know was ignored.
sys.dont_write_bytecode = True
import check_web as web  # noqa: E402

WEBKIT_DRIVER = "/usr/bin/WebKitWebDriver"
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
FIREFOX = "/usr/bin/firefox-esr"


class EnginePage(web.Page):
    """A page read from whole screenshots, for drivers without Chromium's clipped ones."""

    def __init__(self, work, screenshot, act, js, settle, resize):
        super().__init__(None, work)
        self.screenshot, self.act, self.js, self.settle = screenshot, act, js, settle
        self.resize = resize  # the page's size in CSS pixels, as the browser's window is made

    def shot(self):
        with open(self.shot_path, "wb") as f:
            f.write(self.screenshot())
        return self.shot_path

    def pixels(self, points):
        self.shot()
        fmt = "".join(f"%[pixel:p{{{int(px * self.ratio)},{int(py * self.ratio)}}}]\\n"
                      for px, py in (self.at(x, y) for x, y in points))
        return subprocess.run(["convert", self.shot_path, "-alpha", "off", "-format", fmt, "info:"],
                              capture_output=True, text=True, check=True).stdout.split()

    def click(self, x, y, move_only=False):
        px, py = map(round, self.at(x, y))
        moves = [{"type": "pointerMove", "x": px, "y": py, "duration": 0}]
        if not move_only:
            moves += [{"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]
        self.act([{"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
                   "actions": moves}])
        self.settle()

    def type(self, text):
        keys = []
        for c in text:
            keys += [{"type": "keyDown", "value": c}, {"type": "keyUp", "value": c}]
        self.act([{"type": "key", "id": "keyboard", "actions": keys}])
        self.settle()


# Resolves once the program has handled what came before (its posted events run from a task)
# and the browser has drawn the frame after: a picture taken then shows the effect.
SETTLE = ("requestAnimationFrame(() => setTimeout(() => requestAnimationFrame(() => "
          "requestAnimationFrame(() => done())), 0));")


def wait_window(page):
    """However long loading takes: the page shows the window at its own size, then its colour
    fills the canvas."""
    shown = "return getComputedStyle(document.getElementById('qtcanvas')).visibility"
    web.wait_until("no window on the page", lambda: page.js(shown) == "visible", 90)
    web.wait_until("the window not at its own size in a page of 600 x 480", lambda: page.js(
        "return [innerWidth, innerHeight, punktblick.fit]") == [600, 480, 1], 10)
    rect = page.js("const r = document.getElementById('qtcanvas').getBoundingClientRect();"
                   "return [r.x, r.y];")
    page.left, page.top = round(rect[0]), round(rect[1])
    corners = [(0, 0), (581, 0), (0, 422), (581, 422)]
    web.wait_until("no window's colour in the canvas",
                   lambda: page.pixels(corners) == [web.WINDOW] * 4, 60)


def webkit(url, work):
    from selenium import webdriver
    from selenium.webdriver.webkitgtk.options import Options

    options = Options()
    options.binary_location = MINIBROWSER
    options.add_argument("--automation")
    driver = webdriver.WebKitGTK(executable_path=WEBKIT_DRIVER, options=options,
                                 service_log_path=os.path.join(work, "webkit.log"))
    try:
        driver.set_window_size(1024, 768)
        driver.get(url)
        # The page of the Chromium test, 600 x 480, whatever the browser's own bars take.
        inner = driver.execute_script("return [outerWidth - innerWidth, outerHeight - innerHeight]")
        driver.set_window_size(600 + inner[0], 480 + inner[1])
        page = EnginePage(work, driver.get_screenshot_as_png,
                          lambda actions: driver.execute("actions", {"actions": actions}),
                          driver.execute_script, lambda: driver.execute_async_script(
                              "const done = arguments[0]; " + SETTLE),
                          lambda w, h: driver.set_window_size(w + inner[0], h + inner[1]))
        # The console of WebKitGTK is not open to its driver: the page keeps what it says.
        page.js(CONSOLE)
        run(page, work)
        small_window(page, "laptop, narrow window")
        return page.js("return window.console_errors || []")
    finally:
        driver.quit()


# Errors the page reports, as its console would show them.
CONSOLE = """
window.console_errors = window.console_errors || [];
window.addEventListener('error', e => console_errors.push(String(e.message)));
window.addEventListener('unhandledrejection', e => console_errors.push('Unhandled Promise Rejection: ' + e.reason));
"""


class Bidi:
    """Firefox's own WebDriver BiDi, over a WebSocket: just the commands the test needs."""

    def __init__(self, port):
        import websocket
        self.ws = websocket.create_connection(f"ws://127.0.0.1:{port}/session", timeout=120,
                                                suppress_origin=True)
        self.serial, self.events = 0, []
        self.send("session.new", {"capabilities": {}})
        self.context = self.send("browsingContext.getTree", {})["contexts"][0]["context"]
        self.send("session.subscribe", {"events": ["log.entryAdded"]})

    def send(self, method, params):
        self.serial += 1
        self.ws.send(json.dumps({"id": self.serial, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("type") == "event":
                self.events.append(message)
            elif message.get("id") == self.serial:
                if message.get("type") == "error":
                    web.fail(f"firefox: {method}: {message.get('message')}")
                return message["result"]

    def js(self, script, *args):
        result = self.send("script.callFunction", {
            "functionDeclaration": f"function (...arguments) {{ {script} }}",
            "arguments": [plain(a) for a in args], "awaitPromise": False,
            "target": {"context": self.context}})
        if result.get("type") == "exception":
            web.fail(f"firefox: script failed: {result['exceptionDetails']['text']}")
        return value(result["result"])

    def settle(self):
        self.send("script.evaluate", {"expression": f"new Promise(done => {{ {SETTLE} }})",
                                      "awaitPromise": True, "target": {"context": self.context}})

    def act(self, actions):
        self.send("input.performActions", {"context": self.context, "actions": actions})

    def screenshot(self):
        data = self.send("browsingContext.captureScreenshot", {"context": self.context})["data"]
        return base64.b64decode(data)


def plain(v):
    return {"type": "number", "value": v} if isinstance(v, (int, float)) else \
        {"type": "string", "value": str(v)}


def value(remote):
    kind, v = remote.get("type"), remote.get("value")
    if kind == "array":
        return [value(item) for item in v]
    return None if kind in ("undefined", "null") else v


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def firefox(url, work):
    profile = os.path.join(work, "firefox")
    os.makedirs(profile)
    # No calls home, which this machine's closed network would refuse, and no first-run pages.
    prefs = {"browser.shell.checkDefaultBrowser": False, "app.update.disabledForTesting": True,
             "datareporting.policy.dataSubmissionEnabled": False, "toolkit.telemetry.enabled": False,
             "browser.startup.homepage_override.mstone": "ignore", "startup.homepage_welcome_url":
             "about:blank", "network.captive-portal-service.enabled": False,
             "network.connectivity-service.enabled": False, "extensions.update.enabled": False,
             "browser.safebrowsing.update.enabled": False, "app.normandy.enabled": False,
             "browser.newtabpage.enabled": False, "remote.prefs.recommended": True}
    with open(os.path.join(profile, "user.js"), "w") as f:
        f.writelines(f"user_pref({json.dumps(k)}, {json.dumps(v)});\n" for k, v in prefs.items())
    port = free_port()
    # Its accessibility bridge, where the test has a bus of its own for it.
    bus = bool(os.environ.get("DBUS_SESSION_BUS_ADDRESS")) and shutil.which("xdotool")
    try:
        import pyatspi  # noqa: F401
    except ImportError:
        bus = False
    env = dict(os.environ, GNOME_ACCESSIBILITY="1") if bus else None
    browser = subprocess.Popen([FIREFOX, "--no-remote", "--profile", profile,
                                f"--remote-debugging-port={port}", "--width=1024",
                                "--height=768", "about:blank"],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
    try:
        bidi = None
        end = time.monotonic() + 120
        while bidi is None:
            try:
                bidi = Bidi(port)
            except OSError:
                # A new profile may make Firefox start itself over: the first process ends and
                # the second one answers.
                if time.monotonic() > end:
                    web.fail("firefox: its WebDriver BiDi did not answer")
                time.sleep(0.5)
        bidi.send("browsingContext.setViewport", {"context": bidi.context,
                                                  "viewport": {"width": 600, "height": 480}})
        bidi.send("browsingContext.navigate", {"context": bidi.context, "url": url,
                                               "wait": "complete"})
        page = EnginePage(work, bidi.screenshot, bidi.act, bidi.js, bidi.settle,
                          lambda w, h: bidi.send("browsingContext.setViewport", {
                              "context": bidi.context, "viewport": {"width": w, "height": h}}))
        run(page, work)
        if bus:
            through_the_bus(page)
        small_window(page, "laptop, narrow window")
        return [e["params"].get("text") for e in bidi.events
                if e.get("method") == "log.entryAdded" and e["params"].get("level") == "error"]
    finally:
        browser.terminate()
        try:
            browser.wait(10)
        except subprocess.TimeoutExpired:
            browser.kill()
        if shutil.which("pkill"):
            subprocess.run(["pkill", "-f", profile], check=False)


def run(page, work):
    wait_window(page)
    web.exercise(page, work)


def small_window(page, screen):
    """The browser's window made small on a screen of one device pixel per CSS pixel, while the
    program runs: the window drawn whole at its smaller size, and a trial by clicks."""
    width, height, _, _, size = web.SCREENS[screen]
    page.resize(width, height)
    box = ("const r = document.getElementById('qtcanvas').getBoundingClientRect();"
           "return [r.x, r.y, r.width, r.height, punktblick.fit];")
    web.wait_until(f"{screen}: the window not fitted to {size}",
                   lambda: page.js(box)[2:4] == list(size), 10)
    x, y, _, _, page.scale = page.js(box)
    page.left, page.top = round(x), round(y)
    web.whole_window(page, 1, screen)
    web.right_trial(page, 1)
    web.say(f"{screen}, {width}x{height}: the window drawn whole at {size[0]}x{size[1]}, a "
            "trial by clicks judged right")


def find(node, role, name):
    import pyatspi
    return pyatspi.findDescendant(node, lambda n: n.getRole() == role and n.name == name)


def through_the_bus(page):
    """As a screen reader reaches the page on the desktop, through Firefox's accessibility bridge:
    the answer field found by its name and focused, the count typed on the keyboard, OK pressed."""
    import pyatspi
    page.click(*web.LEVEL[1])
    for _ in range(20):  # until a count of two digits, which 9 trials in 10 light
        page.click(*web.START)
        n = web.lit_count(page)
        if n >= 10:
            break
        page.click(*web.STOP)

    def found(role, name, usable=lambda node: True):
        """The page's object of the role and name, once the bridge has it and it is usable."""
        seen = []

        def look():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and "firefox" in (app.name or "").lower():
                    node = find(app, role, name)
                    if node and usable(node):
                        seen.append(node)
            return seen
        web.wait_until(f"no {name} on the accessibility bus", look, 30)
        return seen[0]
    field = found(pyatspi.ROLE_ENTRY, "Antwort")
    field.queryComponent().grabFocus()
    web.wait_until("the answer field did not take the focus", lambda: field.getState().contains(
        pyatspi.STATE_FOCUSED), 5)
    subprocess.run(["xdotool", "type", "--delay", "100", str(n)], check=True)
    page.settle()
    # Found anew: the bridge tells an object's actions as they were when it was found.
    found(pyatspi.ROLE_PUSH_BUTTON, "OK", lambda ok: ok.queryAction().nActions).queryAction(
    ).doAction(0)
    web.wait_until(f"no right verdict for {n} typed into the field the bus found",
                   lambda: web.verdict_in_label(page, web.GREEN), 10)
    page.click(*web.STOP)
    web.say(f"through the accessibility bus: the field found and focused, {n} typed, OK pressed: "
            "judged right")


def main():
    folder = sys.argv[1]
    if not os.path.isfile(os.path.join(folder, "index.html")):
        print(f"engines: no web build in {folder} (scripts/build-web): skipped")
        return web.SKIP
    if not os.environ.get("DISPLAY"):
        print("engines: no X display (run under xvfb-run): skipped")
        return web.SKIP
    engines = [("WebKit", webkit, [WEBKIT_DRIVER, MINIBROWSER]), ("Firefox", firefox, [FIREFOX])]
    httpd = web.serve(folder)
    url = f"http://127.0.0.1:{httpd.server_address[1]}/"
    ran = 0
    try:
        for name, engine, needs in engines:
            missing = [n for n in needs if not os.path.exists(n)]
            if missing:
                print(f"engines: {name}: {', '.join(missing)} not installed: skipped")
                continue
            web.PREFIX = f"{name}: "
            work = tempfile.mkdtemp()
            try:
                errors = engine(url, work)
            finally:
                shutil.rmtree(work, ignore_errors=True)
            if errors:
                web.fail(f"{len(errors)} errors on the console: {errors}")
            web.say("no error on the console")
            ran += 1
    finally:
        httpd.shutdown()
    return 0 if ran else web.SKIP


if __name__ == "__main__":
    sys.exit(main())
