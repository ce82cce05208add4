#!/usr/bin/env python3
"""Files the transfer tests download: python3 make_net_fixtures.py OUT

Named by size so a test can tell what it expects; the bytes follow a
pattern that shows any misplaced chunk. Each file has its SHA-256 beside
it, in lower-case hex, as NAME.sha256.
"""
import hashlib
import os
import sys

SIZES = {
    "small.bin": 100_000,            # below one progress step
    "step.bin": 204_800,             # exactly one progress step
    "multiple.bin": 262144 * 2,      # a multiple of the read size
    "large.bin": 3 * 1024 * 1024 + 17,
    "body.txt": None,                # a short text body
    "zero_inside.txt": None,         # a text with a zero byte in it
    "over_cap.txt": None,            # longer than the memory cap
}


def pattern(size):
    block = bytes((i * 7 + i // 251) & 0xFF for i in range(65536))
    data = block * (size // len(block) + 1)
    return data[:size]


def main(out):
    os.makedirs(out, exist_ok=True)
    for name, size in SIZES.items():
        if size is not None:
            data = pattern(size)
        elif name == "body.txt":
            data = b'{"downloadUrl": "http://127.0.0.1/pkg.zip"}'
        elif name == "zero_inside.txt":
            data = b"before\x00after"
        else:
            data = b"x" * (1024 * 1024 + 1)
        path = os.path.join(out, name)
        with open(path + ".tmp", "wb") as f:
            f.write(data)
        os.replace(path + ".tmp", path)
        with open(path + ".sha256", "w") as f:
            f.write(hashlib.sha256(data).hexdigest())


if __name__ == "__main__":
    main(sys.argv[1])
