#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The web build in headless Chromium: time from asking for the page to the window's first draw,
# on a first visit, the visit after it, two later ones and one in a new tab, the browser's CPU
# while the page waits for input and while a display runs, and how late each timed display lasts
# on the screen, read from inside the page: every WebGL draw is followed by a read of the first
# cell's pixel, and every animation frame's start is noted, so the frame that first shows the
# cells lit and the one that first shows them dark are known by the browser's own frame times: a
# display's screen time runs from the start of the one to the start of the other.
# Usage: bench/web.py [BUILD-WEB-DIR] [--beside OTHER-BUILD-WEB-DIR] [--runs N] [--cpu N]
#   (default build-web, 5 runs); --beside times another build's start in turn with this one's;
#   --cpu 4 slows the page's CPU four times, as Lighthouse's mobile profile does
import os
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing of it in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import check_web as web  # noqa: E402

CPU = 1  # how many times slower the page's CPU runs (--cpu)


def browser(work):
    driver = web.browser(os.path.join(work, "profile"))
    slow(driver)
    return driver


def slow(driver):
    if CPU != 1:
        driver.execute_cdp_cmd("Emulation.setCPUThrottlingRate", {"rate": CPU})


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


def settle(driver):
    """Waits until the browser has done with the last visit: the service worker's install, the
    compiler's optimising of what ran, the collection of the last page. A device that comes back
    to the page has long done with all of that."""
    end = time.monotonic() + 30
    quiet = 0
    while quiet < 2 and time.monotonic() < end:
        quiet = quiet + 1 if renderer_cpu(driver, 0.5) < 10 else 0  # % of one core


def visits(driver, page, url, folder, times):
    """Times the window's first frame on a first visit; on the visit after it, once the page has
    kept its files where the build does; on two later ones, when the browser may still hold the
    compiled program in memory; and in a new tab, with the files kept and nothing compiled, as
    when a child opens the page again in a browser that is already running."""
    times["first visit"].append(web.open_window(driver, page, url))
    if os.path.isfile(os.path.join(folder, "sw.js")):
        web.wait_for_worker(page)
    settle(driver)
    times["second visit"].append(web.open_window(driver, page, url))
    for _ in range(2):
        settle(driver)
        times["later visits"].append(web.open_window(driver, page, url))
    # A tab opened from the browser gets a renderer process of its own.
    old = driver.current_window_handle
    driver.switch_to.new_window("tab")
    new = driver.current_window_handle
    driver.switch_to.window(old)
    driver.close()
    driver.switch_to.window(new)
    slow(driver)
    driver.watches_layout = False  # the new tab has none of the old one's scripts
    settle(driver)
    times["new tab"].append(web.open_window(driver, page, url))


def main():
    global CPU
    args = sys.argv[1:]
    CPU = float(args[args.index("--cpu") + 1]) if "--cpu" in args else 1
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 5
    beside = args[args.index("--beside") + 1] if "--beside" in args else None
    folder = next((a for i, a in enumerate(args) if not a.startswith("--") and
                   (i == 0 or args[i - 1] not in ("--runs", "--beside", "--cpu"))), "build-web")
    httpd = web.serve(folder)
    url = f"http://127.0.0.1:{httpd.server_address[1]}/"
    kinds = ("first visit", "second visit", "later visits", "new tab")
    times = {kind: [] for kind in kinds}
    other_times = {kind: [] for kind in kinds}
    if beside:
        # Another build's start-up, timed in turn with this one's, so that both meet the same
        # load of the machine. Another port is another origin: nothing kept is shared.
        other_httpd = web.serve(beside)
        other_url = f"http://127.0.0.1:{other_httpd.server_address[1]}/"
    screen, after_click = {4: [], 2: [], 1: []}, {4: [], 2: [], 1: []}
    frames_late = {4: [], 2: [], 1: []}
    blank = idle = busy = None
    for run in range(runs):
        if beside:
            work = tempfile.mkdtemp()
            driver = browser(work)
            try:
                visits(driver, web.Page(driver, work), other_url, beside, other_times)
            finally:
                driver.quit()
        work = tempfile.mkdtemp()
        driver = browser(work)
        page = web.Page(driver, work)
        try:
            if run == 0:  # the browser's own share, with an empty page, once it has settled
                driver.get("about:blank")
                time.sleep(5)
                blank = renderer_cpu(driver, 5.0)
            visits(driver, page, url, folder, times)
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
    if beside:
        other_httpd.shutdown()
    for name, build_times in ((folder, times), (beside, other_times)):
        for kind in kinds if name else ():
            found = build_times[kind]
            print(f"{name}: {kind}, first frame after asking for the page: median "
                  f"{median(found):.0f} ms (of {len(found)}: "
                  f"{', '.join(f'{t:.0f}' for t in found)})")
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
