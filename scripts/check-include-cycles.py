#!/usr/bin/env python3
"""Fails when source folders include each other in a cycle.

Each top-level source folder (framework, base, hook, and every folder under lib/ and app/) is one
node; a file that includes a header of another folder makes an edge. The layers only work when the
edges point one way, so any strongly connected group of two or more folders is reported with the
lines that make it, and the script exits with 1.
"""
import os
import re
import sys

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
TOP = ("base", "framework", "hook", "lib", "app")
SPLIT = ("lib", "app")  # folders whose subfolders are layers of their own
EXTS = (".h", ".hpp", ".cpp", ".c", ".rc", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(rel):
    parts = rel.split("/")
    if parts[0] in SPLIT and len(parts) > 2:
        return parts[0] + "/" + parts[1]
    return parts[0]


def scan():
    edges = {}  # (from, to) -> first "file:line" seen
    for top in TOP:
        for dirpath, _, files in os.walk(os.path.join(ROOT, top)):
            for name in sorted(files):
                if not name.endswith(EXTS):
                    continue
                path = os.path.join(dirpath, name)
                rel = os.path.relpath(path, ROOT).replace(os.sep, "/")
                src = folder_of(rel)
                with open(path, encoding="utf-8", errors="replace") as f:
                    for number, line in enumerate(f, 1):
                        m = INCLUDE.match(line)
                        if not m:
                            continue
                        target = m.group(1)
                        if target.split("/")[0] not in TOP:
                            continue  # a header beside the file, or outside the sources
                        if not os.path.isfile(os.path.join(ROOT, target)):
                            continue
                        dst = folder_of(target)
                        if dst != src:
                            edges.setdefault((src, dst), "%s:%d includes %s" % (rel, number, target))
    return edges


def cycles(edges):
    graph = {}
    for a, b in edges:
        graph.setdefault(a, set()).add(b)
        graph.setdefault(b, set())
    # Tarjan's strongly connected components.
    index, low, stack, on_stack, groups = {}, {}, [], set(), []

    def visit(v):
        index[v] = low[v] = len(index)
        stack.append(v)
        on_stack.add(v)
        for w in sorted(graph[v]):
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

    for v in sorted(graph):
        if v not in index:
            visit(v)
    return groups


def main():
    edges = scan()
    groups = cycles(edges)
    if not groups:
        print("include layers: no cycle between %d folders" % len({f for e in edges for f in e}))
        return 0
    for group in groups:
        print("include cycle between folders: " + ", ".join(group))
        for (a, b), where in sorted(edges.items()):
            if a in group and b in group:
                print("  %s -> %s: %s" % (a, b, where))
    return 1


if __name__ == "__main__":
    sys.exit(main())
