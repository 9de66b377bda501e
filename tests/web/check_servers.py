#!/usr/bin/python3
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The page behind the web servers schools run, each configured with the README's own block as it
# stands: Debian's nginx (with brotli_static) and Apache 2.4, started by this test on 127.0.0.1
# over HTTPS with a throwaway certificate (browsers ask for Brotli only over HTTPS), around the
# modules and settings Debian's packages enable. Every file of the folder goes out with its type,
# its compressed copy holding its bytes, its caching and validators that make a second look a 304;
# a whole trial runs through each server in Chromium, and the page then starts with the network
# cut.
# Usage: check_servers.py BUILD-WEB-DIR README  (exit 77: skipped)
import gzip
import http.client
import os
import re
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing of it in the source tree
import check_web as web  # noqa: E402

NGINX, APACHE = "/usr/sbin/nginx", "/usr/sbin/apache2"
BROTLI_MODULE = "/etc/nginx/modules-enabled/50-mod-http-brotli-static.conf"
PATH = "/punktblick/"  # where the README's blocks serve the folder
YEAR = "public, max-age=31536000, immutable"
# What each of the folder's files must get, by its ending: its type, and whether it goes out
# compressed.
TYPES = {
    ".html": ("text/html", True), ".js": ("text/javascript", True),
    ".wasm": ("application/wasm", True), ".webmanifest": ("application/manifest+json", True),
    ".svg": ("image/svg+xml", True), ".txt": ("text/plain", True), ".png": ("image/png", False),
}
# What the browser says it takes, and the coding a compressible file must come in then.
ACCEPTS = {"br, gzip, deflate": "br", "gzip, deflate": "gzip", "identity": None}


def block(readme, language):
    found = re.findall(r"^```" + language + r"\n(.*?)^```", readme, re.S | re.M)
    if len(found) != 1:
        web.fail(f"the README has {len(found)} {language} blocks")
    return found[0]


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def certificate(work):
    """A throwaway certificate for 127.0.0.1, and its key's hash as Chromium trusts it."""
    cert, key = os.path.join(work, "cert.pem"), os.path.join(work, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                    "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                    "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                    "-addext", "basicConstraints=critical,CA:FALSE", "-keyout", key,
                    "-out", cert], check=True, capture_output=True)
    spki = subprocess.run(
        "openssl x509 -pubkey -noout -in cert.pem | openssl pkey -pubin -outform der | "
        "openssl dgst -sha256 -binary | base64", shell=True, cwd=work, check=True,
        capture_output=True, text=True).stdout.strip()
    return cert, key, spki


def nginx(work, root, port, cert, key, readme):
    """Debian's nginx as its nginx.conf sets it up, with one server over HTTPS."""
    conf = os.path.join(work, "nginx.conf")
    with open(conf, "w") as f:
        f.write(f"""
daemon off;
{"user www-data;" if os.geteuid() == 0 else ""}
pid {work}/nginx.pid;
error_log {work}/nginx-error.log;
include /etc/nginx/modules-enabled/*.conf;
events {{ worker_connections 64; }}
http {{
    sendfile on;
    tcp_nopush on;
    types_hash_max_size 2048;
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    log_format coding '$uri $sent_http_content_encoding';
    access_log {work}/nginx-access.log coding;
    gzip on;
    client_body_temp_path {work}/body;
    proxy_temp_path {work}/proxy;
    fastcgi_temp_path {work}/fastcgi;
    uwsgi_temp_path {work}/uwsgi;
    scgi_temp_path {work}/scgi;
    server {{
        listen 127.0.0.1:{port} ssl;
        ssl_certificate {cert};
        ssl_certificate_key {key};
        root {root};
{block(readme, "nginx")}
    }}
}}
""")
    return [NGINX, "-e", f"{work}/nginx-error.log", "-c", conf]


