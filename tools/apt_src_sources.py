#!/usr/bin/env python3
"""Print a one-line-format apt sources file with deb-src entries that mirror
the machine's own binary apt sources.

Reads /etc/apt/sources.list and /etc/apt/sources.list.d/*.list / *.sources
(one-line and deb822 formats). Files with other endings (e.g. disabled ones)
are skipped, as are deb822 stanzas with "Enabled: no". Only suites of the
running distribution release (its codename, or codename-*) are kept, so
third-party repositories do not take part.
"""
import glob
import os
import sys


def distro_codename():
    try:
        with open("/etc/os-release", encoding="utf-8") as f:
            for line in f:
                key, _, value = line.strip().partition("=")
                if key == "VERSION_CODENAME":
                    return value.strip('"')
    except OSError:
        pass
    return ""


def suite_ok(suite, codename):
    if not codename:
        return True
    base = suite.split("/")[0]
    return base == codename or base.startswith(codename + "-")


def parse_one_line(path):
    entries = []
    with open(path, encoding="utf-8", errors="replace") as f:
        for raw in f:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            words = line.split()
            kind = words[0]
            if kind not in ("deb", "deb-src"):
                continue
            rest = words[1:]
            options = []
            if rest and rest[0].startswith("["):
                opt_words = []
                while rest:
                    w = rest.pop(0)
                    opt_words.append(w)
                    if w.endswith("]"):
                        break
                opts = " ".join(opt_words)[1:-1].split()
                options = [o for o in opts if not o.startswith("arch")]
            if len(rest) < 2:
                continue
            uri, suite, comps = rest[0], rest[1], rest[2:]
            entries.append((options, uri, suite, comps))
    return entries


def parse_deb822(path):
    entries = []
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    stanzas, cur, last = [], {}, None
    for raw in text.splitlines():
        if raw.startswith("#"):
            continue
        if not raw.strip():
            if cur:
                stanzas.append(cur)
            cur, last = {}, None
            continue
        if raw[0] in " \t" and last:
            cur[last] += " " + raw.strip()
            continue
        key, _, value = raw.partition(":")
        last = key.strip().lower()
        cur[last] = value.strip()
    if cur:
        stanzas.append(cur)
    for st in stanzas:
        if st.get("enabled", "yes").lower() in ("no", "false", "0"):
            continue
        types = st.get("types", "").split()
        if "deb" not in types and "deb-src" not in types:
            continue
        options = []
        if "signed-by" in st:
            signed = st["signed-by"].strip()
            if signed.startswith("-----BEGIN"):
                continue  # embedded keys cannot be expressed in one-line form
            options.append("signed-by=" + signed.replace(" ", ","))
        for key in ("trusted", "check-valid-until", "check-date"):
            if key in st:
                options.append("%s=%s" % (key, st[key]))
        comps = st.get("components", "").split()
        for uri in st.get("uris", "").split():
            for suite in st.get("suites", "").split():
                entries.append((options, uri, suite, comps))
    return entries


def main():
    etc = os.environ.get("APT_ETC", "/etc/apt")
    codename = distro_codename()
    files = []
    main_list = os.path.join(etc, "sources.list")
    if os.path.isfile(main_list):
        files.append(main_list)
    parts = os.path.join(etc, "sources.list.d")
    files += sorted(glob.glob(os.path.join(parts, "*.list")))
    files += sorted(glob.glob(os.path.join(parts, "*.sources")))
    seen = set()
    out = []
    for path in files:
        if path.endswith(".sources"):
            entries = parse_deb822(path)
        else:
            entries = parse_one_line(path)
        for options, uri, suite, comps in entries:
            if not suite_ok(suite, codename):
                continue
            key = (uri, suite, tuple(comps))
            if key in seen:
                continue
            seen.add(key)
            opt = " [%s]" % " ".join(options) if options else ""
            out.append("deb-src%s %s %s %s" % (opt, uri, suite, " ".join(comps)))
    if not out:
        sys.stderr.write("apt_src_sources: no usable apt source found in %s\n" % etc)
        return 1
    sys.stdout.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
