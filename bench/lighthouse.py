#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Lighthouse's mobile profile (simulated slow 4G, a CPU four times slower) on the web folder as a
# school serves it: behind Debian's nginx with the README's block and its Brotli copies, over
# HTTPS on 127.0.0.1. Prints, per run and the best of them, the performance score, total
# blocking time, time to interactive, the longest main-thread task and the whole transfer, and
# the bytes of each file fetched. Figures vary from run to run: this is for comparing, not a test.
# Usage: bench/lighthouse.py [BUILD-WEB-DIR] [--runs N] [--beside OTHER-BUILD-WEB-DIR]
#   (default build-web, 2 runs); --beside measures another folder in turn with this one
# Lighthouse comes from npm, at the version pinned here, into the kits' cache folder.
import json
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True  # nothing of it in the source tree
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "web"))
import check_servers as servers  # noqa: E402
import check_web as web  # noqa: E402

LIGHTHOUSE = "lighthouse@12.8.2"  # 13 wants a newer Node.js than Debian 12's


def lighthouse():
    home = os.environ.get("HOME") or os.path.expanduser("~")
    cache = os.environ.get("PUNKTBLICK_CACHE") or os.path.join(
        os.environ.get("XDG_CACHE_HOME") or os.path.join(home, ".cache"), "punktblick")
    prefix = os.path.join(cache, "npm-" + LIGHTHOUSE.replace("@", "-"))
    tool = os.path.join(prefix, "node_modules", ".bin", "lighthouse")
    if not os.path.exists(tool):
        subprocess.run(["npm", "install", "--prefix", prefix, "--no-audit", "--no-fund",
                        LIGHTHOUSE], check=True, stdout=subprocess.DEVNULL)
    return tool


def measure(tool, url, spki, work):
    out = os.path.join(work, "report.json")
    flags = " ".join(["--headless=new", "--no-sandbox", "--no-first-run",
                      "--disable-background-networking", "--disable-component-update",
                      "--disable-sync", "--disable-quic", "--use-angle=swiftshader",
                      "--enable-unsafe-swiftshader", f"--ignore-certificate-errors-spki-list={spki}",
                      f"--user-data-dir={tempfile.mkdtemp(dir=work)}"])
    subprocess.run([tool, url, "--quiet", "--output=json", f"--output-path={out}",
                    "--only-categories=performance", f"--chrome-flags={flags}"],
                   check=True, env=dict(os.environ, CHROME_PATH=web.CHROMIUM))
    with open(out) as f:
        report = json.load(f)
    audits = report["audits"]
    tasks = audits.get("long-tasks", {}).get("details", {}).get("items", [])
    files = audits["network-requests"]["details"]["items"]
    return {
        "performance": round(report["categories"]["performance"]["score"] * 100),
        "blocking ms": round(audits["total-blocking-time"]["numericValue"]),
        "interactive ms": round(audits["interactive"]["numericValue"]),
        "longest task ms": round(max((t["duration"] for t in tasks), default=0)),
        "transfer KB": round(audits["total-byte-weight"]["numericValue"] / 1000),
        "files": {f["url"].rsplit("/", 1)[-1] or "/": round(f.get("transferSize", 0) / 1000)
                  for f in files},
    }


def main(args):
    runs = int(args[args.index("--runs") + 1]) if "--runs" in args else 2
    beside = args[args.index("--beside") + 1] if "--beside" in args else None
    folders = [a for i, a in enumerate(args)
               if not a.startswith("--") and (i == 0 or args[i - 1] not in ("--runs", "--beside"))]
    folders = (folders or ["build-web"]) + ([beside] if beside else [])
    tool = lighthouse()
    work = tempfile.mkdtemp()
    os.chmod(work, 0o755)  # nginx's workers read it as www-data
    cert, key, spki = servers.certificate(work)
    with open(os.path.join(HERE, "..", "README.md"), encoding="utf-8") as f:
        readme = f.read()
    results = {folder: [] for folder in folders}
    try:
        root = os.path.join(work, "www")
        for n, folder in enumerate(folders):
            served = os.path.join(root, f"{n}", servers.PATH.strip("/"))
            shutil.copytree(folder, served)
            # Brotli copies as the shipped build has them, where a quick build lacks them.
            if not any(name.endswith(".br") for name in os.listdir(served)):
                subprocess.run(["/usr/bin/python3", web.WEB_FOLDER, "seal", served, "--brotli"],
                               check=True, stdout=subprocess.DEVNULL)
        port = servers.free_port()
        block = servers.block(readme, "nginx").replace(f"location ^~ {servers.PATH}",
                                                       "location ^~ /")
        readme_one_root = f"```nginx\n{block}```\n"
        server = subprocess.Popen(servers.nginx(work, root, port, cert, key, readme_one_root),
                                  start_new_session=True)
        try:
            web.wait_until("nginx did not answer", lambda: servers.answers(port), 20)
            for _ in range(runs):
                for n, folder in enumerate(folders):  # in turn, so that both meet the same load
                    url = f"https://127.0.0.1:{port}/{n}{servers.PATH}"
                    results[folder].append(measure(tool, url, spki, work))
                    print(folder, json.dumps(results[folder][-1]), flush=True)
        finally:
            servers.stop(server)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    print(f"\nbest of {runs} runs, Lighthouse's mobile profile ({LIGHTHOUSE}):")
    for folder, values in results.items():
        best = max(values, key=lambda v: v["performance"])
        print(f"  {folder}: " + ", ".join(f"{k} {v}" for k, v in best.items() if k != "files"))
        print("    " + ", ".join(f"{k} {v} KB" for k, v in best["files"].items()))


if __name__ == "__main__":
    main(sys.argv[1:])
