#!/usr/bin/env python3
"""Builds the archives the unpacking tests read: python3 make_zip_fixtures.py OUT

OUT/tree is the reference content; each archive under OUT unpacks to it (or is
broken on purpose). Info-ZIP's zip must be on PATH.
"""
import os
import random
import shutil
import subprocess
import sys
import zipfile

GAP_BYTES = (4 << 30) + (512 << 20)  # pushes the last entry past 4 GiB


def make_tree(tree):
    files = {
        "readme.txt": b"Velmora\r\n",
        "zero.bin": b"",
        "stored.txt": b"kept without compression " * 40,
        "data/a/b/c/deep.txt": b"deep\n" * 100,
        "data/\u4e2d\u6587\u76ee\u5f55/\u8bf4\u660e.txt": "\u6e38\u620f\n".encode("utf-8"),
    }
    rng = random.Random(7)
    # Over 8 MiB, partly compressible, so inflate runs many chunks.
    big = bytearray()
    while len(big) < 9 * 1024 * 1024 + 123:
        big += rng.randbytes(4096) + bytes(4096)
    files["data/big.bin"] = bytes(big)
    for name, body in files.items():
        path = os.path.join(tree, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(body)
    os.makedirs(os.path.join(tree, "empty", "inner"), exist_ok=True)
    # Fixed, even-second times so unpacked times can be compared.
    for root, dirs, names in os.walk(tree):
        for n in names:
            os.utime(os.path.join(root, n), (1600000000, 1600000000))


MANY_ENTRIES = 800
PADDING_FIELD = 0x6450  # an extra field readers skip


def many_entries(out):
    # Many small entries spread over a few nested folders, in an order that
    # hops between folders, with a larger incompressible entry now and then;
    # a padding extra field makes the central directory larger than 256 KiB.
    tree = os.path.join(out, "many_tree")
    rng = random.Random(11)
    padding = PADDING_FIELD.to_bytes(2, "little") + (340).to_bytes(2, "little") + bytes(340)
    with zipfile.ZipFile(os.path.join(out, "many.zip"), "w") as zf:
        for i in range(MANY_ENTRIES):
            name = f"many/f{i % 40:02d}/s{i % 3}/entry_{i:04d}.txt"
            if i % 100 == 50:
                body = rng.randbytes(300 * 1024 + i)
            else:
                body = (f"entry {i}\n" * (1 + i % 37)).encode()
            info = zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0))
            info.extra = padding
            kind = zipfile.ZIP_STORED if i % 5 == 0 else zipfile.ZIP_DEFLATED
            zf.writestr(info, body, compress_type=kind)
            path = os.path.join(tree, *name.split("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(body)


def zip_with_python(tree, out, force_zip64=False):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zf:
        for root, dirs, names in sorted(os.walk(tree)):
            rel_root = os.path.relpath(root, tree)
            if rel_root != "." and not names and not dirs:  # empty leaf folders
                zf.write(root, rel_root.replace(os.sep, "/") + "/")
            for n in sorted(names):
                path = os.path.join(root, n)
                arc = os.path.relpath(path, tree).replace(os.sep, "/")
                kind = zipfile.ZIP_STORED if n == "stored.txt" else zipfile.ZIP_DEFLATED
                info = zipfile.ZipInfo.from_file(path, arc)
                info.compress_type = kind
                with open(path, "rb") as src, zf.open(info, "w", force_zip64=force_zip64) as dst:
                    shutil.copyfileobj(src, dst)


def write_entries(out, entries):
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zf:
        for name, body in entries:
            zf.writestr(zipfile.ZipInfo(name, (2020, 1, 1, 0, 0, 0)), body)


def flip_byte_in_entry(src, out, name):
    with zipfile.ZipFile(src) as zf:
        info = zf.getinfo(name)
    data = bytearray(open(src, "rb").read())
    off = info.header_offset
    name_len = int.from_bytes(data[off + 26:off + 28], "little")
    extra_len = int.from_bytes(data[off + 28:off + 30], "little")
    data[off + 30 + name_len + extra_len + info.compress_size // 2] ^= 0x55
    open(out, "wb").write(data)


def oem_named(out):
    # No UTF-8 flag: the name is in the OEM code page (437 here: 0x9A is U+00DC).
    orig = zipfile.ZipInfo._encodeFilenameFlags
    zipfile.ZipInfo._encodeFilenameFlags = lambda self: (self.filename.encode("cp437"), self.flag_bits)
    try:
        with zipfile.ZipFile(out, "w") as zf:
            info = zipfile.ZipInfo("\u00dcber.txt", (2020, 1, 1, 0, 0, 0))
            info.create_system = 0  # made on Windows
            zf.writestr(info, b"oem")
    finally:
        zipfile.ZipInfo._encodeFilenameFlags = orig


def sparse_zip64(out):
    # A hole before the last entry makes the archive larger than 4 GiB while
    # it occupies only a few blocks; the entries stay small.
    with open(out, "wb") as f, zipfile.ZipFile(f, "w") as zf:
        zf.writestr("near.txt", b"near\n")
        zf.start_dir = GAP_BYTES
        zf.writestr("far/beyond.txt", b"beyond 4 GiB\n")
    if os.stat(out).st_blocks * 512 > (64 << 20):
        os.remove(out)  # the file system keeps no holes; the test skips


def main(out):
    if os.path.isdir(out):
        shutil.rmtree(out)
    tree = os.path.join(out, "tree")
    make_tree(tree)
    zip_with_python(tree, os.path.join(out, "python.zip"))
    zip_with_python(tree, os.path.join(out, "python_zip64.zip"), force_zip64=True)
    for name, flags in (("infozip.zip", ["-r", "-q"]), ("infozip_zip64.zip", ["-r", "-q", "-fz"])):
        subprocess.run(["zip", *flags, os.path.join(os.path.abspath(out), name), "."],
                       cwd=tree, check=True)
    write_entries(os.path.join(out, "evil_parent.zip"), [("good.txt", b"ok"), ("sub/../../evil.txt", b"x")])
    write_entries(os.path.join(out, "evil_drive.zip"), [("good.txt", b"ok"), ("C:\\evil.txt", b"x")])
    write_entries(os.path.join(out, "evil_absolute.zip"), [("good.txt", b"ok"), ("/evil.txt", b"x")])
    data = open(os.path.join(out, "python.zip"), "rb").read()
    open(os.path.join(out, "truncated.zip"), "wb").write(data[: len(data) // 2])
    flip_byte_in_entry(os.path.join(out, "python.zip"), os.path.join(out, "crc_stored.zip"), "stored.txt")
    flip_byte_in_entry(os.path.join(out, "python.zip"), os.path.join(out, "crc_deflated.zip"), "data/big.bin")
    oem_named(os.path.join(out, "oem_name.zip"))
    sparse_zip64(os.path.join(out, "sparse_zip64.zip"))
    many_entries(out)


if __name__ == "__main__":
    main(sys.argv[1])
