#!/usr/bin/env python3
"""Checks every #include "..." of the sources against the layer table (layers.txt beside
this file): no include into a higher layer, nothing but the top layer includes it, and no
include circle; and every #include <...> of src/ against the table's rules for other
libraries' headers. Prints one fault per line (file:line: rule) and exits 1 when there is one."""

import argparse
import glob
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc")
SCANNED_ROOTS = ("src", "tests", "tools", "bench")
# Quoted includes are looked up beside the including file, then in these folders, as the
# targets' include directories do.
INCLUDE_ROOTS = ("src", "tests")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')
PRIVATE_SUFFIX = "Internals"


class Table:
    def __init__(self, path):
        self.path = path
        self.layers = []          # names, lowest first
        self.folder_layer = {}    # folder -> layer name
        self.open_to_tests = []   # folders any test may include
        self.headers = []         # (layers allowed, header patterns)
        self.errors = []
        current = None
        with open(path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                words = raw.split("#", 1)[0].split()
                if not words:
                    continue
                where = f"{os.path.basename(path)}:{number}"
                if raw[0].isspace() and current:  # an indented line continues the layer above
                    for folder in words:
                        self._add(folder, current, where)
                elif words[0] == "layer" and len(words) >= 2:
                    current = words[1]
                    if current in self.layers:
                        self.errors.append(f"{where}: layer {current} is listed twice")
                    self.layers.append(current)
                    for folder in words[2:]:
                        self._add(folder, current, where)
                elif words[0] == "open-to-tests":
                    current = None
                    self.open_to_tests.extend(w.rstrip("/") for w in words[1:])
                elif words[0] == "headers":
                    current = None
                    allowed = [w for w in words[1:] if w in self.layers]
                    patterns = words[1 + len(allowed):]
                    if not allowed or not patterns:
                        self.errors.append(f"{where}: a headers line names layers (listed above it), then headers")
                    self.headers.append((allowed, patterns))
                else:
                    self.errors.append(f"{where}: cannot read this line of the table")

    def _add(self, folder, layer, where):
        folder = folder.rstrip("/")
        if folder in self.folder_layer:
            self.errors.append(f"{where}: {folder}/ is listed in layers {self.folder_layer[folder]} and {layer}:"
                               " a folder belongs to exactly one")
        self.folder_layer[folder] = layer

    def order(self):
        return "from the bottom: " + ", ".join(self.layers)

    def rank(self, layer):
        return self.layers.index(layer)

    def layer_of(self, path):
        """The layer of a file: its folder's entry, a tests/ folder's mirror under src/, or the
        nearest listed folder above it. None when the table says nothing."""
        folder = os.path.dirname(path)
        if folder in self.folder_layer:
            return self.folder_layer[folder]
        if folder.startswith("src/"):
            return None  # every source folder is listed by name
        if folder.startswith("tests/"):
            mirrored = "src/" + folder[len("tests/"):]
            if mirrored in self.folder_layer:
                return self.folder_layer[mirrored]
        while folder:
            folder = os.path.dirname(folder)
            if folder in self.folder_layer:
                return self.folder_layer[folder]
        return None


class QtModules:
    """Which Qt library a Qt header belongs to: the Qt folder that holds it."""

    def __init__(self, include_dir):
        self.include_dir = include_dir
        self.known = {}

    def of(self, header):
        if not self.include_dir or "/" in header:
            return None
        if header not in self.known:
            found = glob.glob(os.path.join(self.include_dir, "Qt*", header))
            self.known[header] = os.path.basename(os.path.dirname(found[0])) if found else None
        return self.known[header]


def header_rule(table, qt, header):
    """The rule a <header> falls under, as (allowed layers, the library named in the table)."""
    module = qt.of(header) if header.startswith("Q") else None
    for allowed, patterns in table.headers:
        for pattern in patterns:
            if module == pattern or header == pattern or (pattern.endswith("/") and header.startswith(pattern)):
                return allowed, pattern
    return None


def source_files(root):
    for top in SCANNED_ROOTS:
        for folder, dirs, files in os.walk(os.path.join(root, top)):
            dirs[:] = sorted(d for d in dirs if d not in ("corpus", "golden", "data"))
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def resolve(root, includer, name):
    for base in [os.path.dirname(includer), *INCLUDE_ROOTS]:
        candidate = os.path.normpath(os.path.join(base, name)).replace(os.sep, "/")
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate
    return None  # a system or generated header: not ours to check


def read_includes(root, path, pattern=INCLUDE):
    with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = pattern.match(line)
            if m:
                yield number, m.group(1)


def unit(path):
    """A header and its .cpp are one unit, and so is the unit's private header X + "Internals.h"
    (what the files of one class split over several share): a circle through any is a circle."""
    stem = os.path.splitext(path)[0]
    return stem[:-len(PRIVATE_SUFFIX)] if stem.endswith(PRIVATE_SUFFIX) else stem


def find_circles(edges):
    """Strongly connected groups of more than one unit (Tarjan), each as a list of units."""
    index, low, stack, on_stack, groups = {}, {}, [], set(), []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, ())):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    sys.setrecursionlimit(10000)
    for v in sorted(edges):
        if v not in index:
            visit(v)
    return groups


