"""Tests for the reference download service, against a real server on 127.0.0.1."""

import hashlib
import http.client
import json
import os
import random
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse
import zipfile

TOOLS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
if TOOLS not in sys.path:
    sys.path.insert(0, TOOLS)

import download_service  # noqa: E402

SCRIPT = os.path.join(TOOLS, "download_service.py")
KEY = "VelmoraDemoKey2026abcd"
TIMEOUT = 10


def md5_sign(key, path, t):
    return hashlib.md5((key + path + str(t)).encode("ascii")).hexdigest()


def make_zip(path, entries, stored=False):
    method = zipfile.ZIP_STORED if stored else zipfile.ZIP_DEFLATED
    with zipfile.ZipFile(path, "w", method) as zf:
        for name, data in entries.items():
            zf.writestr(name, data)
    return path


def make_cert(directory, name):
    """A throwaway self-signed certificate for localhost: (cert, key)."""
    cert = os.path.join(directory, name + ".pem")
    key = os.path.join(directory, name + ".key")
    subprocess.run(
        ["openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
         "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2",
         "-subj", "/CN=localhost", "-addext", "subjectAltName=DNS:localhost",
         "-keyout", key, "-out", cert],
        check=True, capture_output=True, timeout=60)
    return cert, key


class TlsConnection(http.client.HTTPConnection):
    """HTTPS to 127.0.0.1 that checks the certificate against |cafile| for
    |hostname| (the service's certificates name localhost, never an address)."""

    def __init__(self, port, cafile, hostname="localhost"):
        super().__init__("127.0.0.1", port, timeout=TIMEOUT)
        self.context = ssl.create_default_context(cafile=cafile)
        self.hostname = hostname

    def connect(self):
        super().connect()
        # A server close without close_notify shows as an error.
        self.sock = self.context.wrap_socket(self.sock, server_hostname=self.hostname,
                                             suppress_ragged_eofs=False)


def connection(port, scheme="http"):
    if scheme == "https":
        return TlsConnection(port, Fixture.cert)
    return http.client.HTTPConnection("127.0.0.1", port, timeout=TIMEOUT)


def raw_get(port, target):
    """One keep-alive GET; reads until the server closes the connection.

    Returns (status, headers, body). Tests that use it expect the server to
    close, so a server that keeps the connection open fails on the timeout.
    """
    with socket.create_connection(("127.0.0.1", port), timeout=TIMEOUT) as s:
        s.sendall(("GET %s HTTP/1.1\r\nHost: 127.0.0.1:%d\r\n\r\n"
                   % (target, port)).encode())
        data = b""
        while True:
            try:
                chunk = s.recv(65536)
            except ConnectionResetError:
                break
            if not chunk:
                break
            data += chunk
    head, _, body = data.partition(b"\r\n\r\n")
    lines = head.decode("latin-1").split("\r\n")
    status = int(lines[0].split()[1])
    headers = {}
    for line in lines[1:]:
        k, _, v = line.partition(":")
        headers[k.strip().lower()] = v.strip()
    return status, headers, body


class Fixture:
    """Packages shared by all tests, built once in a temp dir."""
    tmp = None
    small = None          # deflated zip with a few entries
    small_entries = None
    big = None            # a few MB, stored
    odd = None            # name that needs quoting in a URL
    cert = key = None     # self-signed for localhost, the clients' trust anchor
    stranger = None       # another one nobody trusts


def setUpModule():
    Fixture.tmp = tempfile.TemporaryDirectory()
    d = Fixture.tmp.name
    rnd = random.Random(7)
    Fixture.small_entries = {
        "bin/game.exe": rnd.randbytes(20000),
        "data/readme.txt": b"hello velmora\n" * 500,
        "data/empty.dat": b"",
    }
    Fixture.small = make_zip(os.path.join(d, "full.zip"), Fixture.small_entries)
    Fixture.big = make_zip(os.path.join(d, "big.zip"),
                           {"blob.bin": rnd.randbytes(3 * 1024 * 1024)}, stored=True)
    Fixture.odd = make_zip(os.path.join(d, "my pack.zip"), {"a.txt": b"a"})
    Fixture.cert, Fixture.key = make_cert(d, "localhost")
    Fixture.stranger = make_cert(d, "stranger")


def tearDownModule():
    Fixture.tmp.cleanup()


def read_file(path):
    with open(path, "rb") as f:
        return f.read()


class ServiceTestCase(unittest.TestCase):
    def start(self, *extra, package=None):
        args = download_service.parse_args(
            ["--package", package or Fixture.small, "--port", "0"] + list(extra))
        server = download_service.make_server(args)
        thread = threading.Thread(target=server.serve_forever,
                                  kwargs={"poll_interval": 0.05}, daemon=True)
        thread.start()

        def stop():
            server.shutdown()
            server.server_close()
            thread.join(TIMEOUT)
        self.addCleanup(stop)
        return server

    def start_tls(self, *extra, cert=None, package=None):
        cert_file, key_file = cert or (Fixture.cert, Fixture.key)
        return self.start("--tls", cert_file, key_file, *extra, package=package)

    def get(self, server, target, conn=None):
        """GET on |conn|, or on a new connection to the main port."""
        c = conn or connection(server.port, server.scheme)
        try:
            c.request("GET", target)
            r = c.getresponse()
            return r.status, r, r.read()
        finally:
            if conn is None:
                c.close()

    def announce(self, server, query="version=1.0.0.1&mac_address=001122AABBCC"
                 "&platform=Windows7"):
        status, r, body = self.get(server, "/quill/orv/download?" + query)
        self.assertEqual(status, 200)
        return json.loads(body)

    def signed_target(self, url, path_for_sign, key=KEY, t=None):
        """Download target for an announced URL, signed like the installer does."""
        t = int(time.time()) if t is None else t
        local = url.split("://", 1)[1]
        local = local[local.index("/"):] if "/" in local else "/"
        return "%s?sign=%s&t=%d" % (local, md5_sign(key, path_for_sign, t), t)

    def records(self, server, count, kind=None):
        """Waits (bounded) until at least `count` records of `kind` exist."""
        deadline = time.monotonic() + TIMEOUT
        while True:
            status, _, body = self.get(server, "/_records")
            self.assertEqual(status, 200)
            recs = [r for r in json.loads(body) if kind is None or r["kind"] == kind]
            if len(recs) >= count or time.monotonic() > deadline:
                return recs
            time.sleep(0.01)