def apache(work, root, port, cert, key, readme):
    """Debian's Apache with the modules it enables, those the README names, and one server over
    HTTPS; the block as the folder's .htaccess."""
    with open(os.path.join(root, PATH.strip("/"), ".htaccess"), "w") as f:
        f.write(block(readme, "apache"))
    os.makedirs(os.path.join(work, "run"), exist_ok=True)
    conf = os.path.join(work, "apache2.conf")
    user = "User www-data\nGroup www-data" if os.geteuid() == 0 else ""
    with open(conf, "w") as f:
        f.write(f"""
ServerRoot /etc/apache2
ServerName 127.0.0.1
DefaultRuntimeDir {work}/run
PidFile {work}/apache2.pid
ErrorLog {work}/apache2-error.log
LogFormat "%U %{{Content-Encoding}}o" coding
CustomLog {work}/apache-access.log coding
{user}
IncludeOptional mods-enabled/*.load
IncludeOptional mods-enabled/*.conf
<IfModule !headers_module>
    Include mods-available/headers.load
</IfModule>
<IfModule !rewrite_module>
    Include mods-available/rewrite.load
</IfModule>
<IfModule !ssl_module>
    Include mods-available/socache_shmcb.load
    Include mods-available/ssl.load
    Include mods-available/ssl.conf
</IfModule>
<Directory />
    Options FollowSymLinks
    AllowOverride None
    Require all denied
</Directory>
<Directory {root}>
    Options Indexes FollowSymLinks
    AllowOverride All
    Require all granted
</Directory>
AccessFileName .htaccess
<FilesMatch "^\\.ht">
    Require all denied
</FilesMatch>
Listen 127.0.0.1:{port}
<VirtualHost 127.0.0.1:{port}>
    DocumentRoot {root}
    SSLEngine on
    SSLCertificateFile {cert}
    SSLCertificateKeyFile {key}
</VirtualHost>
""")
    return [APACHE, "-f", conf, "-DFOREGROUND"]


def fetch(port, path, accept, headers=None):
    context = ssl.create_default_context()
    context.check_hostname, context.verify_mode = False, ssl.CERT_NONE
    connection = http.client.HTTPSConnection("127.0.0.1", port, context=context, timeout=30)
    try:
        connection.request("GET", path, headers={"Accept-Encoding": accept, **(headers or {})})
        response = connection.getresponse()
        return response.status, {k.lower(): v for k, v in response.getheaders()}, response.read()
    finally:
        connection.close()


def decoded(coding, body):
    if coding == "br":
        return subprocess.run(["brotli", "-dc"], input=body, capture_output=True,
                              check=True).stdout
    return gzip.decompress(body) if coding == "gzip" else body


def check_files(name, port, folder):
    """Every file of the folder, and the folder's own address, as each kind of browser asks."""
    files = sorted(n for n in os.listdir(folder)
                   if not n.endswith((".gz", ".br")) and not n.startswith("."))
    halves = {web.half(folder, ".js"), web.half(folder, ".wasm")}
    for file in files + [""]:
        with open(os.path.join(folder, file or "index.html"), "rb") as f:
            content = f.read()
        want_type, compressible = TYPES[os.path.splitext(file or "index.html")[1]]
        want_cache = YEAR if file in halves else "no-cache"
        for accept, coding in ACCEPTS.items():
            coding = coding if compressible else None
            status, headers, body = fetch(port, PATH + file, accept)
            got = (status, headers.get("content-type", "").split(";")[0],
                   headers.get("content-encoding"), headers.get("cache-control"))
            if got != (200, want_type, coding, want_cache):
                web.fail(f"{PATH + file} for {accept!r}: {got}, not "
                         f"{(200, want_type, coding, want_cache)}")
            if decoded(coding, body) != content:
                web.fail(f"{PATH + file} for {accept!r} is not the folder's file")
            if compressible and "accept-encoding" not in headers.get("vary", "").lower():
                web.fail(f"{PATH + file} does not vary by Accept-Encoding")
            again = {k: headers[v] for k, v in (("If-None-Match", "etag"),
                                                ("If-Modified-Since", "last-modified"))
                     if v in headers}
            status, headers, _ = fetch(port, PATH + file, accept, again)
            if status != 304 or headers.get("cache-control") != want_cache:
                web.fail(f"{PATH + file} asked again with {again}: {status}, "
                         f"{headers.get('cache-control')}")
    web.say(f"{len(files)} files and the folder's address, each with its type, "
            f"compressed as the browser takes it, its caching, and a 304 when unchanged")


