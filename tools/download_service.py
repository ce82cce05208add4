#!/usr/bin/env python3
"""Reference download service for the Velmora web installer.

Stands in for the publisher's download service in tests, the demo and
benchmarks. It answers the package request with a small JSON document and
serves the package file to correctly signed download requests.

Usage:
    python3 tools/download_service.py --package PATH [options]

Endpoints:
    GET /quill/orv/download?version=V&mac_address=M&platform=P
        Records the three values and answers
        {"downloadUrl": URL, "zipSize": "<bytes>", "insSize": "<bytes>",
         "sha256": "<lower-case hex SHA-256 of the package>"}.
    GET <path of the download URL>?sign=S&t=T
        Serves the package when S == md5(key + P + T) (lower-case hex) and T
        is within 300 seconds of now; 403 otherwise. P is "/" + the path of
        the download URL when the URL matches
        (https?://)([a-zA-Z0-9.-]+)(/?)([a-zA-Z0-9.,/+_]*) exactly, else "".
    GET /_records
        Every package request and download attempt so far, as a JSON array
        (a download attempt keeps its raw sign and t values). Every record
        has "scheme" ("http" or "https": the listener it arrived on) and
        "status"; a download's record also has "substituted".
    GET /_control?name=value&...
        Changes options of a running service, so one service can serve a
        whole test program: package, download_url, zip_size, ins_size,
        answer, answer_file, sha256, fail_first, fail_mode, drop_after,
        drop_points, no_content_length, status_206, rate, extra_bytes, short_by,
        content_length, substitute, substitute_first, redirect_first,
        redirect_to, redirect_request, answer_delay_ms (the
        options below, "-" written "_"; flags take 1 or 0, an empty value
        clears a text option, and sets sha256 back to auto). reset=1 first
        restores the start-up options and forgets the records. Answers the
        options in force as JSON; 400 for an unknown name or a bad value.

Both listeners (the main port and the --plain-port one) share the options,
the records and the counters of --fail-first and the like.

Options:
    --package PATH        package file to announce and serve (required)
    --port N              port on 127.0.0.1 (default 8600, 0 = any free port)
    --port-file PATH      also write the bound port to PATH (atomically)
    --tls CERT KEY        the main port speaks HTTPS with this certificate
                          chain and key (PEM files); a client that refuses
                          the certificate only loses its own connection
    --plain-port N        a second, plain-HTTP listener on 127.0.0.1 (0 =
                          any free port)
    --plain-port-file PATH
                          also write that listener's port to PATH
    --key KEY             signing key (default VelmoraDemoKey2026abcd)
    --download-url URL    announced URL (default
                          http://127.0.0.1:<port>/pkg/<package name>, with
                          --tls https://localhost:<port>/pkg/<package name>);
                          "{port}" in it is replaced by the main port,
                          "{plain_port}" by the --plain-port one
    --zip-size TEXT       announce TEXT as zipSize instead of the file size
    --ins-size TEXT       announce TEXT as insSize instead of the sum of the
                          entries' uncompressed sizes
    --sha256 TEXT         auto (default): announce the package's SHA-256;
                          none: leave sha256 out; else announce TEXT as it is
    --answer KIND         replace the request answer: malformed, numbers,
                          ftp or empty
    --answer-file FILE    answer the request with the raw bytes of FILE
    --answer-delay-ms MS  hold every package request MS milliseconds before
                          it is recorded and answered (default 0)
    --fail-first N        fail the first N correctly signed downloads
    --fail-mode MODE      how they fail: 500, 404, drop (the connection
                          ends after --drop-after bytes), 206 or no_length
                          (the package as --status-206 or
                          --no-content-length would send it) (default 500)
    --drop-after K        with drop: bytes sent before the drop (default 0)
    --drop-points K1,K2,..
                          drop the next correctly signed downloads after
                          K1, then K2, ... bytes (one point per download,
                          before any --fail-first failure); then serve whole
    --no-content-length   send the package close-delimited
    --status-206          send the package with status 206 and Content-Range
    --rate B              send the package at about B bytes per second
    --extra-bytes K       send K bytes more than the announced length
    --short-by K          send K bytes fewer than the announced length
    --content-length N    announce N as the package's Content-Length, send
                          the file (at most N bytes) and close
    --substitute FILE     file whose bytes the first --substitute-first
                          downloads get instead of the package's
    --substitute-first N  how many (correctly signed downloads that send a
                          body: redirected, 500 and 404 ones do not count)
    --redirect-first N    answer the first N correctly signed downloads with
                          302 to --redirect-to + their path and query (before
                          any failure, drop or substitute)
    --redirect-to URL     prefix of the redirect target, such as
                          http://localhost:{plain_port}; "{port}" and
                          "{plain_port}" as in --download-url
    --redirect-request    answer every package request with 302 to
                          --redirect-to + its path and query, except on the
                          listener --redirect-to names (no loop)
    --record-file PATH    append each record to PATH as a JSON line
    --verbose             log requests to stderr

Prints "listening on http://127.0.0.1:<port>" (with --tls "listening on
https://localhost:<port>") once bound, then "listening on
http://127.0.0.1:<plain port>" with --plain-port. SIGTERM or SIGINT stop it
with exit code 0.
"""

