#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web build as a person would use it: the folder served on 127.0.0.1, the page in headless
# Chromium, driven with real clicks and keys. The window stands where the page put it when parsed,
# at its own size with its cells in place, lights them in reading order, judges a right and a
# wrong answer with both verdicts whole, ends a level-4 display after about a second, and serves a
# Start inside a display. As a Chromebook, an iPad and an Android tablet it is answered by taps and
# on-screen typing alone, with slips mended as on-screen keyboards mend them, and its one text box
# follows the typing. On phones, a tablet and a board the window fills the space it has and serves
# a trial, and a turn of the phone during a display keeps it. The page stores nothing, fetches nothing but its own files, and logs no
# error.
# Usage: check_web.py BUILD-WEB-DIR  (exit 77: skipped)
import base64
import functools
import http.server
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
HERE = os.path.dirname(os.path.abspath(__file__))
COLOUR_BOX = os.path.join(HERE, "..", "support", "colour-box")
WEB_FOLDER = os.path.join(HERE, "..", "..", "scripts", "web-folder")
CHROMIUM, DRIVER = "/usr/bin/chromium", "/usr/bin/chromedriver"

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
except ImportError:
    print("web: python3-selenium is not installed: skipped")
    sys.exit(SKIP)


PREFIX = "web: "  # the engine a line is about, where several are tested


def fail(what):
    print(f"{PREFIX}FAILED: {what}", file=sys.stderr)
    sys.exit(1)


def say(what):
    print(f"{PREFIX}{what}", flush=True)


class Server(http.server.SimpleHTTPRequestHandler):
    """Serves the folder as a static server with brotli_static and gzip_static would, and notes
    every request and what it sent."""
    extensions_map = {".html": "text/html; charset=utf-8", ".js": "text/javascript",
                      ".svg": "image/svg+xml", ".png": "image/png",
                      ".webmanifest": "application/manifest+json", "": "application/octet-stream"}
    requests = []
    revalidated = []
    sent = {}
    missing = set()  # paths answered with 404, as a server that lacks a file
    wasm_type = "application/wasm"  # what many servers send instead: application/octet-stream

    def guess_type(self, path):
        return Server.wasm_type if path.endswith(".wasm") else super().guess_type(path)

    def send_head(self):
        Server.requests.append(self.path)
        if self.headers.get("Cache-Control") == "max-age=0":  # the worker keeping its set
            Server.revalidated.append(self.path)
        if self.path.split("?")[0] in Server.missing:
            self.send_error(404)
            return None
        path = self.translate_path(self.path)
        accepted = self.headers.get("Accept-Encoding", "")
        for coding, suffix in (("br", ".br"), ("gzip", ".gz")):
            if coding in accepted and os.path.isfile(path + suffix):
                body = open(path + suffix, "rb")
                Server.sent[self.path] = coding
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(path))
                self.send_header("Content-Encoding", coding)
                self.send_header("Content-Length", str(os.fstat(body.fileno()).st_size))
                self.end_headers()
                return body
        return super().send_head()

    def log_message(self, *args):
        pass


def serve(folder):
    httpd = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(Server, directory=folder))
    threading.Thread(target=httpd.serve_forever, daemon=True).start()
    return httpd


def browser(profile, *flags):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    # WebGL in software; no calls home, which this machine's closed network would refuse.
    for flag in ["--headless=new", "--no-sandbox", "--use-angle=swiftshader",
                 "--enable-unsafe-swiftshader", "--force-device-scale-factor=1",
                 "--window-size=1024,768", "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-quic",
                 f"--user-data-dir={profile}", *flags]:
        options.add_argument(flag)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.set_script_timeout(90)  # beyond the 60 s a start may take
    desk(driver)
    return driver


def desk(driver, ratio=1):
    """A desktop browser's page of 600 x 480 CSS pixels: room for the window at its own size."""
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": 600, "height": 480, "deviceScaleFactor": ratio, "mobile": False})


class Page:
    """The window in the page: clicks and pixels in its own coordinates (CSS pixels)."""

    def __init__(self, driver, work):
        self.driver, self.shot_path = driver, os.path.join(work, "shot.png")
        self.left = self.top = 0
        self.ratio = 1  # device pixels to a CSS pixel, as the pictures are taken
        self.scale = 1  # CSS pixels to one of the window's own, as the page fitted it

    def at(self, x, y):
        """A point of the window on the page, in CSS pixels."""
        return self.left + x * self.scale, self.top + y * self.scale

    def shot(self):
        self.driver.save_screenshot(self.shot_path)
        return self.shot_path

    def box(self, colour, crop=None):
        args = [COLOUR_BOX, self.shot_path, colour]
        if crop:
            w, h, x, y = crop
            args.append(f"{w}x{h}+{self.left + x}+{self.top + y}")
        return subprocess.run(args, capture_output=True, text=True).stdout.strip()

    def pixels(self, points):
        """Colours at points of the window, from a fresh picture of just the part that holds
        them: quicker than a whole screenshot, which matters while a display runs out."""
        points = [self.at(x, y) for x, y in points]
        xs, ys = [int(x) for x, _ in points], [int(y) for _, y in points]
        clip = {"x": min(xs), "y": min(ys), "scale": 1,
                "width": max(xs) - min(xs) + 1, "height": max(ys) - min(ys) + 1}
        shot = self.driver.execute_cdp_cmd("Page.captureScreenshot",
                                           {"format": "png", "clip": clip})
        part = self.shot_path + ".part.png"
        with open(part, "wb") as f:
            f.write(base64.b64decode(shot["data"]))
        fmt = "".join(f"%[pixel:p{{{int((x - min(xs)) * self.ratio)},"
                      f"{int((y - min(ys)) * self.ratio)}}}]\\n" for x, y in points)
        out = subprocess.run(["convert", part, "-format", fmt, "info:"],
                             capture_output=True, text=True, check=True).stdout
        return out.split()

    def click(self, x, y, move_only=False):
        actions = ActionChains(self.driver)
        actions.w3c_actions.pointer_action.move_to_location(*map(round, self.at(x, y)))
        if not move_only:
            actions.w3c_actions.pointer_action.click()
        actions.perform()

    def type(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)


CELLS = [(72 + 24 * c + (16 if c >= 5 else 0) + 8, 48 + 24 * r + (8 if r >= 5 else 0) + 8)
         for r in range(10) for c in range(10)]