class PackageRequestTest(ServiceTestCase):
    def test_answer_announces_url_sizes_and_hash_as_strings(self):
        server = self.start()
        answer = self.announce(server)
        self.assertEqual(set(answer), {"downloadUrl", "zipSize", "insSize", "sha256"})
        for v in answer.values():
            self.assertIsInstance(v, str)
        self.assertEqual(answer["downloadUrl"],
                         "http://127.0.0.1:%d/pkg/full.zip" % server.port)
        self.assertEqual(answer["zipSize"], str(os.path.getsize(Fixture.small)))
        self.assertEqual(answer["insSize"],
                         str(sum(len(v) for v in Fixture.small_entries.values())))
        self.assertNotEqual(answer["zipSize"], answer["insSize"])
        self.assertEqual(answer["sha256"],
                         hashlib.sha256(read_file(Fixture.small)).hexdigest())

    def test_response_is_json_with_length_and_keeps_connection(self):
        server = self.start()
        conn = http.client.HTTPConnection("127.0.0.1", server.port, timeout=TIMEOUT)
        self.addCleanup(conn.close)
        status, r, body = self.get(server, "/quill/orv/download?version=1", conn)
        self.assertEqual(r.getheader("Content-Type"), "application/json")
        self.assertEqual(int(r.getheader("Content-Length")), len(body))
        # Same connection serves the download afterwards.
        url = json.loads(body)["downloadUrl"]
        status, r, body = self.get(server, self.signed_target(url, ""), conn)
        self.assertEqual(status, 200)
        self.assertEqual(body, read_file(Fixture.small))

    def test_values_are_recorded(self):
        cases = [
            ("version=1.0.0.1&mac_address=001122AABBCC&platform=Windows7",
             {"version": "1.0.0.1", "mac_address": "001122AABBCC",
              "platform": "Windows7"}),
            ("platform=Windows10&version=2.3.4.5",
             {"version": "2.3.4.5", "mac_address": None, "platform": "Windows10"}),
            ("version=&mac_address=&platform=",
             {"version": "", "mac_address": "", "platform": ""}),
            ("", {"version": None, "mac_address": None, "platform": None}),
            ("version=1&extra=x&mac_address=A1B2",
             {"version": "1", "mac_address": "A1B2", "platform": None}),
        ]
        record_file = os.path.join(Fixture.tmp.name, "request-records.jsonl")
        self.addCleanup(lambda: os.path.exists(record_file) and os.remove(record_file))
        server = self.start("--record-file", record_file)
        for query, _ in cases:
            self.announce(server, query)
        expected = [dict(kind="request", scheme="http", status=200, **values)
                    for _, values in cases]
        self.assertEqual(self.records(server, len(cases)), expected)
        with open(record_file, encoding="utf-8") as f:
            self.assertEqual([json.loads(line) for line in f], expected)

    def test_size_overrides_are_announced_verbatim(self):
        for flag, key, text in [("--zip-size", "zipSize", "abc"),
                                ("--zip-size", "zipSize", "99999999999999999999999"),
                                ("--ins-size", "insSize", "-1"),
                                ("--ins-size", "insSize", "")]:
            with self.subTest(flag=flag, text=text):
                answer = self.announce(self.start(flag, text))
                self.assertEqual(answer[key], text)

    def test_answer_kinds(self):
        size = os.path.getsize(Fixture.small)
        ins = sum(len(v) for v in Fixture.small_entries.values())

        def malformed(body):
            self.assertTrue(body)
            self.assertRaises(ValueError, json.loads, body)

        def numbers(body):
            answer = json.loads(body)
            self.assertEqual((answer["zipSize"], answer["insSize"]), (size, ins))
            self.assertIsInstance(answer["downloadUrl"], str)

        def ftp(body):
            answer = json.loads(body)
            self.assertTrue(answer["downloadUrl"].startswith("ftp://"))
            self.assertEqual(answer["zipSize"], str(size))

        def empty(body):
            self.assertEqual(body, b"")

        for kind, check in [("malformed", malformed), ("numbers", numbers),
                            ("ftp", ftp), ("empty", empty)]:
            with self.subTest(kind=kind):
                server = self.start("--answer", kind)
                status, r, body = self.get(server, "/quill/orv/download?version=1")
                self.assertEqual(status, 200)
                self.assertEqual(int(r.getheader("Content-Length")), len(body))
                check(body)

    def test_answer_file_is_sent_raw(self):
        raw = b'\xef\xbb\xbf{"downloadUrl": "http://x/y.zip", "zipSize": "1"}\x00junk'
        path = os.path.join(Fixture.tmp.name, "answer.bin")
        with open(path, "wb") as f:
            f.write(raw)
        server = self.start("--answer-file", path)
        status, _, body = self.get(server, "/quill/orv/download")
        self.assertEqual((status, body), (200, raw))

    def test_broken_package_announces_zero_install_size(self):
        path = os.path.join(Fixture.tmp.name, "broken.zip")
        with open(path, "wb") as f:
            f.write(b"PK\x03\x04 not really a zip")
        answer = self.announce(self.start(package=path))
        self.assertEqual(answer["zipSize"], str(os.path.getsize(path)))
        self.assertEqual(answer["insSize"], "0")