def check(root, table, qt):
    faults = list(table.errors)
    top = table.layers[-1] if table.layers else None
    edges, where = {}, {}
    for path in source_files(root):
        layer = table.layer_of(path)
        if layer is None:
            faults.append(f"{path}: its folder {os.path.dirname(path)}/ is not in the layer table;"
                          f" add it to {os.path.basename(table.path)} under the one layer it belongs to")
            continue
        is_test = path.startswith("tests/")
        if path.startswith("src/"):  # tests and tools use Qt and GStreamer as tools
            for number, header in read_includes(root, path, SYSTEM_INCLUDE):
                rule = header_rule(table, qt, header)
                if rule and layer not in rule[0]:
                    allowed = rule[0][0] if len(rule[0]) == 1 else ", ".join(rule[0][:-1]) + " and " + rule[0][-1]
                    faults.append(f"{path}:{number}: #include <{header}>: {rule[1]} is for the {allowed}"
                                  f" layer{'s' if len(rule[0]) > 1 else ''} only; this file is in the {layer} layer")
        for number, name in read_includes(root, path):
            target = resolve(root, path, name)
            if target is None:
                continue
            if unit(target) != unit(path):
                edges.setdefault(unit(path), set()).add(unit(target))
                where.setdefault((unit(path), unit(target)), f"{path}:{number}")
            if is_test and any(target.startswith(f + "/") for f in table.open_to_tests):
                continue
            target_layer = table.layer_of(target)
            if target_layer is None or target_layer == layer:
                continue
            at = f"{path}:{number}: #include \"{name}\""
            if target_layer == top:
                rule = (f"a ui/ file never includes {top}/" if "/ui/" in path or path.startswith("src/ui/")
                        else f"nothing includes the {top} layer but the {top} layer itself"
                             f" (its folders, the program's main.cpp and the tests of {top}/)")
                faults.append(f"{at}: {rule}")
            elif table.rank(target_layer) > table.rank(layer):
                faults.append(f"{at}: the {layer} layer includes the higher {target_layer} layer ({target});"
                              f" a layer includes only itself and those below it ({table.order()})")
    for group in find_circles(edges):
        steps = [f"{where[(a, b)]} includes {b}" for a in group for b in sorted(edges[a]) if b in group]
        faults.append("include circle through " + ", ".join(group) + ":\n    " + "\n    ".join(steps) +
                      "\n    move what both sides need into a lower unit, or pass it in")
    return faults


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", default=os.path.normpath(os.path.join(here, "..", "..")),
                        help="the repository (default: two folders above this script)")
    parser.add_argument("--table", default=os.path.join(here, "layers.txt"))
    parser.add_argument("--qt-include-dir", help="the folder that holds QtCore/, QtGui/ ... (default: looked for)")
    args = parser.parse_args()
    qt_dir = args.qt_include_dir or next(iter(sorted(glob.glob("/usr/include/*/qt6"))), None)
    table = Table(args.table)
    faults = check(args.root, table, QtModules(qt_dir))
    for fault in faults:
        print(fault)
    if faults:
        shown = os.path.relpath(args.table, args.root)
        print(f"{len(faults)} include(s) break the layer table {args.table if shown.startswith('..') else shown}")
        return 1
    print(f"includes follow the layer table ({table.order()})")
    return 0


if __name__ == "__main__":
    sys.exit(main())
