#!/usr/bin/env python3
"""Builds a sample game package for the demo and the end-to-end tests:
    make_demo_package.py LAUNCHER_EXE OUTPUT_ZIP [MEGABYTES]

The package holds the launcher stand-in (orvlauncher.exe) at its top level
and a few folders of sample game data, about MEGABYTES in all (default 4),
deflated, with one stored entry and a Chinese file name.
"""
import os
import random
import sys
import zipfile


def main(launcher, out, megabytes=4):
    rng = random.Random(2026)
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    tmp = out + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as zf:
        zf.write(launcher, "orvlauncher.exe")
        zf.writestr("readme.txt", "Velmora sample package\r\n")
        zf.writestr("config/settings.ini", "[game]\r\nlanguage=auto\r\n")
        zf.writestr("data/\u5730\u56fe/map01.dat", rng.randbytes(64 * 1024))
        zf.writestr(zipfile.ZipInfo("data/sounds/"), b"")
        info = zipfile.ZipInfo("data/music/theme.ogg", (2026, 1, 1, 12, 0, 0))
        info.compress_type = zipfile.ZIP_STORED
        zf.writestr(info, rng.randbytes(256 * 1024))
        remaining = max(megabytes * 1024 * 1024 - 400 * 1024, 0)
        index = 0
        while remaining > 0:
            size = min(remaining, 512 * 1024)
            # Half random, half repeated: realistic compression.
            body = rng.randbytes(size // 2) + bytes(size - size // 2)
            zf.writestr("data/assets/pack%02d.bin" % index, body)
            remaining -= size
            index += 1
    os.replace(tmp, out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]) if len(sys.argv) > 3 else 4)