START, STOP, FIELD, OK = (436, 68), (436, 124), (416, 192), (480, 192)
AWAY = (560, 400)  # no control: a button under the pointer would look otherwise
LEVEL = {level: (72 + 56 * (level - 1) + 8, 344 + 8) for level in range(1, 5)}
GREEN, BLACK = "srgb(0,192,0)", "srgb(0,0,0)"


# Wraps the window's draw calls: after each one, whether the first cell shows lit, with the page's
# own time; and the time of every pointer release on the canvas and every animation frame begun.
# Screenshots from outside come late by their own duration; these do not.
WATCH = """
const canvas = document.getElementById('qtcanvas');
const gl = canvas.getContext('webgl2') || canvas.getContext('webgl');
const proto = Object.getPrototypeOf(gl);
window.frames_seen = [];
window.clicks_seen = [];
window.frame_starts = [];
(function tick() { frame_starts.push(performance.now()); requestAnimationFrame(tick); })();
canvas.addEventListener('pointerup', e => clicks_seen.push(e.timeStamp), true);
for (const name of ['drawArrays', 'drawElements']) {
  const draw = proto[name];
  proto[name] = function (...args) {
    draw.apply(this, args);
    const scale = canvas.width / 582;  // canvas pixels to one of the window's own
    const x = Math.round(80 * scale);
    const y = canvas.height - 1 - Math.round(56 * scale);
    const px = new Uint8Array(4);
    this.readPixels(x, y, 1, 1, this.RGBA, this.UNSIGNED_BYTE, px);
    frames_seen.push([performance.now(), px[1] === 192 && px[0] === 0]);
  };
}
"""


def last_display(page, clicks_back=1):
    """The page's times (ms) of a click, the first frame after it with the first cell lit and the
    first frame after that with it dark; None for what has not been drawn yet."""
    clicks, frames = page.js("return [clicks_seen, frames_seen];")
    if len(clicks) < clicks_back:
        return None, None, None
    click = clicks[-clicks_back]
    lit = next((t for t, on in frames if t > click and on), None)
    dark = next((t for t, on in frames if lit and t > lit and not on), None)
    return click, lit, dark


def wait_dark(page, what, clicks_back=1):
    """Waits until the display begun by a click has gone dark; its length from the click, in s,
    by the page's clock."""
    wait_until(what, lambda: last_display(page, clicks_back)[2] is not None, 10)
    click, _, dark = last_display(page, clicks_back)
    return (dark - click) / 1000


def lit_count(page):
    """How many cells are lit, in reading order, once every cell shows lit or dark: a picture
    taken while the browser composes a change may catch a cell between two colours."""
    end = time.monotonic() + 5
    colours = page.pixels(CELLS)
    while any(c not in (GREEN, BLACK) for c in colours) and time.monotonic() < end:
        colours = page.pixels(CELLS)
    n = 0
    for i, colour in enumerate(colours):
        if colour == GREEN:
            if n != i:
                fail(f"cell {i} is lit after a dark one")
            n = i + 1
        elif colour != BLACK:
            fail(f"cell {i} shows {colour}")
    return n


def keep(page, name, work):
    """PUNKTBLICK_WEB_SHOTS names a folder to keep the screenshots of the verdicts in."""
    shutil.copy(page.shot_path, os.path.join(os.environ.get("PUNKTBLICK_WEB_SHOTS", work),
                                             name + ".png"))


def text_in_label(page, y, colour):
    """The text must stand inside its label with a margin on every side, or it was cut."""
    page.shot()
    box = page.box(colour, (113, 33, 392, y))
    try:
        w, rest = box.split("x")
        h, x, y0 = map(int, rest.split("+"))
        w = int(w)
    except ValueError:
        fail(f"no {colour} text in the label at y {y}")
    if not (w > 0 and x >= 2 and y0 >= 1 and x + w <= 111 and y0 + h <= 32):
        fail(f"text {box} cut by its label at y {y}")
    return box


def answer(page, text):
    page.click(*FIELD)
    # What takes the keys now must ask an on-screen keyboard for its number pad.
    if page.js("return document.activeElement.getAttribute('inputmode')") != "numeric":
        fail("a click on the answer field focused nothing that asks for the number pad")
    page.type(text)
    page.click(*OK)
    time.sleep(0.2)


