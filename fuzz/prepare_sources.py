#!/usr/bin/env python3
"""Lays out the tree the fuzz build compiles with clang.

clang cannot encode narrow literals as CP932 (-fexec-charset takes only UTF-8), so every
non-ASCII character of the C++ sources is rewritten as its CP932 bytes in hex escapes, each
followed by "" so that a following hex digit is not swallowed by the escape. The committed
sources keep their plain literals; this copy lives in the build folder only. Characters CP932
cannot represent can only stand in comments (the main build would refuse them in a literal) and
become '?'.

Usage: prepare_sources.py REPO OUT
"""
import os
import shutil
import sys

# The folders the fuzz targets need, copied with their CMakeLists.txt files.
FOLDERS = ["fx", "host", "plugin", "settings", "records", "eventlog", "handlers", "urls", "resources", "zelkor", "fuzz"]
SOURCE_SUFFIXES = (".cpp", ".h")


def escape_non_ascii(text):
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
            continue
        try:
            encoded = ch.encode("cp932")
        except UnicodeEncodeError:
            out.append("?")
            continue
        out.append("".join("\\x%02X" % b for b in encoded) + '""')
    return "".join(out)


def write_if_changed(path, data):
    # Unchanged files keep their time stamps, so a rebuild compiles only what changed.
    if os.path.exists(path):
        with open(path, "rb") as existing:
            if existing.read() == data:
                return
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as target:
        target.write(data)


def main():
    repo, out = sys.argv[1], sys.argv[2]
    wanted = set()
    for folder in FOLDERS:
        for root, dirs, files in os.walk(os.path.join(repo, folder)):
            dirs[:] = [d for d in dirs if d != "corpus"]
            for name in files:
                source = os.path.join(root, name)
                relative = os.path.relpath(source, repo)
                if folder == "fuzz" and name == "CMakeLists.txt":
                    continue
                target = os.path.join(out, relative)
                wanted.add(os.path.normpath(target))
                with open(source, "rb") as f:
                    data = f.read()
                if name.endswith(SOURCE_SUFFIXES):
                    data = escape_non_ascii(data.decode("utf-8")).encode("ascii")
                write_if_changed(target, data)
    # The fuzz project's own CMakeLists.txt is the top level of the converted tree.
    top = os.path.join(out, "CMakeLists.txt")
    with open(os.path.join(repo, "fuzz", "CMakeLists.txt"), "rb") as f:
        write_if_changed(top, f.read())
    wanted.add(os.path.normpath(top))
    # Files deleted from the repository leave the copy too.
    for root, _, files in os.walk(out):
        for name in files:
            path = os.path.normpath(os.path.join(root, name))
            if path not in wanted:
                os.remove(path)


if __name__ == "__main__":
    main()
