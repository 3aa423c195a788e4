#!/usr/bin/env python3
"""Finds mutable process-wide state in src/: namespace-scope variables and static locals or
members that are not const. Each part is owned by the application object and handed to what
uses it; a place the platform forces carries "// process-wide: <why>" on its line or the
line above. Prints one hit per line (file:line: text); exits 1 when there is one outside the
folders given with --pending."""

import argparse
import os
import re
import sys

MARKER = "// process-wide:"
# A declaration of a variable: the name, then =, {, [ or ; (a '(' makes it a function).
VARIABLE = re.compile(r"^[\w:<>,\s\*&]*?[\w>\*&]\s+[\*&]*\w+\s*(=|\{|\[|;)")
NOT_A_VARIABLE = re.compile(r"^(using|typedef|template|namespace|class|struct|enum|union|friend|return|extern|"
                            r"public|private|protected|case|default|goto|throw|delete|else|do)\b|^\W")


def mutable_variable(line):
    """True when the line declares a variable that can change: no function, and not const
    itself (a pointer to const may still be pointed elsewhere)."""
    body = re.sub(r"^((static|thread_local|inline|mutable)\s+)+", "", line)
    while re.search(r"<[^<>]*>", body):
        body = re.sub(r"<[^<>]*>", "T", body)
    declaration = re.split(r"=|\{", body)[0]
    if not VARIABLE.match(body) or NOT_A_VARIABLE.match(body) or "(" in declaration or body.startswith("constexpr"):
        return False
    if "*" in declaration:
        return not re.search(r"\*\s*const\s+\w+\s*(\[.*)?$", declaration.strip(" ;"))
    return not re.match(r"(const|constexpr|constinit\s+const)\b", body)


def hits(path):
    scopes, parens, previous = [], 0, ""
    with open(path, encoding="utf-8", errors="replace") as f:
        for number, raw in enumerate(f, 1):
            line = re.sub(r"//.*|\"(\\.|[^\"\\])*\"|'(\\.|[^'\\])*'", "", raw).strip()
            namespace_scope = all(kind == "namespace" for kind in scopes)
            is_static = re.match(r"(static|thread_local|inline)\b", line) and not line.startswith("static_")
            if (line and parens == 0 and not line.startswith("#") and (is_static or namespace_scope)
                    and mutable_variable(line) and MARKER not in raw and MARKER not in previous):
                yield number, raw.strip()
            parens = max(0, parens + line.count("(") - line.count(")"))
            for brace in re.finditer(r"[{}]", line):
                if brace.group() == "{":
                    opened = re.search(r"\bnamespace\b[\w:\s]*$|extern \"C\"\s*$", line[:brace.start()])
                    scopes.append("namespace" if opened else "other")
                elif scopes:
                    scopes.pop()
            previous = raw


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--root", default=os.path.normpath(os.path.join(here, "..", "..")))
    parser.add_argument("--pending", nargs="*", default=[],
                        help="folders of src/ whose hits are listed but do not fail (a sweep under way)")
    args = parser.parse_args()
    failing = 0
    for folder, dirs, files in os.walk(os.path.join(args.root, "src")):
        dirs.sort()
        for name in sorted(f for f in files if f.endswith((".h", ".cpp"))):
            path = os.path.relpath(os.path.join(folder, name), args.root)
            pending = any(path.startswith(os.path.join("src", p) + os.sep) for p in args.pending)
            for number, text in hits(os.path.join(args.root, path)):
                print(f"{path}:{number}: {'(pending) ' if pending else ''}{text}")
                failing += not pending
    if failing:
        print(f"{failing} place(s) keep mutable process-wide state: give it to the application object and pass"
              f" it in, or mark what the platform forces with '{MARKER} <why>'")
        return 1
    print("no mutable process-wide state in src/ outside the pending folders")
    return 0


if __name__ == "__main__":
    sys.exit(main())