def wait_until(what, check, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if check():
            return time.monotonic()
    fail(f"{what} within {seconds} s")


def ok_crop(page):
    """The OK button as a picture, to tell enabled from disabled by comparing."""
    return "".join(page.pixels([(x, y) for x in range(456, 505, 4) for y in range(176, 209, 4)]))


# Installed before the page's own scripts: where the canvas stood once the page was parsed, how
# far anything on the page moved since (the browser's layout-shift score), when the window was
# first drawn, in ms from asking for the page, and which WebGL contexts were asked for.
LAYOUT = """
window.punktblick_layout = {shift: 0, parsed: null, drawn: null, resized: false, moved: [],
                            contexts: []};
let punktblick_drawn;
punktblick_layout.first = new Promise((resolve) => { punktblick_drawn = resolve; });
addEventListener('resize', () => { punktblick_layout.resized = true; });
const getContext = HTMLCanvasElement.prototype.getContext;
HTMLCanvasElement.prototype.getContext = function (type, attributes) {
  if (this.id === 'qtcanvas') punktblick_layout.contexts.push([type, attributes || {}]);
  return getContext.apply(this, arguments);
};
for (const gl of [self.WebGLRenderingContext, self.WebGL2RenderingContext]) {
  for (const name of gl ? ['drawArrays', 'drawElements'] : []) {
    const draw = gl.prototype[name];
    gl.prototype[name] = function (...args) {
      if (punktblick_layout.drawn === null) {
        punktblick_layout.drawn = performance.now();
        punktblick_drawn();
      }
      return draw.apply(this, args);
    };
  }
}
new PerformanceObserver(list => {
  for (const entry of list.getEntries()) {
    punktblick_layout.shift += entry.value;
    for (const moved of entry.sources || []) {
      const r = (rect) => [rect.x, rect.y, rect.width, rect.height].join(',');
      punktblick_layout.moved.push(`${moved.node ? moved.node.nodeName + '#' + moved.node.id : '?'}`
        + ` ${r(moved.previousRect)} -> ${r(moved.currentRect)} at ${Math.round(entry.startTime)}`
        + ` ms, viewport ${innerWidth}x${innerHeight}`);
    }
  }
}).observe({type: 'layout-shift', buffered: true});
document.addEventListener('DOMContentLoaded', () => {
  const r = document.getElementById('qtcanvas').getBoundingClientRect();
  punktblick_layout.parsed = [r.x, r.y, r.width, r.height];
});
"""


def open_window(driver, page, url):
    """Loads the page and waits, however long loading takes, until the page shows the window
    and its colour fills the canvas; only then takes the window's place, which must be the one
    it had when the page was parsed, on whole pixels. Returns the ms from asking for the page
    to the window's first draw, by the page's clock."""
    if not getattr(driver, "watches_layout", False):
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": LAYOUT})
        driver.watches_layout = True
    driver.get(url)
    # The first draw is awaited inside the page: asking over and over, or taking pictures, would
    # compete with the start being timed.
    driver.execute_async_script("""const done = arguments[arguments.length - 1];
                                   punktblick_layout.first.then(done); setTimeout(done, 60000);""")
    shown = "return getComputedStyle(document.getElementById('qtcanvas')).visibility"
    end = time.monotonic() + 60
    while driver.execute_script(shown) != "visible":
        if time.monotonic() > end:
            status = driver.execute_script("return document.getElementById('status').textContent")
            fail(f"no window on the page within 60 s; the page says: {status}")
        time.sleep(0.05)
    rect = driver.find_element(By.ID, "qtcanvas").rect
    place = [rect["x"], rect["y"], rect["width"], rect["height"]]
    # (A build before the page's one shared object named its fit punktblickScale: benchmarks
    # compare with one.)
    page.scale, page.ratio = driver.execute_script(
        "return [(window.punktblick && punktblick.fit) || window.punktblickScale, "
        "devicePixelRatio]")
    if place[2:] != [round(582 * page.scale), round(423 * page.scale)]:
        fail(f"the canvas is {place[2]}x{place[3]} CSS pixels at the scale {page.scale}")
    page.left, page.top = round(place[0]), round(place[1])
    wait_until("no window's colour in the canvas", lambda: page.pixels(
        [(0, 0), (581, 0), (0, 422), (581, 422)]) == [WINDOW] * 4, 60)
    layout = driver.execute_script("return punktblick_layout")
    # Headless Chromium now and then sets its window's size only after the page has begun: the
    # page then places the window anew, as it must.
    if layout["resized"]:
        layout["parsed"], layout["shift"] = place, 0
    if layout["parsed"] != place or any(v != int(v) for v in place[:2]):
        fail(f"the canvas stood at {layout['parsed']} once the page was parsed and stands at "
             f"{place} with the window up")
    if layout["shift"] > 0:
        fail(f"the page's layout shifted by {layout['shift']:.4f} while the program started: "
             f"{'; '.join(layout['moved'])}")
    return layout["drawn"]


WINDOW = "srgb(255,224,192)"
# What WebGL itself reads of a context's attributes; Emscripten adds its own.
WEBGL_ATTRIBUTES = {"alpha", "depth", "stencil", "antialias", "premultipliedAlpha",
                    "preserveDrawingBuffer", "powerPreference", "failIfMajorPerformanceCaveat",
                    "desynchronized", "xrCompatible"}


def verdict_in_label(page, colour):
    """Whether the verdict's label shows text of the colour."""
    return colour in page.pixels([(x, y) for x in range(392, 505, 2) for y in range(240, 273, 2)])


# Devices as the page sees them: navigator.platform, the user agent, and a touch screen.
TABLETS = {
    "Chromebook": ("Linux x86_64", "Mozilla/5.0 (X11; CrOS x86_64 14541.0.0) AppleWebKit/537.36 "
                   "(KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36"),
    "iPad": ("MacIntel", "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/605.1.15 "
             "(KHTML, like Gecko) Version/17.0 Safari/605.1.15"),
    "Android tablet": ("Linux armv8l", "Mozilla/5.0 (Linux; Android 13; SM-X200) AppleWebKit/"
                       "537.36 (KHTML, like Gecko) Chrome/120.0.0.0 Safari/537.36"),
}


def tap(driver, page, x, y):
    point = dict(zip("xy", page.at(x, y)))
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchStart",
                                                         "touchPoints": [point]})
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})


def screen_key(driver, key, code, text=""):
    """A key as an on-screen keyboard that sends key events sends it."""
    for kind in ("keyDown", "keyUp"):
        driver.execute_cdp_cmd("Input.dispatchKeyEvent", {
            "type": kind, "key": key, "code": code, "windowsVirtualKeyCode": ord(text or "\b"),
            **({"text": text} if text and kind == "keyDown" else {})})


def ime(driver, text, replacing=None):
    """An on-screen keyboard's composition: the text being composed, over the element's text from
    replacing[0] to replacing[1] where given, as a suggestion takes the place of a word."""
    driver.execute_cdp_cmd("Input.imeSetComposition", {
        "text": text, "selectionStart": len(text), "selectionEnd": len(text),
        **({"replacementStart": replacing[0], "replacementEnd": replacing[1]} if replacing else {})})


def tablet_answer(driver, page, device, typed, way):
    """Taps the answer field, checks that it is the page's one text box and asks for the number
    pad, types as an on-screen keyboard does, with a slip mended its own way, and taps OK."""
    tap(driver, page, *FIELD)
    pad = driver.execute_script("const e = document.activeElement; return e && "
                                "[e.tagName, e.getAttribute('inputmode')];")
    if pad != ["INPUT", "numeric"]:
        fail(f"{device}: a tap on the answer field focused {pad}, no number pad")
    slip = typed[:-1] + str((int(typed[-1]) + 1) % 10)
    if way == "keys":  # a slip deleted with the keyboard's Backspace key
        screen_key(driver, "9", "Digit9", "9")
        screen_key(driver, "Backspace", "Backspace")
        for digit in typed:
            screen_key(driver, digit, f"Digit{digit}", digit)
    elif way == "text":  # committed text; a slip deleted as an input method does, no key event
        for digit in slip:
            driver.execute_cdp_cmd("Input.insertText", {"text": digit})
        driver.execute_script("document.execCommand('delete')")
        driver.execute_cdp_cmd("Input.insertText", {"text": typed[-1]})
    elif way == "suggestion":  # the slip typed, then replaced whole by a suggestion
        for digit in slip:
            driver.execute_cdp_cmd("Input.insertText", {"text": digit})
        ime(driver, typed, replacing=(0, len(slip)))
        driver.execute_cdp_cmd("Input.insertText", {"text": typed})
    else:  # composed whole, as predictive input and dictation send it; committed, or still open
        ime(driver, typed)
        if way == "composition":
            driver.execute_cdp_cmd("Input.insertText", {"text": typed})
    boxes = [(n["n"], n["p"].get("value", n.get("value", {}).get("value")))
             for n in ax_tree(driver) if n["r"] == "textbox"]
    if boxes != [("Antwort", typed)]:
        fail(f"{device}: with {typed} typed ({way}), the text boxes are {boxes}")
    tap(driver, page, *OK)


