#!/usr/bin/env python3
"""Checks that the top folders of the tree include each other without a circle.

Every quoted #include of a C++ source is an edge from the folder of the including file to the
folder of the included one, both taken at the top of the tree (fx, records, eventlog, ...). An
include names a file beside the including one (e.g. "../core/Backend.h") or a path from the top
of the tree ("eventlog/EventLogDlg.h", and "fx/..." for fx's public headers); angle-bracket
includes are other libraries'. Prints one circle with an include line for each step and exits 1
when there is one.

Usage: include_graph.py [ROOT]      (default: the tree this script is in)
       include_graph.py --self-test
"""
import os
import re
import sys
import tempfile

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".inc")
# Build output and the machinery of git hold no sources of ours.
SKIPPED = re.compile(r"^(build.*|\..*)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
# fx's public headers are included as "fx/X.h" from fx/include/.
INCLUDE_ROOTS = ("", "fx/include")


def top_folders(root):
    return {entry for entry in os.listdir(root)
            if os.path.isdir(os.path.join(root, entry)) and not SKIPPED.match(entry)}


def included_folder(root, source, name, folders):
    """The top folder of the file an include names, or None when it is not in the tree."""
    candidates = [os.path.join(os.path.dirname(source), name)]
    candidates += [os.path.join(root, base, name) for base in INCLUDE_ROOTS]
    for candidate in candidates:
        if os.path.isfile(candidate):
            folder = os.path.relpath(os.path.normpath(candidate), root).split(os.sep)[0]
            return folder if folder in folders else None
    return None


def include_edges(root):
    """{(from, to): "file:line: #include ..."} for every pair of top folders, one example each."""
    folders = top_folders(root)
    edges = {}
    for folder in sorted(folders):
        for directory, subdirectories, files in os.walk(os.path.join(root, folder)):
            subdirectories.sort()
            for file_name in sorted(files):
                if not file_name.endswith(SOURCE_SUFFIXES):
                    continue
                source = os.path.join(directory, file_name)
                with open(source, encoding="utf-8", errors="replace") as text:
                    for number, line in enumerate(text, 1):
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        target = included_folder(root, source, match.group(1), folders)
                        if target is None or target == folder:
                            continue
                        where = "%s:%d: %s" % (os.path.relpath(source, root), number, line.strip())
                        edges.setdefault((folder, target), where)
    return edges


def find_circle(edges):
    """One circle of folders [a, b, ..., a], or None."""
    following = {}
    for source, target in edges:
        following.setdefault(source, []).append(target)
    state = {}  # absent: not seen; 1: on the current path; 2: done
    path = []

    def visit(folder):
        state[folder] = 1
        path.append(folder)
        for target in sorted(following.get(folder, [])):
            if state.get(target) == 1:
                return path[path.index(target):] + [target]
            if target not in state:
                circle = visit(target)
                if circle:
                    return circle
        path.pop()
        state[folder] = 2
        return None

    for folder in sorted(following):
        if folder not in state:
            circle = visit(folder)
            if circle:
                return circle
    return None


def check(root):
    edges = include_edges(root)
    circle = find_circle(edges)
    if circle is None:
        print("include_graph: no circle between the top folders (%d edges)" % len(edges))
        return 0
    print("include_graph: the top folders include each other in a circle: " + " -> ".join(circle))
    for source, target in zip(circle, circle[1:]):
        print("  " + edges[(source, target)])
    return 1


def self_test():
    """The check on two small trees: one with a circle through a file-relative include, one without."""
    def edges_of(files):
        with tempfile.TemporaryDirectory(prefix="include_graph.") as root:
            for path, text in files.items():
                os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
                with open(os.path.join(root, path), "w", encoding="utf-8") as out:
                    out.write(text)
            return include_edges(root)

    layered = {
        "fx/include/fx/Base.h": "#pragma once\n",
        "records/Line.h": '#include "fx/Base.h"\n#include <string>\n',
        "eventlog/Window.h": '#include "records/Line.h"\n#include "Helper.h"\n',
        "eventlog/Helper.h": '#include "fx/Base.h"\n',
        "build/native/gen.h": '#include "eventlog/Window.h"\n',
    }
    circular = dict(layered)
    circular["records/Line.cpp"] = '#include "../eventlog/Window.h"\n'
    failures = []
    edges = edges_of(layered)
    if set(edges) != {("records", "fx"), ("eventlog", "records"), ("eventlog", "fx")}:
        failures.append("edges of the layered tree: %s" % sorted(edges))
    if find_circle(edges) is not None:
        failures.append("a circle found in the layered tree")
    circle = find_circle(edges_of(circular))
    if circle not in (["eventlog", "records", "eventlog"], ["records", "eventlog", "records"]):
        failures.append("the circle of the circular tree: %s" % circle)
    for failure in failures:
        print("include_graph self-test: " + failure)
    if not failures:
        print("include_graph self-test: passed")
    return 1 if failures else 0


def main():
    if sys.argv[1:] == ["--self-test"]:
        return self_test()
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    return check(os.path.abspath(root))


if __name__ == "__main__":
    sys.exit(main())
