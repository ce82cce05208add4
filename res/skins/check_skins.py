#!/usr/bin/env python3
"""Checks the installer's skin documents.

The skin loader accepts only UTF-8 with a byte-order mark, a fixed XML
declaration, CRLF line ends and a single root element `window`; a document
that breaks one of these makes window creation fail at run time, so catch
it here instead.

Usage: check_skins.py [DIRECTORY]   (default: the directory of this script)
Exit status: 0 when every document passes, 1 otherwise.
"""

import os
import sys
import xml.etree.ElementTree as ET

DOCUMENTS = [
    "UIMAINWINDOW", "ENGUIMAINWINDOW",
    "UICANNOTDOWN", "ENGUICANNOTDOWN",
    "UIAGREEMENT", "ENGUIAGREEMENT",
    "UICONTENT", "ENGUICONTENT",
]
BOM = b"\xef\xbb\xbf"
FIRST_LINE = b'<?xml version="1.0"  encoding="utf-8"?>'


def check_document(path):
    """Returns (problems, summary line or None)."""
    problems = []
    try:
        with open(path, "rb") as f:
            data = f.read()
    except OSError as e:
        return [f"cannot read: {e}"], None

    if not data.startswith(BOM):
        problems.append("no UTF-8 byte-order mark")
    body = data[len(BOM):] if data.startswith(BOM) else data

    first = body.split(b"\n", 1)[0]
    if first != FIRST_LINE + b"\r":
        problems.append(f"first line is {first[:60]!r}, expected {FIRST_LINE!r} + CRLF")

    # Every LF must belong to a CRLF pair and every CR must start one.
    stripped = body.replace(b"\r\n", b"")
    bare_lf, bare_cr = stripped.count(b"\n"), stripped.count(b"\r")
    if bare_lf:
        problems.append(f"{bare_lf} bare LF line end(s)")
    if bare_cr:
        problems.append(f"{bare_cr} bare CR character(s)")

    try:
        body.decode("utf-8")
    except UnicodeDecodeError as e:
        problems.append(f"not valid UTF-8: {e}")

    try:
        root = ET.fromstring(body)
    except ET.ParseError as e:
        problems.append(f"does not parse: {e}")
        return problems, None

    if root.tag != "window":
        problems.append(f"root tag is {root.tag!r}, expected 'window'")

    elements = list(root.iter())[1:]
    ids = [e.get("id") for e in elements if e.get("id")]
    dupes = sorted({i for i in ids if ids.count(i) > 1})
    if dupes:
        problems.append(f"duplicate ids: {', '.join(dupes)}")
    # Only `height` is read, so an element without either is a likely typo;
    # the documents deliberately keep `heigth` on two statics.
    for e in elements:
        if e.get("height") is None and e.get("heigth") is None:
            problems.append(f"element {e.get('id') or e.tag!r} has no height")

    size = f"{root.get('width', '?')}x{root.get('height', '?')}"
    summary = (f"{size:>8}  {len(elements):2d} elements  ids: "
               + (", ".join(ids) if ids else "(none)"))
    return problems, summary


def main(argv):
    directory = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    failed = False
    for name in DOCUMENTS:
        path = os.path.join(directory, name + ".xml")
        problems, summary = check_document(path)
        status = "FAIL" if problems else "ok"
        print(f"{status:4} {name + '.xml':22} {summary or ''}")
        for p in problems:
            print(f"       - {p}")
        failed = failed or bool(problems)
    print("FAILED" if failed else f"all {len(DOCUMENTS)} documents ok")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
