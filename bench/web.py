#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web build in headless Chromium: time from asking for the page to the window's first frame,
# the browser's CPU while the page waits for input and while a display runs, and how late each
# timed display ends, read from inside the page: every WebGL draw is followed by a read of the
# first cell's pixel, so the first frame without it lit is known to the millisecond, and counted
# against the frames that began after the deadline.
# Usage: bench/web.py [BUILD-WEB-DIR] [--runs N]   (default build-web, 5 runs)
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import check_web as web  # noqa: E402

# Wraps the context's draw calls: after each one, whether the first cell shows lit, with the time.
WATCH = """
const canvas = document.getElementById('qtcanvas');
const gl = canvas.getContext('webgl2') || canvas.getContext('webgl');
const proto = Object.getPrototypeOf(gl);
const x = Math.round(80 * devicePixelRatio), y = canvas.height - 1 - Math.round(56 * devicePixelRatio);
window.frames_seen = [];
window.clicks_seen = [];
window.frame_starts = [];
(function tick() { frame_starts.push(performance.now()); requestAnimationFrame(tick); })();
canvas.addEventListener('pointerup', e => clicks_seen.push(e.timeStamp), true);
for (const name of ['drawArrays', 'drawElements']) {
  const draw = proto[name];
  proto[name] = function (...args) {
    draw.apply(this, args);
    const px = new Uint8Array(4);
    this.readPixels(x, y, 1, 1, this.RGBA, this.UNSIGNED_BYTE, px);
    frames_seen.push([performance.now(), px[1] === 192 && px[0] === 0]);
  };
}
"""


def renderer_cpu(driver, seconds):
    """CPU time of the browser's processes over a stretch of seconds, in % of one core."""
    root = driver.service.process.pid

    def family_ticks():
        parents, ticks = {}, {}
        for entry in filter(str.isdigit, os.listdir("/proc")):
            try:
                fields = open(f"/proc/{entry}/stat").read().rsplit(")", 1)[1].split()
            except (OSError, IndexError):
                continue
            parents[int(entry)] = int(fields[1])
            ticks[int(entry)] = int(fields[11]) + int(fields[12])
        total = 0
        for pid in ticks:
            ancestor = pid
            while ancestor not in (0, 1, root) and ancestor in parents:
                ancestor = parents[ancestor]
            total += ticks[pid] if ancestor == root else 0
        return total

    before = family_ticks()
    time.sleep(seconds)
    return 100.0 * (family_ticks() - before) / os.sysconf("SC_CLK_TCK") / seconds


def median(values):
    values = sorted(values)
    return values[len(values) // 2]


def main():
    args = sys.argv[1:]
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 5
    folder = next((a for a in args if not a.startswith("--") and not a.isdigit()), "build-web")
    httpd = web.serve(folder)
    url = f"http://127.0.0.1:{httpd.server_address[1]}/"
    first_frames, late, late_lit = [], {4: [], 2: [], 1: []}, {4: [], 2: [], 1: []}
    frames_late = {4: [], 2: [], 1: []}
    blank = idle = busy = None
    for run in range(runs):
        work = tempfile.mkdtemp()
        driver = web.browser(os.path.join(work, "profile"))
        page = web.Page(driver, work)
        try:
            if run == 0:  # the browser's own share, with an empty page, once it has settled
                driver.get("about:blank")
                time.sleep(5)
                blank = renderer_cpu(driver, 5.0)
            begun = time.monotonic()
            driver.get(url)
            rect = driver.find_element(web.By.ID, "qtcanvas").rect
            page.left, page.top = round(rect["x"]), round(rect["y"])
            seen = web.wait_until("no window", lambda: page.pixels([(0, 0), (581, 422)]) ==
                                  ["srgb(255,224,192)"] * 2, 60)
            first_frames.append(1000 * (seen - begun))
            if run == 0:
                idle = renderer_cpu(driver, 5.0)
            driver.execute_script(WATCH)
            for level, seconds in ((4, 1), (3, 2), (2, 4)):
                page.click(*web.LEVEL[level])
                page.click(*web.START)
                if run == 0 and level == 2:
                    busy = renderer_cpu(driver, 3.0)
                time.sleep(seconds + 0.5)
                clicks, frames, starts = driver.execute_script(
                    "return [clicks_seen, frames_seen, frame_starts];")
                start = clicks[-1]
                lit_at = next(t for t, lit in frames if t > start and lit)
                dark = next(t for t, lit in frames if t > lit_at and not lit)
                late[seconds].append(dark - start - 1000 * seconds)
                late_lit[seconds].append(dark - lit_at - 1000 * seconds)
                # Whole frames that began after the deadline and before the one that went dark.
                deadline = start + 1000 * seconds
                frames_late[seconds].append(sum(deadline < t < dark - 2 for t in starts))
        finally:
            driver.quit()
    httpd.shutdown()
    print(f"first frame after asking for the page: median {median(first_frames):.0f} ms "
          f"(of {runs}: {', '.join(f'{t:.0f}' for t in first_frames)})")
    print(f"browser CPU (% of one core): empty page {blank:.1f}, Punktblick waiting for input "
          f"{idle:.1f}, during a display {busy:.1f}")
    # The program sets its deadline between the click and the first lit frame: how late the
    # cells go dark lies between these two figures.
    for seconds in late:
        a, b = late_lit[seconds], late[seconds]
        print(f"{seconds} s display: dark {median(a):.1f} ms (min {min(a):.1f}) after {seconds} s "
              f"from the first lit frame, {median(b):.1f} ms (max {max(b):.1f}) from the click; "
              f"frames begun after the deadline before the dark one: {frames_late[seconds]}")


if __name__ == "__main__":
    main()