def ax_tree(driver):
    """The page as a screen reader reads it: the nodes of its accessibility tree not ignored,
    each with its role, name, description and properties."""
    nodes = [n for n in driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
             if not n.get("ignored")]
    for n in nodes:
        n["r"], n["n"] = n["role"].get("value"), n.get("name", {}).get("value", "")
        n["d"] = n.get("description", {}).get("value", "")
        n["p"] = {p["name"]: p["value"].get("value") for p in n.get("properties", [])}
    return nodes


def ax_one(nodes, role, name):
    found = [n for n in nodes if n["r"] == role and n["n"] == name]
    if len(found) != 1:
        fail(f"{len(found)} nodes {role} {name!r} in the accessibility tree")
    return found[0]


def ax_do(driver, node, function, *args):
    """Does to a node what assistive technology does: activates it, or sets its value."""
    target = driver.execute_cdp_cmd("DOM.resolveNode", {"backendNodeId": node["backendDOMNodeId"]})
    driver.execute_cdp_cmd("Runtime.callFunctionOn", {
        "objectId": target["object"]["objectId"], "functionDeclaration": function,
        "arguments": [{"value": a} for a in args]})


def ax_states(nodes):
    return {name: "disabled" if ax_one(nodes, "button", name)["p"].get("disabled") else "enabled"
            for name in ("Start", "Stop", "OK")}


def ax_spoken(nodes):
    """The text of each live region that announces politely."""
    regions = {n["nodeId"] for n in nodes if n["r"] == "status" and n["p"].get("live") == "polite"}
    return [n["n"] for n in nodes if n["r"] == "StaticText" and n.get("parentId") in regions]


def accessibility(driver, page):
    """Read and driven as a screen reader would, through the page's accessibility tree alone."""
    nodes = ax_tree(driver)
    if ax_states(nodes) != {"Start": "enabled", "Stop": "disabled", "OK": "disabled"}:
        fail(f"before a trial the buttons are {ax_states(nodes)}")
    group = ax_one(nodes, "radiogroup", "Schwierigkeit")
    radios = [n for n in nodes if n["r"] == "radio"]
    if [(r["n"], r["p"].get("checked"), r.get("parentId")) for r in radios] != [
            (str(level), str(level == 1).lower(), group["nodeId"]) for level in range(1, 5)]:
        fail("the levels are not a radio group of 1 to 4 with 1 checked")
    field = ax_one(nodes, "textbox", "Antwort")
    if len([n for n in nodes if n["r"] == "textbox"]) != 1:
        fail("the page has a text box besides the answer field")
    if field["d"] != "Wie viele Felder waren grün?":
        fail(f"the answer field is described as {field['d']!r}")
    cells = [(n["n"], n["d"], n["p"]) for n in nodes if n["r"] == "cell"]
    if [c[:2] for c in cells] != [(f"Feld {i + 1}", f"Zeile {i // 10 + 1}, Spalte {i % 10 + 1}")
                                  for i in range(100)] or any(c[2] for c in cells):
        fail("the cells are not Feld 1 to 100 by row and column, with no state")
    box = driver.execute_cdp_cmd("DOM.getBoxModel", {
        "backendNodeId": ax_one(nodes, "button", "Start")["backendDOMNodeId"]})["model"]
    if box["border"][:2] != [page.left + 392, page.top + 48] or box["width"] != 89:
        fail(f"Start's object stands at {box['border'][:2]}, {box['width']} wide")

    ax_do(driver, radios[2], "function () { this.click(); }")
    wait_until("level 3 chosen through its object did not take",
               lambda: ax_tree(driver)[0] and ax_one(ax_tree(driver), "radio", "3")[
                   "p"].get("checked") == "true", 5)
    ax_do(driver, radios[0], "function () { this.click(); }")
    ax_do(driver, ax_one(nodes, "button", "Start"), "function () { this.click(); }")
    wait_until("Start through its object did not start a trial", lambda: ax_states(
        ax_tree(driver)) == {"Start": "disabled", "Stop": "enabled", "OK": "enabled"}, 5)
    wait_until("no cell lit", lambda: page.pixels([CELLS[0]]) == [GREEN], 5)
    n = lit_count(page)
    if [(c["n"], c["d"], c["p"]) for c in ax_tree(driver) if c["r"] == "cell"] != cells:
        fail("a cell's object tells whether it is lit")
    ax_do(driver, field, "function (v) { this.value = v; this.dispatchEvent(new InputEvent("
          "'input', {bubbles: true})); }", str(n))
    ax_do(driver, ax_one(nodes, "button", "OK"), "function () { this.click(); }")
    spoken = [f"Ergebnis: Richtig !!!", f"Anzahl: {n}"]
    wait_until(f"no {spoken} announced for {n} set into the field",
               lambda: ax_spoken(ax_tree(driver)) == spoken, 5)
    ax_do(driver, ax_one(nodes, "button", "Stop"), "function () { this.click(); }")
    wait_until("Stop through its object did not end the trial", lambda: lit_count(page) == 0, 5)
    say(f"accessibility tree: {len(nodes)} nodes; buttons, level radio group, answer field, "
        f"100 cells by place; a trial driven through it alone, {spoken} announced")


# Where nothing but the window's background shows: above, between and below the controls, and
# inside the level frame.
BACKGROUND = [(20, 20), (300, 20), (560, 20), (360, 150), (560, 230), (20, 300), (360, 300),
              (300, 362), (560, 410), (200, 412)]