import argparse
import copy
import hashlib
import http.server
import json
import os
import re
import signal
import socket
import ssl
import sys
import tempfile
import threading
import time
import urllib.parse
import zipfile

REQUEST_PATH = "/quill/orv/download"
RECORDS_PATH = "/_records"
CONTROL_PATH = "/_control"
# Options a running service lets /_control change, with their types.
CONTROL_OPTIONS = {
    "package": str, "download_url": str, "zip_size": str, "ins_size": str,
    "answer": str, "answer_file": str, "sha256": str, "fail_first": int,
    "fail_mode": str, "drop_after": int, "drop_points": str,
    "no_content_length": bool, "status_206": bool, "rate": int, "extra_bytes": int,
    "short_by": int, "content_length": int, "substitute": str,
    "substitute_first": int, "redirect_first": int, "redirect_to": str,
    "redirect_request": bool, "answer_delay_ms": int,
}
FAIL_MODES = ("500", "404", "drop", "206", "no_length")
ANSWERS = ("malformed", "numbers", "ftp", "empty")
DEFAULT_PORT = 8600
DEFAULT_KEY = "VelmoraDemoKey2026abcd"
MAX_CLOCK_SKEW = 300
HANDSHAKE_TIMEOUT = 30
CHUNK = 64 * 1024
HASH_CHUNK = 1024 * 1024

# The installer derives the signed path with exactly this pattern, so a URL
# with a port or unusual characters signs an empty path.
_SIGN_URL_RE = re.compile(r"(https?://)([a-zA-Z0-9.-]+)(/?)([a-zA-Z0-9.,/+_]*)")
_INT_RE = re.compile(r"-?[0-9]+")
_COUNT_RE = re.compile(r"[0-9]+")
# ssl.SSLError covers a TLS client that goes away mid-transfer.
_NET_ERRORS = (BrokenPipeError, ConnectionResetError, ConnectionAbortedError,
               socket.timeout, ssl.SSLError)


def signed_path(url):
    """The path part that goes into the signature of URL."""
    m = _SIGN_URL_RE.fullmatch(url)
    return "/" + m.group(4) if m else ""


def make_sign(key, url, t):
    return hashlib.md5((key + signed_path(url) + str(t)).encode("ascii")).hexdigest()


def parse_points(text):
    """The byte counts of a drop_points value ("" or None: none)."""
    if not text:
        return []
    points = text.split(",")
    if not all(_COUNT_RE.fullmatch(p) for p in points):
        raise ValueError("drop_points takes byte counts separated by commas")
    return [int(p) for p in points]


