#!/usr/bin/env python3
"""The module's subsystems include one another in one direction only.

Builds the graph subsystem -> subsystem from the #include "sub/file.h" lines of
module/ and fails when it has a cycle not listed in KNOWN_CYCLES, printing the
cycle with one include line of each step. A listed cycle that no longer exists
fails too, so the list only shrinks."""
import os
import re
import sys

# Cycles still to be broken; none are left, and none may come back.
KNOWN_CYCLES = set()

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"')


def include_graph(module_dir):
    edges = {}
    for folder, _, files in os.walk(module_dir):
        rel = os.path.relpath(folder, module_dir)
        if rel == ".":
            continue
        subsystem = rel.split(os.sep)[0]
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if match and match.group(1) != subsystem:
                        where = "%s:%d: %s" % (os.path.relpath(path, module_dir), number, line.strip())
                        edges.setdefault((subsystem, match.group(1)), where)
    return edges


def strongly_connected(nodes, edges):
    """Tarjan's components of more than one subsystem."""
    successors = {n: sorted(b for (a, b) in edges if a == n) for n in nodes}
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in successors[node]:
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            component = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                component.append(member)
                if member == node:
                    break
            if len(component) > 1:
                found.append(sorted(component))

    for node in sorted(nodes):
        if node not in index:
            visit(node)
    return found


def main():
    module_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..", "module")
    edges = include_graph(module_dir)
    nodes = {n for edge in edges for n in edge}
    cyclic_pairs = set()
    for component in strongly_connected(nodes, edges):
        members = set(component)
        cyclic_pairs |= {tuple(sorted(e)) for e in edges if e[0] in members and e[1] in members
                         and (e[1], e[0]) in edges}
        inner = sorted(e for e in edges if e[0] in members and e[1] in members)
        unknown = [e for e in inner if tuple(sorted(e)) not in KNOWN_CYCLES]
        if unknown or any(tuple(sorted(e)) not in KNOWN_CYCLES for e in inner):
            print("include cycle between " + ", ".join(component) + ":")
            for e in inner:
                print("  %s -> %s   (%s)" % (e[0], e[1], edges[e]))
            return 1
    gone = KNOWN_CYCLES - cyclic_pairs
    if gone:
        print("cycles listed as known are gone; take them off KNOWN_CYCLES: %s" % sorted(gone))
        return 1
    print("%d subsystems, %d include edges, no cycle beyond the %d known" % (len(nodes), len(edges), len(KNOWN_CYCLES)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