def scale_to(page, ratio):
    """Changes the page's scale as zooming or a projector would, while the program runs."""
    desk(page.driver, ratio)
    page.ratio = ratio
    page.shot()  # the browser takes in the change when it next draws
    wait_until(f"the page kept its old scale at {ratio}",
               lambda: page.js("return devicePixelRatio") == ratio, 5)
    place = page.js("const r = document.getElementById('qtcanvas').getBoundingClientRect();"
                    "return [r.x, r.y, r.width, r.height];")
    if place[2:] != [582, 423] or any(v != int(v) for v in place[:2]):
        fail(f"at scale {ratio} the canvas stands at {place}")
    page.left, page.top = int(place[0]), int(place[1])


def whole_window(page, ratio, when):
    colours = page.pixels(BACKGROUND)
    if colours != [WINDOW] * len(BACKGROUND):
        fail(f"at scale {ratio}, {when}: the background shows {colours}")
    lit_count(page)
    # The answer field's inside and two level buttons never checked here: neither the
    # background nor the black of a surface never drawn on.
    controls = page.pixels([(396, 182), LEVEL[3], LEVEL[4]])
    if WINDOW in controls or BLACK in controls:
        fail(f"at scale {ratio}, {when}: the answer field and levels 3 and 4 show {controls}")


def right_trial(page, ratio):
    page.click(*LEVEL[1])
    page.click(*START)
    n = lit_count(page)
    whole_window(page, ratio, "with cells lit")
    answer(page, str(n))
    wait_until(f"at scale {ratio}: no right verdict for {n}",
               lambda: verdict_in_label(page, "srgb(0,192,0)"), 5)
    page.click(*STOP)
    whole_window(page, ratio, "after Stop")


# Takes the window's WebGL context away (true) or gives it back (false), as a browser does when a
# tablet sleeps or its GPU restarts; whether it is lost then.
LOSE = """const gl = document.getElementById('qtcanvas').getContext('webgl');
window.punktblick_lose = window.punktblick_lose || gl.getExtension('WEBGL_lose_context');
if (arguments[0]) punktblick_lose.loseContext(); else punktblick_lose.restoreContext();
return gl.isContextLost();"""


def context_lost(page):
    """The window's context lost and given back during a level-1 display, and again with its
    verdict shown: each time the window is drawn again as it was, and the trial goes on."""
    page.click(*LEVEL[1])
    page.click(*START)
    n = lit_count(page)
    took = []
    for when in ("with cells lit", "with a verdict shown"):
        if not page.js(LOSE, True):
            fail(f"{when}: the context was not lost")
        back = time.monotonic()
        page.js(LOSE, False)
        took.append(wait_until(f"{when}: the window not drawn again after its context came back",
                               lambda: page.pixels(BACKGROUND) == [WINDOW] * len(BACKGROUND),
                               10) - back)
        whole_window(page, 1, f"its context given back {when}")
        if lit_count(page) != n:
            fail(f"{when}: {n} cells lit before the context was lost, {lit_count(page)} after")
        if when == "with cells lit":
            answer(page, str(n))
        wait_until(f"{when}: no right verdict for {n}", lambda: verdict_in_label(page, GREEN), 5)
    page.click(*STOP)
    right_trial(page, 1)
    say(f"the context lost and given back with {n} cells lit and with the verdict shown: drawn "
        f"again as it was after {took[0]:.2f} and {took[1]:.2f} s, the trial judged right")


def scales(page):
    """Zoomed in, out and back, before and during a display: the window is drawn whole at each
    new scale and serves a trial."""
    for ratio in (1.5, 2, 1.25, 3):
        scale_to(page, ratio)
        whole_window(page, ratio, "right after the change")
        right_trial(page, ratio)
    page.click(*LEVEL[2])
    page.click(*START)
    n = lit_count(page)
    scale_to(page, 1)
    whole_window(page, 1, "during a display")
    dark = wait_dark(page, "the level-2 display did not go dark after a change of scale")
    if lit_count(page) != 0 or not 3.95 <= dark <= 4.6:
        fail(f"a level-2 display with a change of scale went dark after {dark:.3f} s")
    answer(page, str(n))
    wait_until("no right verdict after a display", lambda: verdict_in_label(
        page, "srgb(0,192,0)"), 5)
    right_trial(page, 1)
    say(f"scales 1.5, 2, 1.25, 3 and, during a level-2 display (dark after {dark:.3f} s), 1: the "
        "window drawn whole each time, a right answer judged after each change")


def servers(driver, page, url, folder):
    """The page on servers that serve it badly, at an origin where it keeps nothing yet (it
    keeps its files only once the program has run): a missing wasm is told in German, one of
    another type still starts."""
    fresh = url.replace("127.0.0.1", "localhost")
    wasm_type, wasm = Server.wasm_type, "/" + half(folder, ".wasm")
    try:
        Server.missing = {wasm}
        driver.get(fresh)
        said = "return document.getElementById('status').textContent"
        wait_until("no word that the program is missing", lambda: "konnte nicht starten" in
                   page.js(said), 30)
        if "404" not in page.js(said) or page.js(
                "return getComputedStyle(document.getElementById('qtcanvas')).visibility") != \
                "hidden":
            fail(f"without the wasm the page says: {page.js(said)}")
        Server.missing, Server.wasm_type = set(), "application/octet-stream"
        asked, kept = len(Server.requests), len(Server.revalidated)
        open_window(driver, page, fresh)
        right_trial(page, 1)
        fetched = [r for r in Server.requests[asked:] if r == wasm]
        fetched = fetched[len([r for r in Server.revalidated[kept:] if r == wasm]):]
        if len(fetched) != 1:
            fail(f"a wasm of another type was fetched {len(fetched)} times")
    finally:
        Server.missing, Server.wasm_type = set(), wasm_type
    unexpected = [e["message"] for e in driver.get_log("browser")
                  if e["level"] == "SEVERE" and "404" not in e["message"]]
    if unexpected:
        fail(f"console errors on the bad servers: {unexpected}")
    say("a wasm missing on the server: the page says so; served as another type: it starts, "
        "fetched once")


def wait_for_worker(page):
    """Until the page's service worker has kept its files and taken the page."""
    wait_until("no service worker took the page", lambda: page.js(
        "return navigator.serviceWorker.controller !== null"), 30)


def network(driver, on):
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": not on, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})


def offline_trial(driver, page, url):
    """Once the worker has kept the files: the network cut, the page starts and judges a trial.
    Returns the ms to its first frame."""
    wait_for_worker(page)
    driver.execute_cdp_cmd("Network.enable", {})
    network(driver, False)
    try:
        first = open_window(driver, page, url)
        right_trial(page, 1)
    finally:
        network(driver, True)
    return first