def points_argument(text):
    try:
        parse_points(text)
    except ValueError as e:
        raise argparse.ArgumentTypeError(str(e))
    return text


def uncompressed_size(path):
    with zipfile.ZipFile(path) as zf:
        return sum(info.file_size for info in zf.infolist())


def parse_args(argv=None):
    p = argparse.ArgumentParser(
        description="Reference download service for the Velmora web installer.")
    p.add_argument("--package", required=True)
    p.add_argument("--port", type=int, default=DEFAULT_PORT)
    p.add_argument("--port-file")
    p.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    p.add_argument("--plain-port", type=int)
    p.add_argument("--plain-port-file")
    p.add_argument("--key", default=DEFAULT_KEY)
    p.add_argument("--download-url")
    p.add_argument("--zip-size")
    p.add_argument("--ins-size")
    p.add_argument("--sha256", default="auto")
    p.add_argument("--answer", choices=ANSWERS)
    p.add_argument("--answer-file")
    p.add_argument("--answer-delay-ms", type=int, default=0)
    p.add_argument("--fail-first", type=int, default=0)
    p.add_argument("--fail-mode", choices=FAIL_MODES, default="500")
    p.add_argument("--drop-after", type=int, default=0)
    p.add_argument("--drop-points", type=points_argument)
    p.add_argument("--no-content-length", action="store_true")
    p.add_argument("--status-206", action="store_true")
    p.add_argument("--rate", type=int, default=0)
    p.add_argument("--extra-bytes", type=int, default=0)
    p.add_argument("--short-by", type=int, default=0)
    p.add_argument("--content-length", type=int, default=None)
    p.add_argument("--substitute")
    p.add_argument("--substitute-first", type=int, default=0)
    p.add_argument("--redirect-first", type=int, default=0)
    p.add_argument("--redirect-to")
    p.add_argument("--redirect-request", action="store_true")
    p.add_argument("--record-file")
    p.add_argument("--verbose", action="store_true")
    args = p.parse_args(argv)
    if args.plain_port_file and args.plain_port is None:
        p.error("--plain-port-file needs --plain-port")
    return args


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VelmoraDownload/1.0"

    def log_message(self, fmt, *args):
        if self.server.service.args.verbose:
            sys.stderr.write("%s %s %s\n" % (self.server.scheme, self.address_string(),
                                             fmt % args))

    def send_body(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def send_redirect(self, prefix):
        self.send_response(302)
        self.send_header("Location", prefix + self.path)
        self.send_header("Content-Length", "0")
        self.end_headers()

    def do_GET(self):
        try:
            self.route()
        except _NET_ERRORS:
            self.close_connection = True

    def route(self):
        srv = self.server.service
        path, _, query = self.path.partition("?")
        if path == REQUEST_PATH:
            self.package_request(query)
        elif path == CONTROL_PATH:
            changes = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
            try:
                settings = srv.configure(changes)
            except ValueError as e:
                self.send_body(400, ("%s\n" % e).encode())
                return
            self.send_body(200, json.dumps(settings).encode(), "application/json")
        elif path == RECORDS_PATH:
            self.send_body(200, json.dumps(srv.records_snapshot()).encode(),
                           "application/json")
        elif path == srv.package_path:
            self.package_download(path)
        else:
            self.send_body(404, b"not found\n")

    def package_request(self, query):
        srv = self.server.service
        values = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
        # A slow service: the record, so a test knows, comes with the answer.
        delay = srv.args.answer_delay_ms
        if delay > 0:
            time.sleep(delay / 1000.0)
        redirect_to = srv.request_redirect(self.server.port)
        srv.record({"kind": "request",
                    "version": values.get("version"),
                    "mac_address": values.get("mac_address"),
                    "platform": values.get("platform"),
                    "scheme": self.server.scheme,
                    "status": 200 if redirect_to is None else 302})
        if redirect_to is None:
            self.send_body(200, srv.answer_body(), "application/json")
        else:
            self.send_redirect(redirect_to)

    def package_download(self, path):
        srv = self.server.service
        # The installer appends "?sign=..&t=.." to the announced URL as it is,
        # so a URL that already has a query yields a second "?": the signature
        # always sits in the last "?"-separated part, while the signed path
        # comes from the announced URL string alone.
        tail = self.path.rsplit("?", 1)[1] if "?" in self.path else ""
        params = dict(urllib.parse.parse_qsl(tail, keep_blank_values=True))
        sign_ok = srv.check_sign(params.get("sign"), params.get("t"))
        slot = srv.reserve_record()
        rec = {"kind": "download", "path": path, "sign": params.get("sign"),
               "t": params.get("t"), "sign_ok": sign_ok, "status": 403, "bytes_sent": 0,
               "scheme": self.server.scheme, "substituted": False}
        try:
            if not sign_ok:
                self.send_body(403, b"forbidden\n")
                return
            redirect_to = srv.take_redirect()
            if redirect_to is not None:
                rec["status"] = 302
                self.send_redirect(redirect_to)
                return
            fail, drop_after = srv.take_failure()
            if fail in ("500", "404"):
                rec["status"] = int(fail)
                self.send_body(int(fail), b"failure on purpose\n")
                return
            source = srv.take_substitute()
            rec["substituted"] = source is not None
            self.send_package(rec, source or srv.package, fail, drop_after)
        finally:
            srv.record(rec, slot)

    def send_package(self, rec, source, fail, drop_after):
        """Sends the file |source|; |fail| is None or the failure this
        attempt shows: drop (after |drop_after| bytes), 206 or no_length."""
        args = self.server.service.args
        drop = fail == "drop"
        with open(source, "rb") as f:
            size = os.fstat(f.fileno()).st_size
            status = 206 if (args.status_206 and not drop) or fail == "206" else 200
            rec["status"] = status
            self.send_response(status)
            self.send_header("Content-Type", "application/zip")
            if (args.no_content_length and not drop) or fail == "no_length":
                self.send_header("Connection", "close")
            else:
                announced = size if args.content_length is None else args.content_length
                self.send_header("Content-Length", str(announced))
            if status == 206:
                rng = "bytes 0-%d/%d" % (size - 1, size) if size else "bytes */0"
                self.send_header("Content-Range", rng)
            self.end_headers()

            self.t0 = time.monotonic()
            if drop:
                self.stream(f, min(drop_after, size), rec)
                # Abrupt end: no more bytes, no orderly keep-alive (and with
                # TLS no close_notify).
                self.close_connection = True
                try:
                    self.connection.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
                self.connection.close()
                return
            body = max(size - args.short_by, 0)
            if args.content_length is not None:
                body = min(body, max(args.content_length, 0))
            self.stream(f, body, rec)
            if args.extra_bytes > 0:
                self.pace_write(b"X" * args.extra_bytes, rec)
            if args.short_by > 0 or args.extra_bytes > 0 or args.content_length is not None:
                # The announced length no longer frames the body.
                self.close_connection = True

    def stream(self, f, count, rec):
        # Read in chunks: packages can be several GiB.
        rate = self.server.service.args.rate
        step = min(CHUNK, max(1, rate // 20)) if rate > 0 else CHUNK
        while count > 0:
            data = f.read(min(step, count))
            if not data:
                break
            self.pace_write(data, rec)
            count -= len(data)

    def pace_write(self, data, rec):
        self.wfile.write(data)
        rec["bytes_sent"] += len(data)
        rate = self.server.service.args.rate
        if rate > 0:
            ahead = rec["bytes_sent"] / rate - (time.monotonic() - self.t0)
            if ahead > 0:
                time.sleep(ahead)


def close_tls(conn):
    """Ends a TLS connection with close_notify when the peer is still
    there, so a close-delimited body ends cleanly."""
    try:
        conn.settimeout(2)
        conn.unwrap()
    except (OSError, ValueError):  # ValueError: already shut down (a drop)
        pass
    conn.close()


class Listener(http.server.ThreadingHTTPServer):
    """One port of the service; every listener serves the same Service."""
    daemon_threads = True

    def __init__(self, service, port, tls_context=None):
        self.service = service
        self.tls_context = tls_context
        self.scheme = "https" if tls_context else "http"
        super().__init__(("127.0.0.1", port), Handler)
        self.port = self.server_address[1]

    def finish_request(self, request, client_address):
        if self.tls_context is None:
            super().finish_request(request, client_address)
            return
        # The handshake runs on the connection's own thread, so a slow or
        # refusing client holds up nobody else.
        try:
            request.settimeout(HANDSHAKE_TIMEOUT)
            conn = self.tls_context.wrap_socket(request, server_side=True)
        except (ssl.SSLError, OSError):
            return
        try:
            conn.settimeout(None)
            super().finish_request(conn, client_address)
        finally:
            close_tls(conn)

    def handle_error(self, request, client_address):
        if isinstance(sys.exc_info()[1], _NET_ERRORS):
            return
        super().handle_error(request, client_address)


class Service:
    """Options, records and counters, shared by the listeners. Stands in
    for its main listener (serve_forever, shutdown, server_close), so one
    object runs the whole service."""

    def __init__(self, args):
        self.initial_args = copy.copy(args)
        self.records = []
        self.lock = threading.Lock()
        self.hash_lock = threading.Lock()
        self.hashes = {}  # path -> (size, mtime_ns, hex digest)
        self.listeners = []
        self.record_fp = open(args.record_file, "a", encoding="utf-8") \
            if args.record_file else None
        try:
            context = None
            if args.tls:
                context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
                context.load_cert_chain(args.tls[0], args.tls[1])
            self.listeners.append(Listener(self, args.port, context))
            if args.plain_port is not None:
                self.listeners.append(Listener(self, args.plain_port))
            self.apply(self.checked(args))
        except BaseException:
            self.server_close()
            raise

    @property
    def port(self):
        return self.listeners[0].port

    @property
    def plain_port(self):
        return self.listeners[1].port if len(self.listeners) > 1 else None

    @property
    def scheme(self):
        return self.listeners[0].scheme

    def serve_forever(self, poll_interval=0.5):
        """Serves every listener until shutdown(); the main one on this
        thread."""
        others = [threading.Thread(target=l.serve_forever, args=(poll_interval,),
                                   daemon=True) for l in self.listeners[1:]]
        for t in others:
            t.start()
        try:
            self.listeners[0].serve_forever(poll_interval)
        finally:
            for l in self.listeners[1:]:
                l.shutdown()
            for t in others:
                t.join()

    def shutdown(self):
        self.listeners[0].shutdown()

    def server_close(self):
        for l in self.listeners:
            l.server_close()
        if self.record_fp:
            self.record_fp.close()
            self.record_fp = None

    def expand(self, url):
        """|url| with {port} and {plain_port} replaced; ValueError when it
        names a listener that does not exist."""
        url = url.replace("{port}", str(self.port))
        if "{plain_port}" in url:
            if self.plain_port is None:
                raise ValueError("{plain_port} needs --plain-port: %s" % url)
            url = url.replace("{plain_port}", str(self.plain_port))
        return url

    def checked(self, args):
        """|args| when they are consistent; ValueError otherwise."""
        if not args.package or not os.path.isfile(args.package):
            raise ValueError("package not found: %s" % args.package)
        if args.fail_mode not in FAIL_MODES:
            raise ValueError("bad fail_mode: %s" % args.fail_mode)
        parse_points(args.drop_points)
        if args.answer not in (None,) + ANSWERS:
            raise ValueError("bad answer: %s" % args.answer)
        if args.substitute and not os.path.isfile(args.substitute):
            raise ValueError("substitute not found: %s" % args.substitute)
        if args.substitute_first > 0 and not args.substitute:
            raise ValueError("substitute_first needs substitute")
        if (args.redirect_first > 0 or args.redirect_request) and not args.redirect_to:
            raise ValueError("redirect_first and redirect_request need redirect_to")
        for url in (args.download_url, args.redirect_to):
            if url:
                self.expand(url)
        return args

    def apply(self, args):
        self.args = args
        self.package = args.package
        self.failures_left = max(args.fail_first, 0)
        self.drop_points_left = parse_points(args.drop_points)
        self.substitutes_left = max(args.substitute_first, 0)
        self.redirects_left = max(args.redirect_first, 0)
        name = urllib.parse.quote(os.path.basename(args.package))
        if args.download_url:
            self.download_url = self.expand(args.download_url)
        elif self.scheme == "https":
            # Wine's WinINet matches a certificate's DNS names, never an
            # address, so TLS announces the host name.
            self.download_url = "https://localhost:%d/pkg/%s" % (self.port, name)
        else:
            self.download_url = "http://127.0.0.1:%d/pkg/%s" % (self.port, name)
        self.package_path = urllib.parse.urlsplit(self.download_url).path or "/"
        self.redirect_to = self.expand(args.redirect_to) if args.redirect_to else None

    def configure(self, changes):
        """Applies /_control changes; raises ValueError and changes nothing
        when one is bad."""
        changes = dict(changes)
        with self.lock:
            if changes.pop("reset", "0") == "1":
                args = copy.copy(self.initial_args)
                self.records.clear()
            else:
                args = copy.copy(self.args)
            for name, text in changes.items():
                kind = CONTROL_OPTIONS.get(name)
                if kind is None:
                    raise ValueError("unknown option: %s" % name)
                if kind is bool:
                    if text not in ("0", "1"):
                        raise ValueError("%s takes 0 or 1" % name)
                    value = text == "1"
                elif kind is int:
                    if not _INT_RE.fullmatch(text):
                        raise ValueError("%s takes a number" % name)
                    value = int(text)
                elif name == "sha256":
                    value = text or "auto"
                else:
                    value = text if text != "" else None
                setattr(args, name, value)
            self.apply(self.checked(args))
            settings = {name: getattr(args, name) for name in CONTROL_OPTIONS}
            settings["download_url"] = self.download_url
            settings["redirect_to"] = self.redirect_to
            return settings

    def reserve_record(self):
        """A place in the records for a download that starts now: records
        keep arrival order even when a later attempt finishes first."""
        slot = [None]
        with self.lock:
            self.records.append(slot)
        return slot

    def record(self, rec, slot=None):
        with self.lock:
            if slot is None:
                self.records.append([dict(rec)])
            else:
                slot[0] = dict(rec)  # forgotten if a reset came meanwhile
            if self.record_fp:
                self.record_fp.write(json.dumps(rec) + "\n")
                self.record_fp.flush()

    def records_snapshot(self):
        with self.lock:
            return [slot[0] for slot in self.records if slot[0] is not None]

    def take_failure(self):
        """(how the next download fails or None, bytes before a drop)."""
        with self.lock:
            if self.drop_points_left:
                return "drop", self.drop_points_left.pop(0)
            if self.failures_left > 0:
                self.failures_left -= 1
                return self.args.fail_mode, self.args.drop_after
        return None, 0

    def take_substitute(self):
        """The file the next download sends instead of the package, or None."""
        with self.lock:
            if self.substitutes_left > 0:
                self.substitutes_left -= 1
                return self.args.substitute
        return None

    def take_redirect(self):
        """The Location prefix for the next download, or None."""
        with self.lock:
            if self.redirects_left > 0:
                self.redirects_left -= 1
                return self.redirect_to
        return None

    def request_redirect(self, port):
        """The Location prefix for a package request that arrived on |port|,
        or None. A request on the listener the target names is answered, or
        it would be redirected to itself for ever."""
        with self.lock:
            target = self.redirect_to
            if not self.args.redirect_request or target is None:
                return None
        parts = urllib.parse.urlsplit(target)
        try:
            target_port = parts.port or {"http": 80, "https": 443}.get(parts.scheme)
        except ValueError:
            target_port = None
        own = parts.hostname in ("localhost", "127.0.0.1") and target_port == port
        return None if own else target

    def check_sign(self, sign, t):
        if sign is None or t is None or not _INT_RE.fullmatch(t):
            return False
        if abs(time.time() - int(t)) > MAX_CLOCK_SKEW:
            return False
        return sign == make_sign(self.args.key, self.download_url, t)

    def sha256(self, path):
        """Hex SHA-256 of |path|, kept while its size and mtime stay."""
        with self.hash_lock:
            st = os.stat(path)
            known = self.hashes.get(path)
            if known and known[:2] == (st.st_size, st.st_mtime_ns):
                return known[2]
            h = hashlib.sha256()
            # Packages can be 1 GiB: hash in chunks.
            with open(path, "rb") as f:
                for block in iter(lambda: f.read(HASH_CHUNK), b""):
                    h.update(block)
            self.hashes[path] = (st.st_size, st.st_mtime_ns, h.hexdigest())
            return h.hexdigest()

    def answer_body(self):
        args = self.args
        if args.answer_file:
            with open(args.answer_file, "rb") as f:
                return f.read()
        if args.answer == "empty":
            return b""
        if args.answer == "malformed":
            return b'{"downloadUrl": "http://'
        # Sizes are taken on every request so tests may swap the package.
        zip_size = os.path.getsize(self.package)
        try:
            ins_size = uncompressed_size(self.package)
        except (zipfile.BadZipFile, OSError):
            # A broken package is a valid test subject; announce 0.
            ins_size = 0
        url = self.download_url
        if args.answer == "ftp":
            url = "ftp://" + url.split("://", 1)[-1]
        if args.answer == "numbers":
            body = {"downloadUrl": url, "zipSize": zip_size, "insSize": ins_size}
        else:
            body = {"downloadUrl": url,
                    "zipSize": args.zip_size if args.zip_size is not None
                    else str(zip_size),
                    "insSize": args.ins_size if args.ins_size is not None
                    else str(ins_size)}
        if args.sha256 in (None, "", "auto"):
            body["sha256"] = self.sha256(self.package)
        elif args.sha256 != "none":
            body["sha256"] = args.sha256
        return json.dumps(body).encode()


def make_server(args):
    if not os.path.isfile(args.package):
        raise FileNotFoundError("package not found: %s" % args.package)
    return Service(args)


def write_port_file(path, port):
    d = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(dir=d, prefix=".port-")
    with os.fdopen(fd, "w") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def main(argv=None):
    args = parse_args(argv)
    try:
        service = make_server(args)
    except (OSError, ValueError) as e:
        sys.stderr.write("download_service: %s\n" % e)
        return 1

    def stop(signum, frame):
        # shutdown() waits for serve_forever, which runs on this thread.
        threading.Thread(target=service.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    if service.scheme == "https":
        print("listening on https://localhost:%d" % service.port, flush=True)
    else:
        print("listening on http://127.0.0.1:%d" % service.port, flush=True)
    if service.plain_port is not None:
        print("listening on http://127.0.0.1:%d" % service.plain_port, flush=True)
    # The main port file last: waiting for it means both listeners are up.
    if args.plain_port_file:
        write_port_file(args.plain_port_file, service.plain_port)
    if args.port_file:
        write_port_file(args.port_file, service.port)
    if args.verbose:
        sys.stderr.write("announcing %s\n" % service.download_url)
    try:
        service.serve_forever()
    finally:
        service.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
