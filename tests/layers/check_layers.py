#!/usr/bin/env python3
"""Checks every #include "..." of the sources against the layer table (layers.txt beside
this file): no include into a higher layer and nothing but the top layer includes it; and
every #include <...> of src/ against the table's rules for other libraries' headers; and no
include circle among the files of src/. Prints
one fault per line (file:line: rule) and exits 1 when there is one."""

import argparse, glob, os, re, sys

INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r'^\s*#\s*include\s*<([^>]+)>')


def read_table(path):
    layers, folder_layer, open_to_tests, headers, current = [], {}, [], [], None
    for raw in open(path, encoding="utf-8"):
        words = raw.split("#", 1)[0].split()
        if not words:
            continue
        if raw[0].isspace() and current:  # an indented line continues the layer above
            folder_layer.update((w.rstrip("/"), current) for w in words)
        elif words[0] == "layer":
            current = words[1]
            layers.append(current)
            folder_layer.update((w.rstrip("/"), current) for w in words[2:])
        elif words[0] == "open-to-tests":
            current, open_to_tests = None, open_to_tests + [w.rstrip("/") for w in words[1:]]
        elif words[0] == "headers":
            current, allowed = None, [w for w in words[1:] if w in layers]
            headers.append((allowed, words[1 + len(allowed):]))
    return layers, folder_layer, open_to_tests, headers


def layer_of(folder_layer, path):
    """Its folder's layer, a tests/ folder's mirror under src/ (every src/ folder is listed by
    name), or the nearest listed folder above it; None when the table says nothing."""
    folder = os.path.dirname(path)
    if folder in folder_layer or folder.startswith("src/"):
        return folder_layer.get(folder)
    if folder.startswith("tests/") and "src/" + folder[6:] in folder_layer:
        return folder_layer["src/" + folder[6:]]
    while folder and folder not in folder_layer:
        folder = os.path.dirname(folder)
    return folder_layer.get(folder)


def includes(root, path, pattern):
    for number, line in enumerate(open(os.path.join(root, path), encoding="utf-8", errors="replace"), 1):
        if m := pattern.match(line):
            yield number, m.group(1)


def check(root, table_path, qt_dir):
    layers, folder_layer, open_to_tests, headers = read_table(table_path)
    order, top, qt_modules, faults, edges = "from the bottom: " + ", ".join(layers), layers[-1], {}, [], {}

    def header_rule(header):
        if header.startswith("Q") and qt_dir and "/" not in header and header not in qt_modules:
            found = glob.glob(os.path.join(qt_dir, "Qt*", header))
            qt_modules[header] = os.path.basename(os.path.dirname(found[0])) if found else None
        module = qt_modules.get(header) if header.startswith("Q") else None
        return next(((allowed, p) for allowed, patterns in headers for p in patterns
                     if p in (module, header) or (p.endswith("/") and header.startswith(p))), None)

    paths = [os.path.relpath(os.path.join(d, n), root).replace(os.sep, "/")
             for top_folder in ("src", "tests", "tools", "bench")
             for d, dirs, files in sorted(os.walk(os.path.join(root, top_folder)))
             if not set(os.path.relpath(d, root).split(os.sep)) & {"corpus", "golden", "data"}
             for n in sorted(files) if n.endswith((".h", ".hpp", ".cpp", ".cc"))]
    for path in paths:
        layer = layer_of(folder_layer, path)
        if layer is None:
            faults.append(f"{path}: its folder is not in the layer table; add it under the one layer it belongs to")
            continue
        for number, header in includes(root, path, SYSTEM_INCLUDE) if path.startswith("src/") else ():
            rule = header_rule(header)  # tests and tools use Qt and GStreamer as tools
            if rule and layer not in rule[0]:
                faults.append(f"{path}:{number}: #include <{header}>: {rule[1]} is for the layers"
                              f" {', '.join(rule[0])} only; this file is in the {layer} layer")
        for number, name in includes(root, path, INCLUDE):
            # Looked up beside the including file, then in the targets' include directories.
            target = next((c for c in (os.path.normpath(os.path.join(b, name)).replace(os.sep, "/")
                                       for b in (os.path.dirname(path), "src", "tests"))
                           if os.path.isfile(os.path.join(root, c))), None)
            if target is None or (path.startswith("tests/") and any(target.startswith(f + "/") for f in open_to_tests)):
                continue  # a system or generated header, or a test helper
            if path.startswith("src/"):
                edges.setdefault(path, []).append(target)
            target_layer, at = layer_of(folder_layer, target), f"{path}:{number}: #include \"{name}\""
            if target_layer in (None, layer):
                continue
            if target_layer == top:
                faults.append(f"{at}: nothing includes the {top} layer but the {top} layer itself")
            elif layers.index(target_layer) > layers.index(layer):
                faults.append(f"{at}: the {layer} layer includes the higher {target_layer} layer ({order})")
    return faults + circles(edges), order


def circles(edges):
    """One fault per include circle: the files on it, in include order."""
    faults, state = [], {}  # state: 1 on the current path, 2 done

    def visit(path, stack):
        state[path] = 1
        for target in edges.get(path, ()):
            if state.get(target) == 1:
                ring = stack[stack.index(target):] + [target]
                faults.append(f"{ring[0]}: include circle: {' -> '.join(ring)}")
            elif target not in state:
                visit(target, stack + [target])
        state[path] = 2

    for path in sorted(edges):
        if path not in state:
            visit(path, [path])
    return faults


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", default=os.path.normpath(os.path.join(here, "..", "..")))
    parser.add_argument("--table", default=os.path.join(here, "layers.txt"))
    parser.add_argument("--qt-include-dir", help="the folder that holds QtCore/, QtGui/ ... (default: looked for)")
    args = parser.parse_args()
    qt_dir = args.qt_include_dir or next(iter(sorted(glob.glob("/usr/include/*/qt6"))), None)
    faults, order = check(args.root, args.table, qt_dir)
    print("\n".join(faults) if faults else f"includes follow the layer table ({order})")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