def offline(driver, page, url):
    """Once visited, the page installs as a program and starts with the network cut; it keeps
    nothing but its own files."""
    # The page adds its manifest together with its service worker.
    wait_for_worker(page)
    manifest = driver.execute_cdp_cmd("Page.getAppManifest", {})
    data = json.loads(manifest.get("data") or "{}")
    fields = {k: data.get(k) for k in ("name", "lang", "display", "start_url", "theme_color")}
    if manifest.get("errors") or fields != {
            "name": "Punktblick", "lang": "de", "display": "standalone", "start_url": "./",
            "theme_color": "#ffe0c0"} or not any("256" in i["sizes"] for i in data["icons"]):
        fail(f"the manifest: {manifest.get('errors')}, {fields}")
    asked = len(Server.requests)
    first = offline_trial(driver, page, url)
    # Only the browser's own check for a new version passes the page's cut; cut for real, it
    # fails and the kept version serves.
    asked = [r for r in Server.requests[asked:] if r != "/sw.js"]
    if asked:
        fail(f"offline, the page asked the server for {asked}")
    origin = url.rstrip("/")
    usage = driver.execute_cdp_cmd("Storage.getUsageAndQuota", {"origin": origin})
    kept = {u["storageType"] for u in usage["usageBreakdown"] if u["usage"] > 0}
    databases = page.js("return indexedDB.databases().then(list => list.length);")
    if kept - {"cache_storage", "service_workers"} or databases:
        fail(f"the page stored more than its files: {kept}, {databases} databases")
    say(f"installable (manifest: {fields['display']}, icons); with the network cut the window "
        f"came in {first:.0f} ms from the device's copy and judged a trial; stored: "
        f"{sorted(kept)} only")


def page_files(folder):
    """What the build sealed into the worker: each address the page asks for with its file's
    SHA-256, and the set's name."""
    with open(os.path.join(folder, "sw.js"), encoding="utf-8") as f:
        text = f.read()
    return (json.loads(re.search(r"^const FILES = (.*);$", text, re.M).group(1)),
            re.search(r'^const BUILD = "(.*)";$', text, re.M).group(1))


def half(folder, suffix):
    """The name of the program's half (".js", ".wasm") in the folder: named by its hash."""
    found = [n for n in os.listdir(folder) if re.fullmatch(r"punktblick\.[0-9a-f]{16}" +
                                                          re.escape(suffix), n)]
    if len(found) != 1:
        fail(f"{folder} holds {found} for the program's {suffix}")
    return found[0]


def rebuild(copy, mark):
    """The folder replaced by a rebuild of the same version with one file changed: the program's
    script, which then tells the page its build; sealed as the build seals, its compressed copy
    left stale for the seal to mend."""
    with open(os.path.join(copy, half(copy, ".js")), "a", encoding="utf-8") as f:
        f.write(f"\nwindow.punktblick_build = {mark};\n")
    subprocess.run(["/usr/bin/python3", WEB_FOLDER, "seal", copy], check=True,
                   stdout=subprocess.DEVNULL)
    return page_files(copy)[1]


# Waits for the worker that a visit found new to be kept or thrown away.
NEW_WORKER = """const done = arguments[arguments.length - 1];
navigator.serviceWorker.getRegistration().then((registration) => {
  const watch = (worker) => {
    const end = () => {
      if (worker.state === "redundant" || worker.state === "activated") done(worker.state);
    };
    worker.addEventListener("statechange", end);
    end();
  };
  if (registration.installing) return watch(registration.installing);
  registration.addEventListener("updatefound", () => watch(registration.installing));
  registration.update().catch((error) => done("redundant: " + error));
});"""


def rebuilds(driver, page, folder):
    """Two copies of the folder on one server, each visited once: a rebuild of one with the same
    version reaches the device by the second visit after it; a copy replaced halfway is not
    kept, and its device goes on starting the last whole set; with the server stopped, each
    copy starts from its own set."""
    root = tempfile.mkdtemp()
    copies = {name: os.path.join(root, name) for name in ("punktblick", "test")}
    for copy in copies.values():
        shutil.copytree(folder, copy)
    httpd = serve(root)
    base = f"http://127.0.0.1:{httpd.server_address[1]}/"

    def visit(name):
        open_window(driver, page, base + name + "/")
        return page.js("return window.punktblick_build || 1")

    def own_sets():
        return [s for s in page.js("return caches.keys()")
                if s.startswith(f"punktblick {base}punktblick/ ")]
    try:
        for name in copies:
            visit(name)
            wait_for_worker(page)
        build = rebuild(copies["punktblick"], 2)
        first = visit("punktblick")
        kept = f"punktblick {base}punktblick/ {build}"
        wait_until("the rebuild was not kept", lambda: own_sets() == [kept], 30)
        second = visit("punktblick")
        if (first, second) != (1, 2):
            fail(f"after a rebuild, visits ran builds {first} and {second}")

        old = half(copies["test"], ".js")
        shutil.copytree(copies["test"], os.path.join(root, "old"))
        rebuild(copies["test"], 3)
        new = half(copies["test"], ".js")
        for name in (new, new + ".gz"):  # not uploaded yet; the old script stays
            os.remove(os.path.join(copies["test"], name))
        for name in (old, old + ".gz"):
            shutil.copyfile(os.path.join(root, "old", name), os.path.join(copies["test"], name))
        visit("test")
        outcome = driver.execute_async_script(NEW_WORKER)
        if not outcome.startswith("redundant") or visit("test") != 1:
            fail(f"a copy replaced halfway: its worker {outcome}, the next visit ran "
                 f"{page.js('return window.punktblick_build || 1')}")
    finally:
        httpd.shutdown()
        httpd.server_close()
    ran = {name: visit(name) for name in copies}
    if ran != {"punktblick": 2, "test": 1}:
        fail(f"with the server stopped, the copies ran builds {ran}")
    shutil.rmtree(root, ignore_errors=True)
    say("a rebuild of the same version ran on the second visit after it; a copy replaced "
        "halfway was not kept; with the server stopped both copies started, each its own build")