class SignedPathTest(unittest.TestCase):
    def test_signed_path_of_urls(self):
        for url, path in [
            ("http://127.0.0.1:8600/pkg/full.zip", ""),
            ("http://cdn.velmora.test/pkg/full.zip", "/pkg/full.zip"),
            ("https://cdn.velmora.test/a/b,c+d_e.zip", "/a/b,c+d_e.zip"),
            ("http://cdn.velmora.test", "/"),
            ("http://cdn.velmora.test/", "/"),
            ("http://cdn.velmora.test/pkg/a-b.zip", ""),
            ("http://cdn.velmora.test/pkg/full.zip?x=1", ""),
            ("ftp://cdn.velmora.test/pkg/full.zip", ""),
            ("HTTP://cdn.velmora.test/pkg/full.zip", ""),
        ]:
            with self.subTest(url=url):
                self.assertEqual(download_service.signed_path(url), path)


class DownloadTest(ServiceTestCase):
    def test_package_streams_byte_for_byte(self):
        for package in (Fixture.small, Fixture.big):
            with self.subTest(package=os.path.basename(package)):
                server = self.start(package=package)
                url = self.announce(server)["downloadUrl"]
                status, r, body = self.get(server, self.signed_target(url, ""))
                self.assertEqual(status, 200)
                self.assertEqual(r.getheader("Content-Type"), "application/zip")
                self.assertEqual(int(r.getheader("Content-Length")),
                                 os.path.getsize(package))
                self.assertEqual(body, read_file(package))

    def test_signature_accepted(self):
        # (name, flags, path that goes into the signature)
        server_cases = [
            ("default url with port", [], ""),
            ("url without port", ["--download-url", "http://localhost/pkg/full.zip"],
             "/pkg/full.zip"),
            ("url with dash", ["--download-url", "http://localhost/pkg/a-b.zip"], ""),
            ("host only", ["--download-url", "http://localhost"], "/"),
            ("other key", ["--key", "0123456789abcdef"], ""),
        ]
        for name, flags, path in server_cases:
            key = flags[1] if flags[:1] == ["--key"] else KEY
            server = self.start(*flags)
            url = self.announce(server)["downloadUrl"]
            local = urllib.parse.urlsplit(url).path or "/"
            for offset in (0, -295, 295):
                t = int(time.time()) + offset
                sign = md5_sign(key, path, t)
                for query in ("sign=%s&t=%d" % (sign, t),
                              "t=%d&sign=%s" % (t, sign),
                              "a=1&t=%d&b=&sign=%s" % (t, sign)):
                    with self.subTest(name=name, offset=offset, query=query):
                        status, _, body = self.get(server, local + "?" + query)
                        self.assertEqual(status, 200)
                        self.assertEqual(body, read_file(Fixture.small))

    def test_signature_rejected(self):
        server = self.start()
        local = urllib.parse.urlsplit(self.announce(server)["downloadUrl"]).path
        now = int(time.time())
        good = md5_sign(KEY, "", now)
        cases = [
            ("wrong sign", "sign=%s&t=%d" % ("0" * 32, now)),
            ("upper-case sign", "sign=%s&t=%d" % (good.upper(), now)),
            ("sign for other t", "sign=%s&t=%d" % (good, now + 1)),
            ("sign with path of url", "sign=%s&t=%d"
             % (md5_sign(KEY, "/pkg/full.zip", now), now)),
            ("other key", "sign=%s&t=%d" % (md5_sign("x", "", now), now)),
            ("too old", "sign=%s&t=%d" % (md5_sign(KEY, "", now - 305), now - 305)),
            ("too new", "sign=%s&t=%d" % (md5_sign(KEY, "", now + 305), now + 305)),
            ("negative t", "sign=%s&t=%d" % (md5_sign(KEY, "", -now), -now)),
            ("missing t", "sign=%s" % good),
            ("missing sign", "t=%d" % now),
            ("no query", None),
            ("t not integer", "sign=%s&t=abc" % md5_sign(KEY, "", "abc")),
            ("t fractional", "sign=%s&t=%d.0" % (md5_sign(KEY, "", "%d.0" % now), now)),
            ("t with plus", "sign=%s&t=%%2B%d" % (md5_sign(KEY, "", "+%d" % now), now)),
            ("empty t", "sign=%s&t=" % md5_sign(KEY, "", "")),
        ]
        for name, query in cases:
            with self.subTest(name=name):
                target = local if query is None else local + "?" + query
                status, _, _ = self.get(server, target)
                self.assertEqual(status, 403)
        recs = self.records(server, len(cases), "download")
        self.assertEqual(len(recs), len(cases))
        for rec in recs:
            self.assertEqual((rec["sign_ok"], rec["status"], rec["bytes_sent"]),
                             (False, 403, 0))

    def test_url_with_query_takes_signature_from_last_part(self):
        server = self.start("--download-url",
                            "http://127.0.0.1:{port}/pkg/full.zip?channel=beta")
        url = self.announce(server)["downloadUrl"]
        self.assertEqual(url, "http://127.0.0.1:%d/pkg/full.zip?channel=beta"
                         % server.port)
        t = int(time.time())
        status, _, body = self.get(
            server, "/pkg/full.zip?channel=beta?sign=%s&t=%d" % (md5_sign(KEY, "", t), t))
        self.assertEqual(status, 200)
        self.assertEqual(body, read_file(Fixture.small))

    def test_port_placeholder(self):
        server = self.start("--download-url", "http://127.0.0.1:{port}/pkg/a-b.zip")
        url = self.announce(server)["downloadUrl"]
        self.assertEqual(url, "http://127.0.0.1:%d/pkg/a-b.zip" % server.port)
        status, _, body = self.get(server, self.signed_target(url, ""))
        self.assertEqual((status, body), (200, read_file(Fixture.small)))
        status, _, _ = self.get(server, self.signed_target(
            "http://127.0.0.1:%d/pkg/full.zip" % server.port, ""))
        self.assertEqual(status, 404)

    def test_package_name_is_quoted_in_url(self):
        server = self.start(package=Fixture.odd)
        url = self.announce(server)["downloadUrl"]
        self.assertEqual(url, "http://127.0.0.1:%d/pkg/my%%20pack.zip" % server.port)
        status, _, body = self.get(server, self.signed_target(url, ""))
        self.assertEqual((status, body), (200, read_file(Fixture.odd)))

    def test_unknown_paths(self):
        server = self.start()
        t = int(time.time())
        query = "?sign=%s&t=%d" % (md5_sign(KEY, "", t), t)
        conn = http.client.HTTPConnection("127.0.0.1", server.port, timeout=TIMEOUT)
        self.addCleanup(conn.close)
        for target in ["/", "/quill/orv/downloads", "/quill/orv/download/x",
                       "/quill/orv", "/pkg/other.zip" + query, "/pkg/" + query,
                       "/pkg/full.zip/" + query, "/PKG/full.zip" + query]:
            with self.subTest(target=target):
                # One keep-alive connection: each 404 must be framed correctly.
                status, r, body = self.get(server, target, conn)
                self.assertEqual(status, 404)
                self.assertEqual(int(r.getheader("Content-Length")), len(body))
        self.assertEqual(self.records(server, 0), [])

    def test_download_records(self):
        record_file = os.path.join(Fixture.tmp.name, "download-records.jsonl")
        self.addCleanup(lambda: os.path.exists(record_file) and os.remove(record_file))
        server = self.start("--record-file", record_file)
        url = self.announce(server)["downloadUrl"]
        self.get(server, "/pkg/full.zip?sign=bad&t=1")
        target = self.signed_target(url, "")
        self.get(server, target)
        good = dict(urllib.parse.parse_qsl(target.split("?", 1)[1]))
        recs = self.records(server, 3)
        size = os.path.getsize(Fixture.small)
        self.assertEqual(recs[1:], [
            {"kind": "download", "path": "/pkg/full.zip", "sign": "bad", "t": "1",
             "sign_ok": False, "status": 403, "bytes_sent": 0, "scheme": "http",
             "substituted": False},
            {"kind": "download", "path": "/pkg/full.zip", "sign": good["sign"],
             "t": good["t"], "sign_ok": True, "status": 200, "bytes_sent": size,
             "scheme": "http", "substituted": False},
        ])
        with open(record_file, encoding="utf-8") as f:
            self.assertEqual([json.loads(line) for line in f], recs)


