#!/usr/bin/env python3
"""Benchmarks of the installer's transfer, unpacking, size and memory.

    run_bench.py BUILD_DIR [--rounds N] [--only NAME,...]

Every figure is a ratio against a reference measured side by side in the
same run; each is the median of several rounds, the two sides alternating
which goes first. The reference server is nginx on 127.0.0.1, started and
stopped here. Prints a table and writes bench/RESULTS.md.
"""

import argparse
import datetime
import hashlib
import os
import random
import shutil
import socket
import subprocess
import tempfile
import time
import zipfile

import installer_bench
from bench_common import GiB, MiB, archive_stats, clear, drop_dirty_pages, log, median

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
WINE_RUN = os.path.join(ROOT, "cmake", "wine-run.sh")

LINK_RATE = 125_000_000  # gigabit, in bytes per second (nginx limit_rate)
ARCHIVE_VERSION = "1"    # bump when the archive recipe changes


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def parse_fields(text):
    fields = {}
    for line in text.splitlines():
        for item in line.split():
            if "=" in item:
                key, value = item.split("=", 1)
                fields[key] = value
    return fields


def run_wine(exe, *args):
    result = subprocess.run([WINE_RUN, exe, *args], capture_output=True, text=True,
                            timeout=600)
    fields = parse_fields(result.stdout)
    if result.returncode != 0 or fields.get("ok") != "1":
        raise RuntimeError(f"{os.path.basename(exe)} {' '.join(args)} failed "
                           f"(exit {result.returncode}): {result.stdout} {result.stderr}")
    return fields


def tests_running():
    result = subprocess.run(["pgrep", "-f", "ctest"], capture_output=True, text=True)
    return [p for p in result.stdout.split() if p and int(p) != os.getpid()]