def tablets(driver, page, url):
    """Each device loads the page afresh and answers one trial right and one wrong by taps and
    its on-screen keyboard alone."""
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True,
                                                                   "maxTouchPoints": 5})
    for device, (platform, agent) in TABLETS.items():
        driver.execute_cdp_cmd("Emulation.setUserAgentOverride", {"userAgent": agent,
                                                                   "platform": platform})
        open_window(driver, page, url)
        # Each way of typing once for a right answer, which only the exact number gets.
        ways = {"iPad": ["keys", "suggestion"],
                "Android tablet": ["composition", "open composition"]}.get(device, ["text"])
        for right, way in [(True, way) for way in ways] + [(False, "text")]:
            tap(driver, page, *START)
            n = lit_count(page)
            typed = str(n if right else n % 100 + 1)
            tablet_answer(driver, page, device, typed, way)
            colour = GREEN if right else "srgb(255,0,0)"
            wait_until(f"{device}: no {'right' if right else 'wrong'} verdict for {typed} "
                       f"typed, {n} lit", lambda: verdict_in_label(page, colour), 5)
            tap(driver, page, *STOP)
        say(f"{device}: taps and the on-screen keyboard's number pad, the one text box following; "
            f"right answers typed as {', '.join(ways)} judged right, a wrong one wrong")
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})


# Screens a school's children and teachers have: the visible viewport's CSS size, the pixel ratio,
# whether the browser is a phone's or tablet's, used by touch (the board by a teacher's mouse).
# And the window's size in CSS pixels that the page fits into each: as large as the space allows.
SCREENS = {
    "phone, portrait": (390, 664, 3, True, (373, 271)),
    "phone, landscape": (844, 340, 3, True, (418, 304)),
    "tablet, landscape": (1080, 740, 2, True, (937, 681)),
    "4K board": (1920, 1080, 2, False, (1400, 1018)),
    # Browsers made small on screens of one device pixel per CSS pixel: the window drawn smaller
    # than its own size.
    "laptop, low window": (900, 400, 1, False, (527, 383)),
    "laptop, narrow window": (500, 760, 1, False, (482, 350)),
    "snapped quarter": (480, 320, 1, False, (400, 291)),
    "desktop, large window": (1280, 900, 1, False, (1155, 839)),
}
# Reached while the program runs: the large window made small.
LIVE = ("desktop, large window", "laptop, low window")


def on_screen(driver, page, name, loaded=True):
    """Turns the browser into the screen, and waits until the page has fitted the window anew;
    the window must lie whole inside the visible viewport, at its size for the screen."""
    width, height, ratio, mobile, size = SCREENS[name]
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": mobile})
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True,
                                                                   "maxTouchPoints": 5})
    if not loaded:
        return
    page.shot()  # the browser takes in the change when it next draws
    box = "const r = document.getElementById('qtcanvas').getBoundingClientRect(); return " \
          "[r.x, r.y, r.width, r.height, visualViewport.width, visualViewport.height, " \
          "visualViewport.scale, punktblick.fit];"
    wait_until(f"{name}: the window was not fitted to {size}",
               lambda: page.js(box)[2:4] == list(size), 5)
    x, y, w, h, seen_w, seen_h, zoom, page.scale = page.js(box)
    if x < 0 or y < 0 or x + w > seen_w or y + h > seen_h or zoom != 1:
        fail(f"{name}: the window at {x},{y} {w}x{h} is not inside the visible {seen_w}x{seen_h}"
             f" at zoom {zoom}")
    page.left, page.top, page.ratio = round(x), round(y), ratio
    # What keyboards type into and screen readers read as the answer field lies over it.
    field = page.js("const r = document.querySelector('input[inputmode=numeric]')"
                    ".getBoundingClientRect(); return [r.x, r.y, r.width, r.height];")
    want = [x + 392 * page.scale, y + 176 * page.scale, 49 * page.scale, 33 * page.scale]
    if any(abs(a - b) > 0.5 for a, b in zip(field, want)):
        fail(f"{name}: the answer field's element stands at {field}, the field at {want}")


def screen_trial(driver, page, name):
    """A trial at level 1, answered right, by touch on a phone or tablet, else by the mouse."""
    touch = SCREENS[name][3]
    press = (lambda x, y: tap(driver, page, x, y)) if touch else page.click
    press(*START)
    n = lit_count(page)
    whole_window(page, SCREENS[name][2], f"{name}, with cells lit")
    press(*FIELD)
    if touch:
        driver.execute_cdp_cmd("Input.insertText", {"text": str(n)})
    else:
        page.type(str(n))
    press(*OK)
    wait_until(f"{name}: no right verdict for {n}", lambda: verdict_in_label(page, GREEN), 5)
    press(*STOP)


def screens(driver, page, url):
    """On each screen the window fills the space it has and serves a trial; then the phone turns
    during a level-2 display, which keeps its cells and its length, and again once the answer is
    typed, which keeps it."""
    for name in SCREENS:
        on_screen(driver, page, name, loaded=False)
        open_window(driver, page, url)
        on_screen(driver, page, name)
        screen_trial(driver, page, name)
    for name in LIVE:
        on_screen(driver, page, name)
        screen_trial(driver, page, name)
    on_screen(driver, page, "phone, portrait")
    page.js(WATCH)
    tap(driver, page, *LEVEL[2])
    tap(driver, page, *START)
    n = lit_count(page)
    on_screen(driver, page, "phone, landscape")
    if lit_count(page) != n:
        fail(f"the phone turned during a display: {n} cells lit before, {lit_count(page)} after")
    dark = wait_dark(page, "the level-2 display did not go dark after a turn")
    if not 3.95 <= dark <= 4.6:
        fail(f"a level-2 display with a turn of the phone went dark after {dark:.3f} s")
    tap(driver, page, *FIELD)
    # The on-screen keyboard opens and takes the lower part of the page: nothing moves.
    where = "return document.getElementById('qtcanvas').getBoundingClientRect().toJSON()"
    before = page.js(where)
    width, height, ratio, _, _ = SCREENS["phone, landscape"]
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": width, "height": height - 150, "deviceScaleFactor": ratio, "mobile": True})
    page.shot()
    if page.js(where) != before:
        fail(f"the window moved from {before} to {page.js(where)} as the keyboard opened")
    driver.execute_cdp_cmd("Input.insertText", {"text": str(n)})
    on_screen(driver, page, "phone, portrait")  # turned back, the digits not yet judged
    tap(driver, page, *OK)
    wait_until(f"after two turns: no right verdict for {n}",
               lambda: verdict_in_label(page, GREEN), 5)
    say(f"{', '.join(f'{k}: {v[4][0]}x{v[4][1]}' for k, v in SCREENS.items())}: the window "
        f"whole on the screen, a trial by taps or the mouse judged right; a turn of the phone "
        f"during a level-2 display kept its {n} cells, dark after {dark:.3f} s; the keyboard "
        f"moved nothing, a turn kept the digits typed; {' to '.join(LIVE)} while running: "
        f"drawn whole, a trial judged right")
    desk(driver)
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": False})
    page.scale, page.ratio = 1, 1