class SwitchTest(ServiceTestCase):
    def local_target(self, server):
        """Signed target for the default URL (it has a port, so P is empty)."""
        return self.signed_target(
            "http://127.0.0.1:%d/pkg/%s" % (server.port,
                                            os.path.basename(server.package)), "")

    def download(self, server):
        return raw_get(server.port, self.local_target(server))

    def test_fail_first_then_success(self):
        data = read_file(Fixture.small)
        size = len(data)
        for mode, status, sent in [("500", 500, 0), ("404", 404, 0),
                                   ("drop", 200, 0), ("drop", 200, 1000)]:
            with self.subTest(mode=mode, sent=sent):
                server = self.start("--fail-first", "2", "--fail-mode", mode,
                                    "--drop-after", str(sent))
                # A badly signed attempt does not use up a failure.
                self.assertEqual(self.get(server, "/pkg/full.zip?sign=x&t=1")[0], 403)
                for _ in range(2):
                    if mode == "drop":
                        # raw_get only returns once the server has closed.
                        got_status, headers, body = self.download(server)
                        self.assertEqual(got_status, 200)
                        self.assertEqual(int(headers["content-length"]), size)
                        self.assertEqual(body, data[:sent])
                    else:
                        got_status, _, body = self.get(server, self.local_target(server))
                        self.assertEqual(got_status, status)
                        self.assertNotEqual(body, data)
                got_status, _, body = self.get(server, self.local_target(server))
                self.assertEqual((got_status, body), (200, data))
                recs = self.records(server, 4, "download")
                self.assertEqual(
                    [(r["sign_ok"], r["status"], r["bytes_sent"]) for r in recs],
                    [(False, 403, 0), (True, status, sent), (True, status, sent),
                     (True, 200, size)])

    def test_framing_failures_then_whole(self):
        data = read_file(Fixture.small)
        for mode, status, has_length in [("206", 206, True), ("no_length", 200, False)]:
            with self.subTest(mode=mode):
                server = self.start("--fail-first", "1", "--fail-mode", mode)
                got_status, reply, body = self.get(server, self.local_target(server))
                self.assertEqual((got_status, reply.getheader("content-length") is not None,
                                  body), (status, has_length, data))
                got_status, reply, body = self.get(server, self.local_target(server))
                self.assertEqual((got_status, reply.getheader("content-length"), body),
                                 (200, str(len(data)), data))

    def test_drop_points_one_per_download_before_fail_first(self):
        data = read_file(Fixture.small)
        server = self.start("--drop-points", "0,1500,7", "--fail-first", "1",
                            "--fail-mode", "404")
        for sent in (0, 1500, 7):
            got_status, headers, body = self.download(server)
            self.assertEqual((got_status, int(headers["content-length"]), body),
                             (200, len(data), data[:sent]))
        self.assertEqual(self.get(server, self.local_target(server))[0], 404)
        self.assertEqual(self.get(server, self.local_target(server))[2], data)
        self.assertEqual([r["bytes_sent"] for r in self.records(server, 5, "download")],
                         [0, 1500, 7, 0, len(data)])

    def test_body_framing_switches(self):
        data = read_file(Fixture.small)
        size = len(data)
        # flags, status, Content-Length header, body the client sees
        cases = [
            (["--no-content-length"], 200, None, data),
            (["--extra-bytes", "777"], 200, size, data + b"X" * 777),
            (["--short-by", "1000"], 200, size, data[:-1000]),
            (["--short-by", str(size + 5)], 200, size, b""),
        ]
        for flags, status, length, body in cases:
            with self.subTest(flags=flags):
                server = self.start(*flags)
                got_status, headers, got = self.download(server)
                self.assertEqual(got_status, status)
                self.assertEqual(headers.get("content-type"), "application/zip")
                if length is None:
                    self.assertNotIn("content-length", headers)
                    self.assertEqual(headers.get("connection"), "close")
                else:
                    self.assertEqual(int(headers["content-length"]), length)
                self.assertEqual(got, body)
                recs = self.records(server, 1, "download")
                self.assertEqual(recs[0]["bytes_sent"], len(body))

    def test_status_206_covers_whole_file(self):
        server = self.start("--status-206")
        url = self.announce(server)["downloadUrl"]
        status, r, body = self.get(server, self.signed_target(url, ""))
        size = os.path.getsize(Fixture.small)
        self.assertEqual(status, 206)
        self.assertEqual(int(r.getheader("Content-Length")), size)
        self.assertEqual(r.getheader("Content-Range"), "bytes 0-%d/%d" % (size - 1, size))
        self.assertEqual(body, read_file(Fixture.small))

    def test_rate_still_delivers_everything(self):
        server = self.start("--rate", "4000000")
        url = self.announce(server)["downloadUrl"]
        status, r, body = self.get(server, self.signed_target(url, ""))
        self.assertEqual(status, 200)
        self.assertEqual(body, read_file(Fixture.small))

    def test_client_disconnect_mid_transfer(self):
        server = self.start("--rate", "200000", package=Fixture.big)
        url = self.announce(server)["downloadUrl"]
        with socket.create_connection(("127.0.0.1", server.port), timeout=TIMEOUT) as s:
            s.sendall(("GET %s HTTP/1.1\r\nHost: x\r\n\r\n"
                       % self.signed_target(url, "")).encode())
            self.assertTrue(s.recv(1024))
        rec = self.records(server, 1, "download")[0]
        self.assertEqual((rec["sign_ok"], rec["status"]), (True, 200))
        self.assertLess(rec["bytes_sent"], os.path.getsize(Fixture.big))
        # Still serving afterwards.
        self.assertEqual(self.announce(server)["downloadUrl"], url)


