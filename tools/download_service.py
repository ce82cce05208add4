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
        {"downloadUrl": URL, "zipSize": "<bytes>", "insSize": "<bytes>"}.
    GET <path of the download URL>?sign=S&t=T
        Serves the package when S == md5(key + P + T) (lower-case hex) and T
        is within 300 seconds of now; 403 otherwise. P is "/" + the path of
        the download URL when the URL matches
        (https?://)([a-zA-Z0-9.-]+)(/?)([a-zA-Z0-9.,/+_]*) exactly, else "".
    GET /_records
        Every package request and download attempt so far, as a JSON array
        (a download attempt keeps its raw sign and t values).
    GET /_control?name=value&...
        Changes options of a running service, so one service can serve a
        whole test program: package, download_url, zip_size, ins_size,
        answer, answer_file, fail_first, fail_mode, drop_after,
        drop_points, no_content_length, status_206, rate, extra_bytes, short_by,
        content_length (the
        options below, "-" written "_"; flags take 1 or 0, an empty value
        clears a text option). reset=1 first restores the start-up options
        and forgets the records. Answers the options in force as JSON; 400
        for an unknown name or a bad value.

Options:
    --package PATH        package file to announce and serve (required)
    --port N              port on 127.0.0.1 (default 8600, 0 = any free port)
    --port-file PATH      also write the bound port to PATH (atomically)
    --key KEY             signing key (default VelmoraDemoKey2026abcd)
    --download-url URL    announced URL (default
                          http://127.0.0.1:<port>/pkg/<package name>);
                          "{port}" in it is replaced by the bound port
    --zip-size TEXT       announce TEXT as zipSize instead of the file size
    --ins-size TEXT       announce TEXT as insSize instead of the sum of the
                          entries' uncompressed sizes
    --answer KIND         replace the request answer: malformed, numbers,
                          ftp or empty
    --answer-file FILE    answer the request with the raw bytes of FILE
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
    --record-file PATH    append each record to PATH as a JSON line
    --verbose             log requests to stderr

Prints "listening on http://127.0.0.1:<port>" once bound. SIGTERM or SIGINT
stop it with exit code 0.
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
    "answer": str, "answer_file": str, "fail_first": int, "fail_mode": str,
    "drop_after": int, "drop_points": str, "no_content_length": bool, "status_206": bool,
    "rate": int, "extra_bytes": int, "short_by": int, "content_length": int,
}
FAIL_MODES = ("500", "404", "drop", "206", "no_length")
DEFAULT_PORT = 8600
DEFAULT_KEY = "VelmoraDemoKey2026abcd"
MAX_CLOCK_SKEW = 300
CHUNK = 64 * 1024

# The installer derives the signed path with exactly this pattern, so a URL
# with a port or unusual characters signs an empty path.
_SIGN_URL_RE = re.compile(r"(https?://)([a-zA-Z0-9.-]+)(/?)([a-zA-Z0-9.,/+_]*)")
_INT_RE = re.compile(r"-?[0-9]+")
_COUNT_RE = re.compile(r"[0-9]+")
_NET_ERRORS = (BrokenPipeError, ConnectionResetError, ConnectionAbortedError,
               socket.timeout)


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
    p.add_argument("--key", default=DEFAULT_KEY)
    p.add_argument("--download-url")
    p.add_argument("--zip-size")
    p.add_argument("--ins-size")
    p.add_argument("--answer", choices=["malformed", "numbers", "ftp", "empty"])
    p.add_argument("--answer-file")
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
    p.add_argument("--record-file")
    p.add_argument("--verbose", action="store_true")
    return p.parse_args(argv)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "VelmoraDownload/1.0"

    def log_message(self, fmt, *args):
        if self.server.args.verbose:
            sys.stderr.write("%s %s\n" % (self.address_string(), fmt % args))

    def send_body(self, status, body, content_type="text/plain"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        try:
            self.route()
        except _NET_ERRORS:
            self.close_connection = True

    def route(self):
        srv = self.server
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
        srv = self.server
        values = dict(urllib.parse.parse_qsl(query, keep_blank_values=True))
        srv.record({"kind": "request",
                    "version": values.get("version"),
                    "mac_address": values.get("mac_address"),
                    "platform": values.get("platform")})
        self.send_body(200, srv.answer_body(), "application/json")

    def package_download(self, path):
        srv = self.server
        # The installer appends "?sign=..&t=.." to the announced URL as it is,
        # so a URL that already has a query yields a second "?": the signature
        # always sits in the last "?"-separated part, while the signed path
        # comes from the announced URL string alone.
        tail = self.path.rsplit("?", 1)[1] if "?" in self.path else ""
        params = dict(urllib.parse.parse_qsl(tail, keep_blank_values=True))
        sign_ok = srv.check_sign(params.get("sign"), params.get("t"))
        slot = srv.reserve_record()
        rec = {"kind": "download", "path": path, "sign": params.get("sign"),
               "t": params.get("t"), "sign_ok": sign_ok, "status": 403, "bytes_sent": 0}
        try:
            if not sign_ok:
                self.send_body(403, b"forbidden\n")
                return
            fail, drop_after = srv.take_failure()
            if fail in ("500", "404"):
                rec["status"] = int(fail)
                self.send_body(int(fail), b"failure on purpose\n")
                return
            self.send_package(rec, fail, drop_after)
        finally:
            srv.record(rec, slot)

    def send_package(self, rec, fail, drop_after):
        """Sends the package; |fail| is None or the failure this attempt
        shows: drop (after |drop_after| bytes), 206 or no_length."""
        args = self.server.args
        drop = fail == "drop"
        with open(self.server.package, "rb") as f:
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
                # Abrupt end: no more bytes, no orderly keep-alive.
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
        rate = self.server.args.rate
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
        rate = self.server.args.rate
        if rate > 0:
            ahead = rec["bytes_sent"] / rate - (time.monotonic() - self.t0)
            if ahead > 0:
                time.sleep(ahead)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, args):
        self.initial_args = copy.copy(args)
        self.records = []
        self.lock = threading.Lock()
        self.record_fp = open(args.record_file, "a", encoding="utf-8") \
            if args.record_file else None
        super().__init__(("127.0.0.1", args.port), Handler)
        self.port = self.server_address[1]
        self.apply(args)

    def apply(self, args):
        self.args = args
        self.package = args.package
        self.failures_left = max(args.fail_first, 0)
        self.drop_points_left = parse_points(args.drop_points)
        name = urllib.parse.quote(os.path.basename(args.package))
        if args.download_url:
            self.download_url = args.download_url.replace("{port}", str(self.port))
        else:
            self.download_url = "http://127.0.0.1:%d/pkg/%s" % (self.port, name)
        self.package_path = urllib.parse.urlsplit(self.download_url).path or "/"

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
                else:
                    value = text if text != "" else None
                setattr(args, name, value)
            if not args.package or not os.path.isfile(args.package):
                raise ValueError("package not found: %s" % args.package)
            if args.fail_mode not in FAIL_MODES:
                raise ValueError("bad fail_mode: %s" % args.fail_mode)
            parse_points(args.drop_points)
            if args.answer not in (None, "malformed", "numbers", "ftp", "empty"):
                raise ValueError("bad answer: %s" % args.answer)
            self.apply(args)
            settings = {name: getattr(args, name) for name in CONTROL_OPTIONS}
            settings["download_url"] = self.download_url
            return settings

    def server_close(self):
        super().server_close()
        if self.record_fp:
            self.record_fp.close()
            self.record_fp = None

    def handle_error(self, request, client_address):
        if isinstance(sys.exc_info()[1], _NET_ERRORS):
            return
        super().handle_error(request, client_address)

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

    def check_sign(self, sign, t):
        if sign is None or t is None or not _INT_RE.fullmatch(t):
            return False
        if abs(time.time() - int(t)) > MAX_CLOCK_SKEW:
            return False
        return sign == make_sign(self.args.key, self.download_url, t)

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
        return json.dumps(body).encode()


def make_server(args):
    if not os.path.isfile(args.package):
        raise FileNotFoundError("package not found: %s" % args.package)
    return Server(args)


def write_port_file(path, port):
    d = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(dir=d, prefix=".port-")
    with os.fdopen(fd, "w") as f:
        f.write("%d\n" % port)
    os.replace(tmp, path)


def main(argv=None):
    args = parse_args(argv)
    try:
        server = make_server(args)
    except OSError as e:
        sys.stderr.write("download_service: %s\n" % e)
        return 1

    def stop(signum, frame):
        # shutdown() waits for serve_forever, which runs on this thread.
        threading.Thread(target=server.shutdown, daemon=True).start()

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    print("listening on http://127.0.0.1:%d" % server.port, flush=True)
    if args.port_file:
        write_port_file(args.port_file, server.port)
    if args.verbose:
        sys.stderr.write("announcing %s\n" % server.download_url)
    try:
        server.serve_forever()
    finally:
        server.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
