#!/usr/bin/env python3
"""Fails when an #include of src/ points up the layers or closes a cycle.

LAYERS below is the one declared order of the folders of src/, lowest first.
A file may include files of its own folder and of the folders in earlier
layers; folders in one layer stand side by side and include nothing of each
other. src/testing, the test support, is included only by tests and test
helpers, of every layer; it builds on the layers below it. Within the tree,
files must not include each other in a circle, at the level of files or of
modules (foo.h and foo.cc taken as one), so that every module only builds on
the ones below it.

  tools/include_graph_test.py [SOURCE_ROOT]
"""
import os
import re
import sys

# The layers, lowest first (docs/architecture.md draws them).
LAYERS = [
    ["encoding"],   # GBK, UTF-8, UTF-16
    ["testing"],    # test support: temporary folders, files, child processes
    ["platform"],   # files, text streams, replacing a file, Ctrl+C, console
    ["ini"],        # config.ini: reading keys, updating sections
    ["grammar"],    # rules, permutations, parse trees, the searches
    ["datafiles"],  # the lexer and the readers of the three data files
    ["analysis"],   # judgements, counters, the two reports
    ["drawing", "rules"],  # tree layout and SVG; checks and effects of the rules
    ["export"],     # HTML report and CSV tables
    ["compare"],    # comparing two analyses: a baseline and the current run
    ["run"],        # one whole analysis run
    ["cli", "shell"],  # marvolen-report and the workbench
]

# Files that are tests or help tests, and may include src/testing.
TEST_FILE = re.compile(r"(_test\.(cc|h)|_test_util\.h|/test_support\.(cc|h))$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z0-9_]+)/([^"]+)"', re.M)


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


def read_includes(src):
    """{"folder/file": ["folder/file", ...]} for every .h and .cc of src/."""
    includes = {}
    for folder in sorted(os.listdir(src)):
        path = os.path.join(src, folder)
        if not os.path.isdir(path):
            continue
        for name in sorted(os.listdir(path)):
            if name.endswith((".h", ".cc")):
                with open(os.path.join(path, name), encoding="utf-8") as f:
                    text = f.read()
                includes[folder + "/" + name] = [a + "/" + b for a, b in INCLUDE.findall(text)]
    return includes


def layer_problems(includes):
    level = {folder: n for n, group in enumerate(LAYERS) for folder in group}
    problems = []
    for folder in sorted({name.split("/")[0] for name in includes}):
        if folder not in level:
            problems.append("folder src/%s is in no layer of %s" % (folder, __file__))
    for name, deps in sorted(includes.items()):
        here = name.split("/")[0]
        for dep in deps:
            there = dep.split("/")[0]
            if there not in level:
                problems.append("%s includes %s: %s is in no layer" % (name, dep, there))
            elif there == "testing":
                # The tests of every layer use it; it builds on encoding only.
                if here != "testing" and not TEST_FILE.search(name):
                    problems.append("%s includes %s: only tests include the test support"
                                    % (name, dep))
            elif here in level and there != here and level[there] >= level[here]:
                how = "beside" if level[there] == level[here] else "above"
                problems.append("upward include: %s includes %s (%s is %s %s)"
                                % (name, dep, there, how, here))
    return problems


def main(root):
    src = os.path.join(root, "src")
    includes = read_includes(src)
    module = lambda name: re.sub(r"\.(h|cc)$", "", name)
    modules = {}
    for name, deps in includes.items():
        modules.setdefault(module(name), set()).update(
            module(d) for d in deps if module(d) != module(name))
    problems = layer_problems(includes)
    cycles = find_cycles(includes) + find_cycles(modules)
    problems += ["include cycle: " + " -> ".join(cycle) for cycle in cycles]
    for problem in problems:
        print(problem)
    print("%d files, %d modules, %d layers, %d problems"
          % (len(includes), len(modules), len(LAYERS), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    here = os.path.dirname(os.path.abspath(__file__))
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(here)))