class ControlTest(ServiceTestCase):
    def control(self, server, query):
        status, _, body = self.get(server, "/_control?" + query)
        return status, json.loads(body) if status == 200 else body

    def test_switches_change_a_running_service(self):
        server = self.start()
        status, settings = self.control(
            server, "package=%s&fail_first=1&fail_mode=404&no_content_length=1"
            % urllib.parse.quote(Fixture.big))
        self.assertEqual(status, 200)
        self.assertEqual(settings["download_url"],
                         "http://127.0.0.1:%d/pkg/big.zip" % server.port)
        self.assertEqual(self.announce(server)["zipSize"], str(os.path.getsize(Fixture.big)))
        target = self.signed_target(settings["download_url"], "")
        self.assertEqual(self.get(server, target)[0], 404)
        status, headers, body = raw_get(server.port, target)
        self.assertEqual((status, "content-length" in headers), (200, False))
        self.assertEqual(body, read_file(Fixture.big))

    def test_answer_delay_holds_the_record_and_the_answer(self):
        server = self.start()
        self.assertEqual(self.control(server, "answer_delay_ms=2000")[0], 200)
        seen = {}

        def ask():
            seen["answer"] = self.announce(server)
        asker = threading.Thread(target=ask)
        asker.start()
        # While the answer is held nothing is recorded yet.
        time.sleep(0.2)
        self.assertEqual(json.loads(self.get(server, "/_records")[2]), [])
        asker.join(30)
        self.assertIn("downloadUrl", seen.get("answer", {}))
        self.assertEqual(len(self.records(server, 1, kind="request")), 1)

    def test_reset_restores_start_options_and_forgets_records(self):
        server = self.start("--zip-size", "7")
        self.announce(server)
        self.control(server, "zip_size=9&answer=ftp&sha256=none")
        answer = self.announce(server)
        self.assertTrue(answer["downloadUrl"].startswith("ftp://"))
        self.assertNotIn("sha256", answer)
        status, settings = self.control(server, "reset=1")
        self.assertEqual((settings["zip_size"], settings["answer"], settings["sha256"]),
                         ("7", None, "auto"))
        self.assertEqual(self.records(server, 0), [])
        answer = self.announce(server)
        self.assertEqual(answer["zipSize"], "7")
        self.assertIn("sha256", answer)

    def test_announced_content_length(self):
        server = self.start()
        data = read_file(Fixture.small)
        for announced, body in [(len(data) * 1000, data), (10, data[:10])]:
            with self.subTest(announced=announced):
                self.control(server, "content_length=%d" % announced)
                status, headers, got = raw_get(server.port, self.signed_target(
                    "http://127.0.0.1:%d/pkg/full.zip" % server.port, ""))
                self.assertEqual((status, int(headers["content-length"]), got),
                                 (200, announced, body))

    def test_bad_changes_are_refused_whole(self):
        server = self.start()
        for query in ["nonsense=1", "rate=fast", "status_206=yes", "fail_mode=418",
                      "answer=maybe", "drop_points=1,-2", "drop_points=x",
                      "package=/no/such.zip", "rate=5&package=/no/such.zip",
                      "substitute=/no/such.zip", "substitute_first=1",
                      "redirect_first=1", "redirect_request=1", "redirect_first=x",
                      "redirect_request=2",
                      "download_url=http://localhost:{plain_port}/pkg/full.zip",
                      "redirect_to=http://localhost:{plain_port}"]:
            with self.subTest(query=query):
                self.assertEqual(self.control(server, query)[0], 400)
        self.assertEqual(self.control(server, "")[1]["rate"], 0)