class Quiet:
    """Waits for the test suite (ctest) to finish before a measurement."""

    def __init__(self, max_wait):
        self.max_wait = max_wait
        self.disturbed = []

    def wait(self, name):
        deadline = time.monotonic() + self.max_wait
        announced = False
        while tests_running():
            if time.monotonic() > deadline:
                log(f"ctest still running; measuring {name} anyway")
                self.disturbed.append(name)
                return
            if not announced:
                log(f"waiting for ctest to finish before {name}")
                announced = True
            time.sleep(5)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Nginx:
    """nginx serving |root| on two loopback ports: plain and rate-limited."""

    def __init__(self, root):
        self.dir = tempfile.mkdtemp(prefix="orv-bench-nginx-")
        self.port = free_port()
        self.limited_port = free_port()
        temps = "\n".join(f"  {kind}_temp_path {self.dir}/{kind};"
                          for kind in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
        config = f"""worker_processes 1;
daemon off;
pid {self.dir}/nginx.pid;
error_log {self.dir}/error.log warn;
events {{ worker_connections 64; }}
http {{
  access_log off;
  sendfile on;
  default_type application/octet-stream;
{temps}
  server {{
    listen 127.0.0.1:{self.port};
    location / {{ root {root}; }}
  }}
  server {{
    listen 127.0.0.1:{self.limited_port};
    location / {{ root {root}; limit_rate {LINK_RATE}; }}
  }}
}}
"""
        self.config = os.path.join(self.dir, "nginx.conf")
        with open(self.config, "w") as f:
            f.write(config)
        nginx = shutil.which("nginx") or "/usr/sbin/nginx"
        self.process = subprocess.Popen(
            [nginx, "-e", os.path.join(self.dir, "error.log"), "-p", self.dir,
             "-c", self.config])
        for _ in range(100):
            try:
                for port in (self.port, self.limited_port):
                    socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return
            except OSError:
                if self.process.poll() is not None:
                    break
                time.sleep(0.05)
        self.stop()
        raise RuntimeError("nginx did not start")

    def url(self, name, limited=False):
        port = self.limited_port if limited else self.port
        return f"http://127.0.0.1:{port}/{name}"

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


def curl_rate(url):
    out = subprocess.run(["curl", "-s", "-o", "/dev/null", "-w", "%{speed_download}", url],
                         capture_output=True, text=True, check=True).stdout
    return float(out.replace(",", "."))


def make_sparse(path, size):
    if os.path.exists(path) and os.path.getsize(path) == size:
        return
    with open(path, "wb") as f:
        f.truncate(size)


def make_archive(path):
    """~400 MB in ~3000 files of mixed sizes, half random bytes, deflate 6."""
    stamp = path + ".version"
    if os.path.exists(path) and os.path.exists(stamp) and \
            open(stamp).read() == ARCHIVE_VERSION:
        return
    log("building the unpack archive (once)")
    rnd = random.Random(20261210)
    words = [bytes(rnd.choice(b"abcdefghijklmnopqrstuvwxyz") for _ in range(rnd.randint(2, 9)))
             for _ in range(400)]
    text = b" ".join(rnd.choice(words) for _ in range(300_000))  # ~1.8 MB pool
    block = 16 * 1024

    def content(size):
        parts, made, use_random = [], 0, rnd.random() < 0.5
        while made < size:
            n = min(block, size - made)
            if use_random:
                parts.append(rnd.randbytes(n))
            else:
                at = rnd.randrange(0, len(text) - n)
                parts.append(text[at:at + n])
            use_random = not use_random
            made += n
        return b"".join(parts)

    sizes = ([rnd.randint(1024, 32 * 1024) for _ in range(2400)] +
             [rnd.randint(32 * 1024, 768 * 1024) for _ in range(560)] +
             [rnd.randint(1 * MiB, 6 * MiB) for _ in range(40)])
    rnd.shuffle(sizes)
    partial = path + ".partial"
    with zipfile.ZipFile(partial, "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i, size in enumerate(sizes):
            z.writestr(f"game/dir{i % 30:02d}/file{i:04d}.dat", content(size))
    os.replace(partial, path)
    with open(stamp, "w") as f:
        f.write(ARCHIVE_VERSION)


def make_small_package(path):
    if not os.path.exists(path):
        with zipfile.ZipFile(path, "w") as z:
            z.writestr("readme.txt", "start-up benchmark\r\n")


def fmt_rate(bytes_per_second):
    return f"{bytes_per_second / 1e6:.1f} MB/s"


class Results:
    def __init__(self):
        self.rows = []     # name, ours, reference, ratio, goal, met
        self.details = []  # markdown lines

    def add(self, name, ours, reference, ratio, goal_text, met):
        """|met| None: a figure for context, not judged against the goal."""
        verdict = "context" if met is None else "met" if met else "MISSED"
        self.rows.append((name, ours, reference, f"{ratio:.3f}", goal_text, verdict))


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def fetch_rate(args, url, target, size, sha256=None):
    """One URLFetcher transfer: (bytes per second, its fields)."""
    f = run_wine(args.fetch, url, wine_path(target), *([sha256] if sha256 else []))
    if int(f["bytes"]) != size or f["ok"] != "1":
        raise RuntimeError(f"incomplete or unverified download: {f}")
    return int(f["bytes"]) / float(f["seconds"]), f


def bench_link(args, server, data, work, quiet, results, memory):
    name = "big.bin"
    quiet.wait("download, link-bound")
    log("download, link-bound")
    digest = sha256_of(os.path.join(data, name))
    ours, hashed, curl = [], [], []
    target = os.path.join(work, "link.bin")
    for r in range(args.rounds):
        steps = ["ours", "hashed", "curl"] if r % 2 == 0 else ["curl", "hashed", "ours"]
        for step in steps:
            drop_dirty_pages()
            if step == "ours":
                rate, f = fetch_rate(args, server.url(name, limited=True), target, args.big)
                ours.append(rate)
                memory.setdefault("big", []).append(int(f["peak_private"]))
            elif step == "hashed":
                rate, f = fetch_rate(args, server.url(name, limited=True), target, args.big,
                                     digest)
                hashed.append(rate)
                memory.setdefault("big_hashed", []).append(int(f["peak_private"]))
            else:
                curl.append(curl_rate(server.url(name, limited=True)))
            if os.path.exists(target):
                os.remove(target)
    ratio = median(ours) / LINK_RATE
    results.add(f"download, link-bound ({args.big // MiB} MiB at 125 MB/s)",
                fmt_rate(median(ours)), f"link {fmt_rate(LINK_RATE)}", ratio, ">= 0.90",
                ratio >= 0.9)
    ratio = median(hashed) / LINK_RATE
    results.add(f"download, link-bound, SHA-256 verified ({args.big // MiB} MiB at 125 MB/s)",
                fmt_rate(median(hashed)), f"link {fmt_rate(LINK_RATE)}", ratio, ">= 0.93",
                ratio >= 0.93)
    results.details.append(
        f"- Download, link-bound: nginx `limit_rate {LINK_RATE}` (bytes/s). "
        f"URLFetcher rounds: {', '.join(fmt_rate(v) for v in ours)}; "
        f"verified against the file's SHA-256: {', '.join(fmt_rate(v) for v in hashed)} "
        f"(peak private bytes {', '.join(str(v) for v in memory['big_hashed'])} against "
        f"{', '.join(str(v) for v in memory['big'])} unverified); "
        f"curl through the same location (context): {', '.join(fmt_rate(v) for v in curl)}.")


def bench_platform(args, server, data, work, quiet, results, memory):
    name = "platform.bin"
    quiet.wait("download, platform-bound")
    log("download, platform-bound")
    digest = sha256_of(os.path.join(data, name))
    ours, hashed, bare, curl = [], [], [], []
    target_ours = os.path.join(work, "ours.bin")
    target_bare = os.path.join(work, "bare.bin")
    for r in range(args.rounds):
        steps = (["ours", "hashed", "bare", "curl"] if r % 2 == 0
                 else ["bare", "hashed", "ours", "curl"])
        for step in steps:
            drop_dirty_pages()
            if step == "ours":
                ours.append(fetch_rate(args, server.url(name), target_ours, args.platform)[0])
            elif step == "hashed":
                hashed.append(fetch_rate(args, server.url(name), target_ours, args.platform,
                                         digest)[0])
            elif step == "bare":
                f = run_wine(args.wininet, server.url(name), wine_path(target_bare))
                if int(f["bytes"]) != args.platform:
                    raise RuntimeError(f"incomplete download: {f}")
                bare.append(int(f["bytes"]) / float(f["seconds"]))
            else:
                curl.append(curl_rate(server.url(name)))
        for t in (target_ours, target_bare):
            if os.path.exists(t):
                os.remove(t)
    ratio = median(ours) / median(bare)
    results.add(f"download, platform-bound ({args.platform // MiB} MiB)",
                fmt_rate(median(ours)), f"WinINet 64K loop {fmt_rate(median(bare))}",
                ratio, ">= 0.95", ratio >= 0.95)
    results.add(f"download, platform-bound, SHA-256 verified ({args.platform // MiB} MiB)",
                fmt_rate(median(hashed)), f"unverified {fmt_rate(median(ours))}",
                median(hashed) / median(ours), "(context)", None)
    results.details.append(
        f"- Download, platform-bound, verified against the file's SHA-256 (CNG under "
        f"Wine): {', '.join(fmt_rate(v) for v in hashed)}.")
    results.details.append(
        f"- Download, platform-bound ({args.platform // MiB} MiB, no rate limit). "
        f"URLFetcher: {', '.join(fmt_rate(v) for v in ours)}; bare WinINet loop, 64 KiB "
        f"reads: {', '.join(fmt_rate(v) for v in bare)}; curl (native, context only, "
        f"median {fmt_rate(median(curl))}): {', '.join(fmt_rate(v) for v in curl)}.")


def bench_unzip(args, data, work, quiet, results):
    archive = os.path.join(data, "unpack.zip")
    make_archive(archive)
    files, size, packed = archive_stats(archive)
    subprocess.run(["cat", archive], stdout=subprocess.DEVNULL, check=True)  # warm cache
    quiet.wait("unpack")
    log("unpack")
    ours, info, release = [], [], []
    # The default build is Debug; a Release build's ExtractZip, when there is
    # one, runs in the same rounds.
    release_exe = os.path.join(args.release_build or "", "bench", "bench_unzip.exe")
    has_release = bool(args.release_build) and os.path.exists(release_exe)
    folder_ours = os.path.join(work, "unzip_ours")
    folder_info = os.path.join(work, "unzip_infozip")
    for r in range(args.rounds):
        steps = ["ours", "info"] + (["release"] if has_release else [])
        if r % 2:
            steps.reverse()
        for step in steps:
            clear(folder_ours)
            clear(folder_info)
            drop_dirty_pages()
            if step == "ours":
                f = run_wine(args.unzip, wine_path(archive), wine_path(folder_ours))
                ours.append(size / float(f["seconds"]))
            elif step == "release":
                f = run_wine(release_exe, wine_path(archive), wine_path(folder_ours))
                release.append(size / float(f["seconds"]))
            else:
                start = time.perf_counter()
                subprocess.run(["unzip", "-o", "-q", archive, "-d", folder_info], check=True)
                info.append(size / (time.perf_counter() - start))
    clear(folder_ours)
    clear(folder_info)
    ratio = median(ours) / median(info)
    results.add(f"unpack ({files} files, {size / 1e6:.0f} MB)", fmt_rate(median(ours)),
                f"unzip {fmt_rate(median(info))}", ratio, ">= 0.80", ratio >= 0.8)
    if release:
        ratio_release = median(release) / median(info)
        results.add("unpack, Release build", fmt_rate(median(release)),
                    f"unzip {fmt_rate(median(info))}", ratio_release, ">= 0.80",
                    ratio_release >= 0.8)
        results.details.append(
            f"- Unpack, ExtractZip of the Release build ({os.path.relpath(release_exe, ROOT)}):"
            f" {', '.join(fmt_rate(v) for v in release)}.")
    results.details.append(
        f"- Unpack: {files} files, {size / 1e6:.1f} MB unpacked, {packed / 1e6:.1f} MB "
        f"archive (deflate level 6, half random bytes). Throughput = unpacked bytes / "
        f"time. ExtractZip (timed inside the program, Wine start excluded): "
        f"{', '.join(fmt_rate(v) for v in ours)}; Info-ZIP `unzip -o -q` (wall time of "
        f"the process): {', '.join(fmt_rate(v) for v in info)}.")


def bench_memory(args, server, work, quiet, results, memory):
    quiet.wait("memory")
    log("memory")
    small = []
    target = os.path.join(work, "small.bin")
    for _ in range(args.rounds):
        f = run_wine(args.fetch, server.url("small.bin"), wine_path(target))
        small.append(int(f["peak_private"]))
    big = memory.get("big", [])
    if not big:
        return
    growth = median(big) - median(small)
    results.add(f"memory, peak private {args.big // MiB} MiB vs 10 MB",
                f"{growth / MiB:+.2f} MiB",
                f"limit 16 MiB", growth / (16 * MiB), "<= 1.0 (growth < 16 MiB)",
                growth < 16 * MiB)
    results.details.append(
        f"- Memory: PeakPagefileUsage (GetProcessMemoryInfo, Wine's peak private "
        f"figure) of bench_fetch at exit. 10 MB: "
        f"{', '.join(f'{v / MiB:.1f}' for v in small)} MiB; large downloads (the "
        f"{args.big // MiB} MiB rounds above): "
        f"{', '.join(f'{v / MiB:.1f}' for v in big)} MiB.")


def bench_size(args, results):
    limit = 2.5 * MiB
    for label, build in (("", args.build), (" (Release)", args.release_build)):
        exe = os.path.join(build, "VelmoraInstaller.exe") if build else None
        if not exe or not os.path.exists(exe):
            continue
        build_type = "?"
        cache = os.path.join(build, "CMakeCache.txt")
        if os.path.exists(cache):
            for line in open(cache):
                if line.startswith("CMAKE_BUILD_TYPE:"):
                    build_type = line.split("=", 1)[1].strip()
        with tempfile.TemporaryDirectory() as tmp:
            stripped = os.path.join(tmp, "x.exe")
            subprocess.run(["x86_64-w64-mingw32-strip", "-o", stripped, exe], check=True)
            size = os.path.getsize(stripped)
        # The goal is for what ships, the Release build; a Debug figure is context.
        judged = build_type == "Release"
        results.add(f"size, stripped installer ({build_type})", f"{size / MiB:.2f} MiB",
                    "limit 2.50 MiB", size / limit, "<= 1.0" if judged else "Release only",
                    size <= limit if judged else None)
        results.details.append(
            f"- Size ({build_type}, {os.path.relpath(exe, ROOT)}): {size} bytes after "
            f"x86_64-w64-mingw32-strip.")


def machine_info():
    model = "?"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    nginx = subprocess.run(["nginx", "-v"], capture_output=True, text=True).stderr.strip()
    unzip = subprocess.run(["unzip", "-v"], capture_output=True, text=True).stdout
    unzip = unzip.splitlines()[0].rstrip(".") if unzip else "?"
    return {"nproc": os.cpu_count(), "cpu": model, "wine": wine, "nginx": nginx,
            "unzip": unzip}


def table(rows):
    header = ("benchmark", "ours", "reference", "ratio", "goal", "")
    widths = [max(len(str(r[i])) for r in [header] + rows) for i in range(len(header))]
    line = lambda r: "  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip()
    return "\n".join([line(header), line(["-" * w for w in widths])] + [line(r) for r in rows])


def markdown_table(rows):
    out = ["| benchmark | ours | reference | ratio | goal | |", "|---|---|---|---|---|---|"]
    out += ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]
    return "\n".join(out)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--quick-rounds", type=int, default=5,
                        help="rounds of the short benchmarks (unpack, memory)")
    parser.add_argument("--big", type=int, default=GiB, help="link-bound file size")
    parser.add_argument("--platform", type=int, default=GiB,
                        help="platform-bound file size")
    parser.add_argument("--only",
                        default="link,platform,unzip,whole,size,memory,start,installer_memory")
    parser.add_argument("--memory-rounds", type=int, default=3,
                        help="installations per package size for the installer's memory")
    parser.add_argument("--release-build", default=None,
                        help="also report the size of this (Release) build")
    parser.add_argument("--max-wait", type=int, default=1800,
                        help="seconds to wait for a running ctest")
    parser.add_argument("--data", default=None,
                        help="folder of the served files and the archive")
    parser.add_argument("--results", default=os.path.join(HERE, "RESULTS.md"))
    args = parser.parse_args()
    args.build = os.path.abspath(args.build)
    if args.release_build is None:
        args.release_build = os.path.join(ROOT, "build-release")
    args.fetch = os.path.join(args.build, "bench", "bench_fetch.exe")
    args.wininet = os.path.join(args.build, "bench", "bench_wininet.exe")
    args.unzip = os.path.join(args.build, "bench", "bench_unzip.exe")
    only = set(args.only.split(","))
    # One prefix for every program, also those of another build folder.
    os.environ.setdefault("ORV_WINEPREFIX", os.path.join(args.build, "wineprefix"))

    data = args.data or os.path.join(args.build, "bench", "data")
    os.makedirs(data, exist_ok=True)
    args.data_dir = data
    work = tempfile.mkdtemp(prefix="work-", dir=os.path.join(args.build, "bench"))
    quiet = Quiet(args.max_wait)
    results = Results()
    memory = {}
    long_rounds = args.rounds
    started = time.time()
    server = None
    try:
        make_sparse(os.path.join(data, "big.bin"), args.big)
        make_sparse(os.path.join(data, "platform.bin"), args.platform)
        make_sparse(os.path.join(data, "small.bin"), 10 * 1000 * 1000)
        server = Nginx(data)
        if "link" in only:
            bench_link(args, server, data, work, quiet, results, memory)
        if "platform" in only:
            bench_platform(args, server, data, work, quiet, results, memory)
        if "whole" in only:
            archive = os.path.join(data, "unpack.zip")
            make_archive(archive)
            installer_bench.bench_whole(args, server, archive, work, quiet, results)
        if "installer_memory" in only:
            installer_bench.bench_memory(args, server, work, quiet, results)
        args.rounds = args.quick_rounds
        if "memory" in only:
            bench_memory(args, server, work, quiet, results, memory)
        server.stop()
        server = None
        if "unzip" in only:
            bench_unzip(args, data, work, quiet, results)
        if "size" in only:
            bench_size(args, results)
        if "start" in only:
            make_small_package(os.path.join(data, "small.zip"))
            installer_bench.bench_start(args, work, quiet, results)
    finally:
        if server:
            server.stop()
        shutil.rmtree(work, ignore_errors=True)

    info = machine_info()
    text = table(results.rows)
    print(text)
    when = datetime.datetime.now(datetime.timezone.utc).strftime("%Y-%m-%d %H:%M UTC")
    lines = [
        "# Benchmark results",
        "",
        f"Written by `make bench` (bench/run_bench.py) on {when}, "
        f"{time.time() - started:.0f} s.",
        "",
        f"Machine: {info['nproc']} CPUs, {info['cpu']}; {info['wine']}; {info['nginx']}; "
        f"{info['unzip']}.",
        "",
        f"Rounds: {long_rounds} for the downloads and the whole installation, "
        f"{args.quick_rounds} for unpack and the fetcher's memory, {args.memory_rounds} "
        f"installations per package size for the installer's memory, 10 start-ups; "
        f"every figure is the median, the two sides of a ratio measured "
        f"alternately in the same run. Servers on 127.0.0.1 only (nginx, "
        f"`access_log off`, `sendfile on`, sparse files).",
        "",
        markdown_table(results.rows),
        "",
        "## Rounds",
        "",
    ] + results.details
    if quiet.disturbed:
        lines += ["", f"Measured while ctest was running (figures disturbed): "
                      f"{', '.join(quiet.disturbed)}."]
    with open(args.results, "w") as f:
        f.write("\n".join(lines) + "\n")
    log(f"wrote {args.results}")


if __name__ == "__main__":
    main()