def exercise(page, work):
    """The trials a person does, on any engine: level 1 right and wrong, a level-4 display, a
    Start inside a level-2 display."""
    page.click(*START)  # level 1
    n = lit_count(page)
    if not 1 <= n <= 100:
        fail(f"Start lit {n} cells")
    answer(page, str(n))
    verdict = text_in_label(page, 240, "rgb(0,192,0)")
    count = text_in_label(page, 288, "rgb(255,128,255)")
    keep(page, "right", work)
    say(f"level 1: {n} lit in reading order; {n} typed: green {verdict}, count {count}")
    page.click(*STOP)
    if lit_count(page) != 0:
        fail("Stop left cells lit")
    page.click(*START)
    n = lit_count(page)
    answer(page, str(n % 100 + 1))
    verdict = text_in_label(page, 240, "rgb(255,0,0)")
    keep(page, "wrong", work)
    say(f"level 1: {n % 100 + 1} typed for {n}: red {verdict}")
    page.click(*STOP)

    page.js(WATCH)
    page.click(*LEVEL[4])
    page.click(*START)
    dark = wait_dark(page, "level 4 did not light and go dark")
    if lit_count(page) != 0:
        fail("level 4 left cells lit")
    if not 0.95 <= dark <= 1.5:
        fail(f"level 4 went dark {dark:.3f} s after the click")
    say(f"level 4: dark {dark:.3f} s after the click, by the page's clock")

    # Level 2, and one second in, level 4 and Start again: the inner display ends after its
    # second, the outer one at its own four.
    page.click(*LEVEL[2])
    page.click(*START)
    outer = time.monotonic()
    first_count = lit_count(page)
    time.sleep(max(0.0, outer + 1 - time.monotonic()))
    page.click(*LEVEL[4])
    page.click(*START)
    page.click(*AWAY, move_only=True)
    inner_dark = wait_dark(page, "the inner display did not go dark")
    enabled = ok_crop(page)
    page.click(*OK)  # an empty answer, to see the outer display enable OK again
    pressed = time.monotonic() - outer
    page.click(*AWAY, move_only=True)
    text_in_label(page, 240, "rgb(255,0,0)")
    if pressed >= 3.8:
        fail(f"too slow to tell: OK pressed only {pressed:.2f} s into the outer display")
    again = wait_until("OK never came back", lambda: ok_crop(page) == enabled, 6) - outer
    if not (0.95 <= inner_dark <= 1.5 and 3.9 <= again <= 5.0):
        fail(f"inner display dark after {inner_dark:.3f} s, OK back {again:.2f} s into the outer")
    say(f"Start inside a level-2 display ({first_count} lit): the inner level-4 display dark "
        f"after {inner_dark:.2f} s, OK enabled again {again:.2f} s into the outer one")


def main():
    folder = sys.argv[1]
    if not os.path.isfile(os.path.join(folder, "index.html")):
        print(f"web: no web build in {folder} (scripts/build-web): skipped")
        return SKIP
    for tool in (CHROMIUM, DRIVER, shutil.which("convert")):
        if not tool or not os.path.exists(tool):
            print(f"web: {tool or 'convert'} is not installed: skipped")
            return SKIP
    work = tempfile.mkdtemp()
    httpd = serve(folder)
    driver = browser(os.path.join(work, "profile"))
    try:
        run(driver, Page(driver, work), f"http://127.0.0.1:{httpd.server_address[1]}/", folder,
            work)
    finally:
        driver.quit()
        httpd.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    return 0


def run(driver, page, url, folder, work):
    first = open_window(driver, page, url)
    say(f"first frame {first:.0f} ms after the page was asked for; its place is the place the "
        "page gave it when parsed, on whole pixels, and nothing on the page moved")
    corners = page.pixels([CELLS[0], CELLS[9], CELLS[90], CELLS[99]])
    if corners != [BLACK, "srgb(64,0,0)", "srgb(64,0,0)", "srgb(64,0,0)"]:
        fail(f"the cells before a trial show {corners}")
    say(f"window 582x423 at +{page.left}+{page.top}, cells in their places and colours")
    # The page makes the program's context before the program asks; the program then gets that
    # one, whatever it asks for, so it must ask for what the page made.
    asked = [[kind, {k: v for k, v in attributes.items() if k in WEBGL_ATTRIBUTES}]
             for kind, attributes in driver.execute_script("return punktblick_layout.contexts")]
    if len(asked) != 2 or asked[0] != asked[1]:
        fail(f"the page made a WebGL context other than the program asked for: {asked}")

    accessibility(driver, page)
    exercise(page, work)
    context_lost(page)
    scales(page)
    offline(driver, page, url)
    tablets(driver, page, url)
    screens(driver, page, url)
    servers(driver, page, url, folder)

    stored = driver.execute_script(
        "return [document.cookie, localStorage.length, sessionStorage.length];")
    if stored != ["", 0, 0]:
        fail(f"the page stored something: {stored}")
    own = {"/" + address.split("?")[0] for address in page_files(folder)[0]}
    strangers = {r.split("?")[0] for r in Server.requests} - own - {"/", "/sw.js", "/favicon.ico"}
    resources = driver.execute_script(
        "return performance.getEntriesByType('resource').map(e => e.name);")
    strangers |= {r for r in resources if not r.startswith(driver.current_url.rstrip("/"))}
    if strangers:
        fail(f"requests beyond the page's files: {sorted(strangers)}")
    log = driver.get_log("browser")
    for entry in log:
        print(f"web: console {entry['level']}: {entry['message']}")
    errors = [e for e in log if e["level"] == "SEVERE"]
    if errors:
        fail(f"{len(errors)} errors on the console")
    say(f"nothing stored, {len(set(Server.requests))} files fetched, {len(log)} console lines, "
        "no error")
    rebuilds(driver, page, folder)


if __name__ == "__main__":
    sys.exit(main())