class TlsTest(ServiceTestCase):
    def target(self, server):
        """Signed target of the announced URL; that has a port, so P is empty."""
        return self.signed_target(self.announce(server)["downloadUrl"], "")

    def test_https_answer_and_download(self):
        server = self.start_tls()
        conn = connection(server.port, "https")
        self.addCleanup(conn.close)
        status, _, body = self.get(server, "/quill/orv/download?version=1", conn)
        answer = json.loads(body)
        self.assertEqual(answer["downloadUrl"],
                         "https://localhost:%d/pkg/full.zip" % server.port)
        self.assertEqual(answer["sha256"],
                         hashlib.sha256(read_file(Fixture.small)).hexdigest())
        # The same TLS connection carries the download.
        status, r, body = self.get(server, self.signed_target(answer["downloadUrl"], ""),
                                   conn)
        self.assertEqual((status, int(r.getheader("Content-Length")), body),
                         (200, os.path.getsize(Fixture.small), read_file(Fixture.small)))
        recs = self.records(server, 2)
        self.assertEqual([(r["kind"], r["scheme"], r["status"]) for r in recs],
                         [("request", "https", 200), ("download", "https", 200)])

    def test_tls_framing_switches_end_cleanly(self):
        data = read_file(Fixture.big)
        # (flags, body, whether the announced length frames it)
        for flags, body, framed in [(["--no-content-length"], data, True),
                                    (["--short-by", "100"], data[:-100], False),
                                    (["--rate", "20000000"], data, True)]:
            with self.subTest(flags=flags):
                server = self.start_tls(*flags, package=Fixture.big)
                conn = connection(server.port, "https")
                self.addCleanup(conn.close)
                conn.request("GET", self.target(server))
                r = conn.getresponse()
                self.assertEqual(r.status, 200)
                # The body ends at the server's close, not in a TLS error.
                try:
                    got = r.read()
                    self.assertTrue(framed, "no short read")
                except http.client.IncompleteRead as e:
                    self.assertFalse(framed, "short read")
                    got = e.partial
                self.assertEqual(len(got), len(body))
                self.assertEqual(got, body)

    def test_plain_port_shares_options_state_and_records(self):
        server = self.start_tls("--plain-port", "0")
        self.assertNotIn(server.plain_port, (None, server.port))
        plain = connection(server.plain_port)
        self.addCleanup(plain.close)
        # A change through the plain port shows on the TLS one.
        status, _, body = self.get(server, "/_control?zip_size=77&fail_first=1"
                                   "&fail_mode=404", plain)
        self.assertEqual(status, 200)
        self.assertEqual(self.announce(server)["zipSize"], "77")
        # One failure in all: it is used up on the plain port.
        target = self.target(server)
        self.assertEqual(self.get(server, target, plain)[0], 404)
        status, _, body = self.get(server, target)
        self.assertEqual((status, body), (200, read_file(Fixture.small)))
        status, _, body = self.get(server, target, plain)
        self.assertEqual((status, body), (200, read_file(Fixture.small)))
        # {plain_port} names the plain listener, {port} the main one.
        status, _, body = self.get(
            server, "/_control?download_url=" + urllib.parse.quote(
                "http://localhost:{plain_port}/pkg/full.zip?p={port}"))
        self.assertEqual(json.loads(body)["download_url"],
                         "http://localhost:%d/pkg/full.zip?p=%d"
                         % (server.plain_port, server.port))
        expected = [("request", "https"), ("request", "https"),
                    ("download", "http"), ("download", "https"), ("download", "http")]
        recs = self.records(server, len(expected))
        self.assertEqual([(r["kind"], r["scheme"]) for r in recs], expected)
        status, _, body = self.get(server, "/_records", plain)
        self.assertEqual(json.loads(body), recs)

    def test_refused_certificate_ends_only_that_connection(self):
        server = self.start_tls()

        def untrusting():
            c = TlsConnection(server.port, Fixture.stranger[0])
            c.request("GET", "/quill/orv/download")

        def other_name():
            c = TlsConnection(server.port, Fixture.cert, hostname="other.test")
            c.request("GET", "/quill/orv/download")

        def plain_http():
            c = connection(server.port)
            c.request("GET", "/quill/orv/download")
            c.getresponse()

        def silent():
            with socket.create_connection(("127.0.0.1", server.port), timeout=TIMEOUT) as s:
                s.sendall(b"\x16\x03\x01")  # the start of a record, then nothing
        cases = [("untrusted certificate", untrusting, ssl.SSLCertVerificationError),
                 ("wrong host name", other_name, ssl.SSLCertVerificationError),
                 ("plain http", plain_http, (http.client.HTTPException, OSError)),
                 ("gives up mid-handshake", silent, None)]
        for name, client, error in cases:
            with self.subTest(name=name):
                if error:
                    self.assertRaises(error, client)
                else:
                    client()
                self.assertEqual(self.announce(server)["zipSize"],
                                 str(os.path.getsize(Fixture.small)))
        self.assertEqual([r["scheme"] for r in self.records(server, 4)], ["https"] * 4)

    def test_served_certificate_is_the_given_one(self):
        server = self.start_tls(cert=Fixture.stranger)
        self.assertRaises(ssl.SSLCertVerificationError, self.announce, server)
        c = TlsConnection(server.port, Fixture.stranger[0])
        self.addCleanup(c.close)
        self.assertEqual(self.get(server, "/quill/orv/download", c)[0], 200)


