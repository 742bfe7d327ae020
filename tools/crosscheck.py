#!/usr/bin/env python3
"""Compare marvolen-report with the reference model (tools/refmodel.py) on
random inputs: random tag sets, grammars (alternatives, several bracketed
items, tree titles in every form, one- to four-item rules without one-item
cycles), sequences and configurations, now and then with a format error.

Usage: crosscheck.py PATH/TO/marvolen-report [CASES] [SEED] [OPTION...]
The options are passed to marvolen-report (--html=FILE, --csv=FILE): they
must change neither the report nor the messages. Exits 1 at the first difference and leaves that case's folder for study."""

import os
import random
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import refmodel  # noqa: E402

WORDS = ["a", "b", "n", "v", "NP", "VP", "X", "u<\xb5\xc4>", "c<\xba\xcd>"]
HANZI = ["\xb5\xc4", "\xba\xcd", "\xb6\xa8\xd6\xd0", "\xd6\xf7\xce\xbd"]  # 的 和 定中 主谓


def b(s):
    return s.encode("latin-1")


def make_case(rng, d):
    # A small alphabet, so that rules meet and parses multiply.
    labels = ["a", "b", "X", "Y", "S"]
    dense = rng.random() < 0.5  # two symbols only: parses multiply
    tags = ["a", "b"][:rng.randint(0, 2)] + rng.sample(
        ["a", "X", "u<\xb5\xc4>", "c<\xba\xcd>"], rng.randint(0, 2))
    if not tags:
        tags = ["a"]
    sep = lambda: rng.choice([" ", "\n", "\r\n", "  ", "\t"])
    tag_text = "TagSetBegin" + sep() + (sep() + rng.choice([",", ";", "x"]) + sep()).join(
        t.replace("<", rng.choice(["<", " < "])) for t in tags) + sep() + "TagSetEnd" + sep()
    rank = {x: i for i, x in enumerate(labels)}
    rules = []
    rules_rhs = []
    unary = 0
    for i in range(rng.randint(0, 7 if dense else 10)):
        left = rng.choice(["X", "S"] if dense else ["X", "Y", "S"])
        if rules_rhs and rng.random() < 0.3:  # a second rule for a right side
            items = list(rng.choice(rules_rhs))
        else:
            n = rng.choice([1, 2, 2, 2, 3, 3, 4])
            pool = ["a", "X", "a", "X", "u<\xb5\xc4>"] if dense else \
                labels + labels + ["u<\xb5\xc4>", "c<\xba\xcd>", "u<\xb5\xc4|\xba\xcd>"]
            items = [rng.choice(pool) for _ in range(n)]
        # At most two one-item rules: with more, the number of orders in
        # which the literal search applies them explodes on five-item lines.
        if len(items) == 1 and unary >= 2:
            items = items + ["a"]
        unary += len(items) == 1
        # One-item rules only go down the order a < b < X < Y < S: no cycles.
        if len(items) == 1:
            base = items[0].split("<")[0]
            if base not in rank or rank[base] >= rank[left]:
                items = [rng.choice([x for x in labels if rank[x] < rank[left]])]
        rules_rhs.append(items)
        rhs = " ".join(("!" if rng.random() < 0.1 else "") + it for it in items)
        title = "R%d" % i
        end = rng.choice(["&&", "&&", ":: < T > = " + rng.choice(HANZI),
                          ":: a b c d T%d" % rng.randint(0, 1), ":: 1 2 3 4 ~ " + rng.choice(HANZI),
                          ":: , , , , %"])
        rules.append("&& %s %s : %s -> %s %s" % (rng.choice(["1", "[", "x"]), title, left, rhs, end))
    rule_text = "CFGRuleSetBegin\r\n" + sep().join(rules) + "\r\nCFGRuleSetEnd\r\n"
    if not rules:
        rule_text = "CFGRuleSetBegin CFGRuleSetEnd"
    seqs = []
    for _ in range(rng.randint(0, 12)):
        k = rng.choice([0, 1, 2, 3, 3, 4, 4, 5, 5, 5])
        seqs.append(rng.choice(["", " "]) + rng.choice([" ", "  "]).join(
            rng.choice(["a", "X", "a", "u<\xb5\xc4>"] if dense else
                       ["a", "b", "X", "a", "b", "u<\xb5\xc4>", "c<\xba\xcd>"]) for _ in range(k)))
    seq_text = rng.choice(["\n", "\r\n"]).join(seqs) + rng.choice(["", "\n"])
    if rng.random() < 0.05:
        seq_text += "\na b c d e f\n"
    if rng.random() < 0.1:  # a format error somewhere
        which = rng.randrange(3)
        cut = lambda t: t[:rng.randrange(len(t) + 1)] if t else t
        if which == 0:
            tag_text = cut(tag_text)
        elif which == 1:
            rule_text = cut(rule_text)
        else:
            seq_text = cut(seq_text)
    files = {"tags.txt": tag_text, "rules.txt": rule_text, "seq.txt": seq_text}
    for name, text in files.items():
        with open(os.path.join(d, name), "wb") as f:
            f.write(b(text))
    mode = rng.choice(["", "", "long", "LONG", "3", ""])
    with open(os.path.join(d, "config.ini"), "wb") as f:
        f.write(b("[DATA]\nTAGS=tags.txt\nSEQUENCES=seq.txt\nRULES=rules.txt\n"
                  "RESULT=out.txt\nITEMLENGTH=%s\n" % mode))


def main():
    exe = os.path.abspath(sys.argv[1])
    cases = int(sys.argv[2]) if len(sys.argv) > 2 else 200
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    # Options for marvolen-report that must change neither the report nor
    # the messages (--html=..., --csv=...).
    extra = sys.argv[4:]
    rng = random.Random(seed)
    root = tempfile.mkdtemp(prefix="marvolen-crosscheck-")
    cwd = os.getcwd()
    for case in range(cases):
        d = os.path.join(root, "case%d" % case)
        os.mkdir(d)
        make_case(rng, d)
        p = subprocess.run([exe, "-C", d] + extra, capture_output=True, timeout=120)
        got_report = open(os.path.join(d, "out.txt"), "rb").read()
        os.rename(os.path.join(d, "out.txt"), os.path.join(d, "out.cpp.txt"))
        msgs, status = refmodel.run(d)
        os.chdir(cwd)
        want_report = open(os.path.join(d, "out.txt"), "rb").read()
        want_err = "".join(m + "\n" for m in msgs).encode()
        if got_report != want_report or p.stderr != want_err or p.returncode != status:
            print("case %d differs (folder %s)" % (case, d))
            if got_report != want_report:
                print("  report bytes differ (out.cpp.txt vs out.txt)")
            if p.stderr != want_err:
                print("  messages: got %r\n            want %r" % (p.stderr, want_err))
            if p.returncode != status:
                print("  exit status: got %d, want %d" % (p.returncode, status))
            sys.exit(1)
        shutil.rmtree(d)
    shutil.rmtree(root)
    print("crosscheck: %d cases agree (seed %d)" % (cases, seed))


if __name__ == "__main__":
    main()
