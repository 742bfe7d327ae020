#!/usr/bin/env python3
"""Fails when files of the workbench include each other, directly or through
others: at the level of files, and at the level of modules (foo.h and foo.cc
taken as one), so that every module only builds on the ones below it."""
import os
import re
import sys


def find_cycles(graph):
    cycles, state = [], {}

    def visit(node, path):
        state[node] = "open"
        path.append(node)
        for dep in sorted(graph.get(node, ())):
            if state.get(dep) == "open":
                cycles.append(path[path.index(dep):] + [dep])
            elif dep not in state:
                visit(dep, path)
        path.pop()
        state[node] = "done"

    for node in sorted(graph):
        if node not in state:
            visit(node, [])
    return cycles


def main(folder):
    includes = {}
    for name in os.listdir(folder):
        if name.endswith((".h", ".cc")):
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                includes[name] = re.findall(r'^#include\s+"shell/([^"]+)"', f.read(), re.M)
    module = lambda name: re.sub(r"\.(h|cc)$", "", name)
    modules = {}
    for name, deps in includes.items():
        modules.setdefault(module(name), set()).update(module(d) for d in deps if module(d) != module(name))
    bad = find_cycles(includes) + find_cycles(modules)
    for cycle in bad:
        print("include cycle: " + " -> ".join(cycle))
    print("%d files, %d modules, %d cycles" % (len(includes), len(modules), len(bad)))
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))))