class Sha256Test(ServiceTestCase):
    def test_member_auto_none_or_verbatim(self):
        real = hashlib.sha256(read_file(Fixture.small)).hexdigest()
        # (flags, sha256 member or None when left out)
        cases = [([], real), (["--sha256", "auto"], real), (["--sha256", ""], real),
                 (["--sha256", "none"], None),
                 (["--sha256", real.upper()], real.upper()),
                 (["--sha256", "0" * 63], "0" * 63),
                 (["--sha256", "not hex at all"], "not hex at all"),
                 (["--answer", "numbers"], real),
                 (["--answer", "numbers", "--sha256", "none"], None),
                 (["--answer", "numbers", "--sha256", "x"], "x")]
        for flags, member in cases:
            with self.subTest(flags=flags):
                answer = self.announce(self.start(*flags))
                self.assertEqual(answer.get("sha256"), member)
                self.assertEqual("sha256" in answer, member is not None)

    def test_auto_follows_the_package_and_control(self):
        path = os.path.join(Fixture.tmp.name, "changing.zip")
        shutil.copyfile(Fixture.small, path)
        self.addCleanup(os.remove, path)
        server = self.start(package=path)

        def member():
            return self.announce(server).get("sha256")

        def control(query):
            self.assertEqual(self.get(server, "/_control?" + query)[0], 200)

        self.assertEqual(member(), hashlib.sha256(read_file(path)).hexdigest())
        # The same size and a new mtime: a cached hash would be stale.
        data = bytearray(read_file(path))
        data[-1] ^= 0xFF
        with open(path, "wb") as f:
            f.write(data)
        st = os.stat(path)
        os.utime(path, ns=(st.st_atime_ns, st.st_mtime_ns + 10 ** 9))
        self.assertEqual(member(), hashlib.sha256(data).hexdigest())
        control("package=" + urllib.parse.quote(Fixture.big))
        self.assertEqual(member(), hashlib.sha256(read_file(Fixture.big)).hexdigest())
        control("sha256=deadbeef")
        self.assertEqual(member(), "deadbeef")
        control("sha256=none")
        self.assertIsNone(member())
        control("sha256=")
        self.assertEqual(member(), hashlib.sha256(read_file(Fixture.big)).hexdigest())


class SubstituteTest(ServiceTestCase):
    def test_first_downloads_get_the_substitute(self):
        substitute = os.path.join(Fixture.tmp.name, "substitute.bin")
        with open(substitute, "wb") as f:
            f.write(random.Random(3).randbytes(12345))
        self.addCleanup(os.remove, substitute)
        package, other = read_file(Fixture.small), read_file(substitute)
        # (flags at start, control query or None)
        starts = [(["--substitute", substitute, "--substitute-first", "2"], None),
                  ([], "substitute=%s&substitute_first=2" % urllib.parse.quote(substitute))]
        for flags, query in starts:
            with self.subTest(flags=flags, query=query):
                server = self.start("--fail-first", "1", *flags)
                if query:
                    self.assertEqual(self.get(server, "/_control?" + query)[0], 200)
                target = self.signed_target(self.announce(server)["downloadUrl"], "")
                # Neither a bad signature nor a 500 uses one up.
                self.assertEqual(self.get(server, "/pkg/full.zip?sign=x&t=1")[0], 403)
                self.assertEqual(self.get(server, target)[0], 500)
                for body in (other, other, package, package):
                    status, r, got = self.get(server, target)
                    self.assertEqual((status, int(r.getheader("Content-Length"))),
                                     (200, len(body)))
                    self.assertEqual(got, body)
                recs = self.records(server, 6, "download")
                self.assertEqual([(r["status"], r["substituted"]) for r in recs],
                                 [(403, False), (500, False), (200, True), (200, True),
                                  (200, False), (200, False)])
                self.assertEqual([r["bytes_sent"] for r in recs[2:]],
                                 [len(other), len(other), len(package), len(package)])