def check_page(name, driver, page, port, folder, log):
    """A trial through the server, each of the program's halves sent to the browser as Brotli;
    then the page starts with the network cut."""
    url = f"https://127.0.0.1:{port}{PATH}"
    web.open_window(driver, page, url)
    web.right_trial(page, 1)
    with open(log) as f:
        sent = {tuple(line.split()) for line in f}
    for half in (web.half(folder, ".js"), web.half(folder, ".wasm")):
        if (PATH + half, "br") not in sent and (PATH + half + ".br", "br") not in sent:
            web.fail(f"{half} did not go to Chromium as Brotli: {sorted(sent)}")
    first = web.offline_trial(driver, page, url)
    web.say(f"a trial judged right, the program's halves sent as Brotli; offline, the "
            f"window came in {first:.0f} ms and judged a trial")


def main():
    folder, readme = sys.argv[1], open(sys.argv[2], encoding="utf-8").read()
    if not os.path.isfile(os.path.join(folder, "index.html")):
        print(f"servers: no web build in {folder} (scripts/build-web): skipped")
        return web.SKIP
    for tool in (NGINX, APACHE, BROTLI_MODULE, web.CHROMIUM, web.DRIVER,
                 shutil.which("openssl"), shutil.which("brotli")):
        if not tool or not os.path.exists(tool):
            print(f"servers: {tool or 'openssl or brotli'} is not installed "
                  "(scripts/setup --web-test): skipped")
            return web.SKIP
    work = tempfile.mkdtemp()
    os.chmod(work, 0o755)  # the servers' workers read it as www-data
    cert, key, spki = certificate(work)
    driver = web.browser(os.path.join(work, "profile"),
                         f"--ignore-certificate-errors-spki-list={spki}")
    page = web.Page(driver, work)
    # Brotli copies as the shipped build makes them; the quick build leaves them out.
    # The folder's files as a school puts them up: the shipped folder also holds the build trees
    # and the zip.
    sealed = os.path.join(work, "folder")
    os.makedirs(sealed)
    for name in os.listdir(folder):
        if os.path.isfile(os.path.join(folder, name)) and not name.endswith(".zip"):
            shutil.copy(os.path.join(folder, name), sealed)
    subprocess.run(["/usr/bin/python3", web.WEB_FOLDER, "seal", sealed, "--brotli"], check=True,
                   stdout=subprocess.DEVNULL)
    try:
        for name, server in (("nginx", nginx), ("Apache", apache)):
            web.PREFIX = f"{name}: "
            root = os.path.join(work, name)
            served = os.path.join(root, PATH.strip("/"))
            shutil.copytree(sealed, served)
            port = free_port()
            log = open(os.path.join(work, name + ".log"), "w")
            process = subprocess.Popen(server(work, root, port, cert, key, readme),
                                       stdout=log, stderr=subprocess.STDOUT,
                                       env={**os.environ, "APACHE_RUN_DIR": f"{work}/run"},
                                       start_new_session=True)
            try:
                web.wait_until(f"{name} did not answer on port {port}",
                               lambda: process.poll() is None and answers(port), 20)
                check_files(name, port, served)
                check_page(name, driver, page, port, served,
                           os.path.join(work, f"{name.lower()}-access.log"))
            finally:
                stop(process)
                if process.returncode not in (0, -15):
                    with open(os.path.join(work, name + ".log")) as f:
                        print(f.read(), file=sys.stderr)
    finally:
        driver.quit()
        shutil.rmtree(work, ignore_errors=True)
    return 0


def stop(server):
    """Ends the server and its workers, which finish what they are sending first."""
    server.terminate()
    try:
        server.wait(60)
    except subprocess.TimeoutExpired:
        os.killpg(server.pid, signal.SIGKILL)
        server.wait()


def answers(port):
    try:
        fetch(port, PATH, "identity")
        return True
    except OSError:
        time.sleep(0.1)
        return False


if __name__ == "__main__":
    sys.exit(main())
