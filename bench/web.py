#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web build in headless Chromium: time from asking for the page to the window's first draw,
# on a first visit, the visit after it and two later ones, the browser's CPU while the page waits
# for input and while a display runs, and how late each timed display lasts on the screen, read
# from inside the page: every WebGL draw is followed by a read of the first cell's pixel, and
# every animation frame's start is noted, so the frame that first shows the cells lit and the one
# that first shows them dark are known by the browser's own frame times: a display's screen time
# runs from the start of the one to the start of the other.
# Usage: bench/web.py [BUILD-WEB-DIR] [--runs N]   (default build-web, 5 runs)
import os
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing of it in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import check_web as web  # noqa: E402


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
    first_frames, cached_frames, later_frames = [], [], []
    screen, after_click = {4: [], 2: [], 1: []}, {4: [], 2: [], 1: []}
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
            first_frames.append(web.open_window(driver, page, url))
            # Again, once the page has kept its files (where the build does), as on a device
            # that has visited it before.
            if os.path.isfile(os.path.join(folder, "sw.js")):
                web.wait_until("no service worker took the page", lambda: page.js(
                    "return navigator.serviceWorker.controller !== null"), 30)
            cached_frames.append(web.open_window(driver, page, url))
            # The browser may still be optimising what the first visit ran, and keep that for
            # the visits after: two more show the start of a device that comes back often.
            for _ in range(2):
                later_frames.append(web.open_window(driver, page, url))
            if run == 0:
                idle = renderer_cpu(driver, 5.0)
            page.js(web.WATCH)
            for level, seconds in ((4, 1), (3, 2), (2, 4)):
                page.click(*web.LEVEL[level])
                page.click(*web.START)
                if run == 0 and level == 2:
                    busy = renderer_cpu(driver, 3.0)
                web.wait_dark(page, f"the {seconds} s display did not end")
                click, lit_at, dark = web.last_display(page)
                starts = driver.execute_script("return frame_starts;")
                lit_frame = max(t for t in starts if t <= lit_at)
                dark_frame = max(t for t in starts if t <= dark)
                screen[seconds].append(dark_frame - lit_frame)
                after_click[seconds].append(dark - click)
                # Frames begun after the screen time reached the length, before the dark one.
                deadline = lit_frame + 1000 * seconds
                frames_late[seconds].append(sum(deadline <= t < dark_frame for t in starts))
        finally:
            driver.quit()
    httpd.shutdown()
    for visit, times in (("first visit", first_frames), ("second visit", cached_frames),
                         ("later visits", later_frames)):
        print(f"{visit}, first frame after asking for the page: median {median(times):.0f} ms "
              f"(of {len(times)}: {', '.join(f'{t:.0f}' for t in times)})")
    print(f"browser CPU (% of one core): empty page {blank:.1f}, Punktblick waiting for input "
          f"{idle:.1f}, during a display {busy:.1f}")
    intervals = [b - a for a, b in zip(starts, starts[1:])]
    frame = median(intervals)
    print(f"frames: median {frame:.2f} ms apart")
    for seconds in screen:
        on_screen = [t - 1000 * seconds for t in screen[seconds]]
        print(f"{seconds} s display on the screen, first lit to first dark frame: "
              f"{seconds} s {median(on_screen):+.1f} ms (min {min(on_screen):+.1f}, max "
              f"{max(on_screen):+.1f}); dark {median(after_click[seconds]) - 1000 * seconds:+.1f} "
              f"ms after {seconds} s from the click; frames begun after the length before the "
              f"dark one: {frames_late[seconds]}")
        short = [f"{t:+.1f}" for t in on_screen if t < 0]
        if short:
            print(f"    SHORTER than {seconds} s on the screen: {len(short)} of {len(on_screen)} "
                  f"displays ({', '.join(short)} ms)")
        long = [f"{t:+.1f}" for t in on_screen if t > frame + 1]
        if long:
            print(f"    more than a frame longer than {seconds} s: {', '.join(long)} ms")

if __name__ == "__main__":
    main()