class RedirectTest(ServiceTestCase):
    def test_first_downloads_are_redirected(self):
        server = self.start_tls("--plain-port", "0", "--redirect-first", "2",
                                "--redirect-to", "http://localhost:{plain_port}/x")
        target = self.signed_target(self.announce(server)["downloadUrl"], "") + "&k=%2F"
        location = "http://localhost:%d/x%s" % (server.plain_port, target)
        conn = connection(server.port, "https")
        self.addCleanup(conn.close)
        for _ in range(2):
            # One keep-alive connection: an empty 302 must be framed.
            status, r, body = self.get(server, target, conn)
            self.assertEqual((status, r.getheader("Location"),
                              r.getheader("Content-Length"), body),
                             (302, location, "0", b""))
        status, _, body = self.get(server, target, conn)
        self.assertEqual((status, body), (200, read_file(Fixture.small)))
        plain = connection(server.plain_port)
        self.addCleanup(plain.close)
        status, _, body = self.get(server, target, plain)
        self.assertEqual((status, body), (200, read_file(Fixture.small)))
        recs = self.records(server, 4, "download")
        self.assertEqual([(r["scheme"], r["status"], r["sign_ok"], r["bytes_sent"])
                          for r in recs],
                         [("https", 302, True, 0), ("https", 302, True, 0),
                          ("https", 200, True, len(body)), ("http", 200, True, len(body))])

    def test_redirects_come_before_failures(self):
        server = self.start("--redirect-first", "1", "--redirect-to", "http://a.test",
                            "--fail-first", "1", "--fail-mode", "404")
        target = self.signed_target(self.announce(server)["downloadUrl"], "")
        self.assertEqual([self.get(server, target)[0] for _ in range(3)], [302, 404, 200])
        self.assertEqual(self.get(server, "/pkg/full.zip?sign=x&t=1")[0], 403)

    def test_package_request_is_redirected(self):
        server = self.start_tls("--plain-port", "0", "--redirect-request",
                                "--redirect-to", "http://localhost:{plain_port}")
        query = "/quill/orv/download?version=1.0.0.1&platform=Windows7"
        status, r, body = self.get(server, query)
        self.assertEqual((status, r.getheader("Location"), r.getheader("Content-Length"),
                          body),
                         (302, "http://localhost:%d%s" % (server.plain_port, query), "0",
                          b""))
        # The listener the redirect names answers, or requests would loop.
        plain = connection(server.plain_port)
        self.addCleanup(plain.close)
        status, _, body = self.get(server, query, plain)
        self.assertEqual(status, 200)
        self.assertEqual(json.loads(body)["downloadUrl"],
                         "https://localhost:%d/pkg/full.zip" % server.port)
        self.get(server, "/_control?redirect_request=0", plain)
        self.assertEqual(self.get(server, query)[0], 200)
        recs = self.records(server, 3, "request")
        self.assertEqual([(r["scheme"], r["status"], r["version"]) for r in recs],
                         [("https", 302, "1.0.0.1"), ("http", 200, "1.0.0.1"),
                          ("https", 200, "1.0.0.1")])


class ProcessTest(unittest.TestCase):
    def wait_port(self, proc, path):
        deadline = time.monotonic() + TIMEOUT
        while not os.path.exists(path):
            if proc.poll() is not None:
                self.fail("exited early: %r" % proc.stderr.read())
            self.assertLess(time.monotonic(), deadline, "no port file %s" % path)
            time.sleep(0.02)
        with open(path) as f:
            return int(f.read())

    def test_runs_as_process_and_stops_on_signal(self):
        # (name, signal, with TLS and a plain port)
        cases = [("plain", signal.SIGTERM, False), ("plain", signal.SIGINT, False),
                 ("tls", signal.SIGTERM, True), ("tls", signal.SIGINT, True)]
        for name, sig, tls in cases:
            with self.subTest(name=name, signal=sig.name), \
                    tempfile.TemporaryDirectory() as d:
                port_file = os.path.join(d, "port")
                plain_file = os.path.join(d, "plain-port")
                record_file = os.path.join(d, "records.jsonl")
                extra = ["--tls", Fixture.cert, Fixture.key, "--plain-port", "0",
                         "--plain-port-file", plain_file] if tls else []
                proc = subprocess.Popen(
                    [sys.executable, SCRIPT, "--package", Fixture.small, "--port", "0",
                     "--port-file", port_file, "--record-file", record_file] + extra,
                    stdout=subprocess.PIPE, stderr=subprocess.PIPE)
                try:
                    port = self.wait_port(proc, port_file)
                    scheme = "https" if tls else "http"
                    url = "%s://%s:%d/pkg/full.zip" % (
                        scheme, "localhost" if tls else "127.0.0.1", port)
                    lines = ["listening on %s" % url.rsplit("/pkg/", 1)[0]]
                    if tls:
                        lines.append("listening on http://127.0.0.1:%d"
                                     % self.wait_port(proc, plain_file))
                    for line in lines:
                        self.assertEqual(proc.stdout.readline().decode(), line + "\n")
                    c = connection(port, scheme)
                    c.request("GET", "/quill/orv/download?version=9&platform=Windows7")
                    answer = json.loads(c.getresponse().read())
                    c.close()
                    self.assertEqual(answer["downloadUrl"], url)
                    if tls:
                        # Refused quietly: nothing on stderr.
                        self.assertRaises(ssl.SSLCertVerificationError,
                                          TlsConnection(port, Fixture.stranger[0]).connect)
                    proc.send_signal(sig)
                    out, err = proc.communicate(timeout=TIMEOUT)
                finally:
                    if proc.poll() is None:
                        proc.kill()
                        proc.communicate()
                self.assertEqual(proc.returncode, 0, err)
                self.assertEqual((out, err), (b"", b""))
                with open(record_file, encoding="utf-8") as f:
                    self.assertEqual(json.loads(f.readline()),
                                     {"kind": "request", "version": "9",
                                      "mac_address": None, "platform": "Windows7",
                                      "scheme": scheme, "status": 200})

    def test_missing_package_fails(self):
        proc = subprocess.run(
            [sys.executable, SCRIPT, "--package",
             os.path.join(Fixture.tmp.name, "nope.zip"), "--port", "0"],
            capture_output=True, timeout=TIMEOUT)
        self.assertNotEqual(proc.returncode, 0)
        self.assertEqual(proc.stdout, b"")
        self.assertIn(b"nope.zip", proc.stderr)


if __name__ == "__main__":
    unittest.main()
