#!/usr/bin/env python3
"""The CSV table and the HTML report's data against the text report of the
same run of the examples: the CSV read with Python's csv module has the
judgement counts of the text report's summary, its averages, every
permutation in report order with the parses the report lists; the page's
records say the same, and the table of parses has each of its parses in a
row; with a parse limit the left-out listings have their number only.
With a comparison the page's section 变化 has the changed patterns of the
CSV table of changes (judgements, counts, parses lost and gained, rules),
and tables that count them; without one it has none.

Usage: exports_test.py PATH/TO/marvolen-report PATH/TO/examples GOLDEN-REPORT"""

import collections
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import report_files  # noqa: E402

JUDGEMENT_KEYS = {"cannot_combine": "cannot", "one_way": "oneway", "overt": "overt",
                  "covert": "covert"}
SECTIONS = {"one_way": "只有一种组合方式(无歧义)的", "overt": "外显型歧义的", "covert": "内含型歧义的"}


def run(binary, directory, status, *options):
    done = subprocess.run([binary, "-C", directory, "--html", "report.html", "--csv",
                           "report.csv", "--csv-parses", "parses.csv"] + list(options),
                          capture_output=True)
    assert done.returncode == status, (done.returncode, done.stderr.decode())
    table = report_files.read_csv(os.path.join(directory, "report.csv"))
    check_table_of_parses(table, report_files.read_csv(os.path.join(directory, "parses.csv")))
    return (report_files.read_text_report(os.path.join(directory, "report.txt")), table,
            report_files.read_html_data(os.path.join(directory, "report.html")))


def check_table_of_parses(table, parses):
    """The table of parses has a row for each parse of the table of
    permutations, in the same order, numbered from 1."""
    header, rows = parses
    assert header == ["source", "items", "judgement", "parse", "root", "tree"], header
    expected = []
    for r in table[1]:
        if not r[5]:
            continue
        for k, (root, tree) in enumerate(zip(r[4].split(" "), r[5].split(" | ")), 1):
            expected.append([r[0], r[1], r[2], str(k), root, tree])
    assert rows == expected, (len(rows), len(expected))


def check_full_run(text, table, page):
    header, rows = table
    assert header == ["source", "items", "judgement", "parses", "roots", "trees",
                      "divergences"], header
    assert [r[0] for r in rows] == sorted((r[0] for r in rows), key=report_files.SOURCES.index)
    _, records, summaries = page
    for source, report in text.items():
        mine = [r for r in rows if r[0] == source]
        # The judgement counts and the averages of the summary.
        counts = collections.Counter(r[2] for r in mine)
        expected = report["counts"]
        assert len(mine) == expected["analysed"], (source, len(mine), expected)
        for judgement, key in JUDGEMENT_KEYS.items():
            assert counts[judgement] == expected[key], (source, judgement, counts, expected)
        assert expected["combinable"] == len(mine) - counts["cannot_combine"]
        for kind in ("covert", "overt"):
            degrees = [int(r[3]) for r in mine if r[2] == kind]
            average = "%f" % (sum(degrees) / len(degrees)) if degrees else None
            assert average == report["averages"][kind], (source, kind, average)
        # Every permutation in report order, items as the report writes them.
        all_items = [line[1:].rstrip(" ") for line in report["sections"]["的全部"]
                     if line.startswith("\t")]
        assert [r[1] for r in mine] == all_items, source
        # The parses of each, as listed in its section.
        for judgement, section in SECTIONS.items():
            listed = report_files.listed_parses(report["sections"][section])
            assert len(listed) == counts[judgement], (source, judgement)
            for r in mine:
                if r[2] != judgement:
                    continue
                trees = r[5].split(" | ")
                assert trees == listed[r[1]], (source, r)
                assert int(r[3]) == len(trees) == len(r[4].split(" ")), r
                roots = [re.match(r"\(([^:(),]*)", t).group(1) for t in trees]
                assert r[4].split(" ") == roots, r
        for r in mine:
            if r[2] == "cannot_combine":
                assert r[3:] == ["0", "", "", ""], r
            # Divergence points for every ambiguous pattern, none for others.
            points = r[6].split(" ") if r[6] else []
            assert bool(points) == (r[2] in ("overt", "covert")), r
            end = 0
            for point in points:
                m = re.fullmatch(r"(\d+)-(\d+):([^|]+(\|[^|]+)*)", point)
                assert m and end < int(m.group(1)) <= int(m.group(2)), r
                end = int(m.group(2))
            assert end <= len(r[1].split(" ")), r
        # The examples of the issue, exactly.
        known = {"n n n": "1-3:R07|R08", "v n u<的> n": "1-4:R34|R08"}
        for r in mine:
            if r[1] in known:
                assert r[6] == known[r[1]], r
        # The page: the same records and summary; every tree drawn.
        html = records[source]
        assert len(html) == len(mine), source
        for rec, r in zip(html, mine):
            judgement, items, count, over, trees, drawn = rec
            assert (judgement, items, count, over) == (r[2], r[1], r[3], False), (rec, r)
            assert trees == (r[5].split(" | ") if r[5] else []), (rec, r)
            assert drawn == (judgement != "cannot_combine"), rec
        summary = summaries[source]
        assert summary["c"] == [expected[k] for k in report_files.SUMMARY_KEYS], summary
        assert summary["a"] == [report["averages"]["covert"], report["averages"]["overt"]]


def check_limited_run(text, table, page):
    _, rows = table
    _, records, _ = page
    left_out = 0
    for source, report in text.items():
        mine = [r for r in rows if r[0] == source]
        for rec, r in zip(records[source], mine):
            if r[2] in ("overt", "covert"):
                # More parses than the limit: their number, no roots, no trees.
                assert int(r[3]) >= 2 and r[4:] == ["", "", ""], r
                assert rec[2] == r[3] and rec[3] and rec[4] == [], rec
                left_out += 1
            elif r[2] == "one_way":
                assert r[3] == "1" and r[4] and r[5], r
        counts = collections.Counter(r[2] for r in mine)
        assert counts["overt"] == report["counts"]["overt"], source
    assert left_out == 6 + 13 + 5 + 7, left_out


CSV_JUDGEMENTS = ["cannot_combine", "one_way", "overt", "covert"]


def change_blocks(blocks):
    """The changed patterns of the page's section 变化 and its tables (None
    without them)."""
    changes = [c for b in blocks if b["k"] == "c" for c in b["c"]]
    tables = [b for b in blocks if b["k"] == "ct"]
    assert len(tables) <= 1, tables
    return changes, tables[0] if tables else None


def check_changes(directory, examples, rules, status=0, *options):
    """Compare the examples with `rules` as rules.txt against their own
    rules (a rules file, or with "--baseline" the CSV table a run of them
    wrote): the page's changes are the rows of the CSV table of changes."""
    shutil.copy(os.path.join(examples, "rules.txt"), os.path.join(directory, "rules.txt"))
    if "--baseline" in options:
        subprocess.run([sys.argv[1], "-C", directory, "--csv", "old.csv"], check=True,
                       capture_output=True)
    else:
        options = ("--compare-rules", "old.txt") + options
    shutil.copy(os.path.join(examples, "rules.txt"), os.path.join(directory, "old.txt"))
    with open(os.path.join(directory, "rules.txt"), "wb") as f:
        f.write(rules)
    done = subprocess.run([sys.argv[1], "-C", directory, "--html", "report.html",
                           "--changes", "changes.csv"] + list(options), capture_output=True)
    assert done.returncode == status, done.stderr.decode()
    _, rows = report_files.read_csv(os.path.join(directory, "changes.csv"))
    blocks, _, _ = report_files.read_html_data(os.path.join(directory, "report.html"))
    changes, tables = change_blocks(blocks)
    assert tables is not None, "no tables in the section 变化"
    page = []
    for c in changes:
        def judgement(side):
            return CSV_JUDGEMENTS[side[0]] if side else ""

        def count(side):
            return str(side[1]) if side else ""
        page.append([c["s"], c["i"], judgement(c["o"]), judgement(c["n"]), count(c["o"]),
                     count(c["n"]), " | ".join(c["np"][k] for k in c["g"]),
                     " | ".join(c["op"][k] for k in c["l"]), "; ".join(c["rg"]),
                     "; ".join(c["rl"])])
    assert page == rows, (page[:3], rows[:3])

    def index(judgement):
        return CSV_JUDGEMENTS.index(judgement) if judgement else 4
    for side in tables["src"]:
        mine = [r for r in rows if r[0] == side["s"]]
        assert side["ch"] == len(mine), (side["s"], side["ch"], len(mine))
        t = side["t"]
        for old in range(5):
            for new in range(5):
                if old == new:
                    continue
                moved = sum(1 for r in mine if index(r[2]) == old and index(r[3]) == new)
                assert t[old][new] == moved, (side["s"], old, new, t[old][new], moved)
        assert sum(map(sum, t)) == side["n"], side
    return rows, tables


def check_comparisons(examples):
    with open(os.path.join(examples, "rules.txt"), "rb") as f:
        rules = f.read()
    with tempfile.TemporaryDirectory() as directory:
        for name in ("tags.txt", "sequences.txt", "config.ini"):
            shutil.copy(os.path.join(examples, name), directory)
        # R14 removed: the lost parse of v n u<的> n, with R14 named.
        lines = rules.split(b"\n")
        rows, _ = check_changes(directory, examples,
                                b"\n".join(l for l in lines if b"[ R14 ]" not in l))
        row = [r for r in rows if r[:2] == ["sequences", "v n u<的> n"]]
        assert row and row[0][2:4] == ["overt", "one_way"], row
        assert row[0][7] == "(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))", row
        # The same rules: a diagonal table and no changes.
        rows, tables = check_changes(directory, examples, rules)
        assert rows == [] and all(t[o][n] == 0 for side in tables["src"] for t in [side["t"]]
                                  for o in range(5) for n in range(5) if o != n), tables
        # A limit of one listed parse: patterns whose parses cannot be compared.
        rows, _ = check_changes(directory, examples,
                                b"\n".join(l for l in lines if b"[ R14 ]" not in l), 1,
                                "--max-parses=1")
        assert rows, "no changes with a limit of one parse"
        # The table an earlier run wrote as the baseline.
        rows, _ = check_changes(directory, examples,
                                b"\n".join(l for l in lines if b"[ R14 ]" not in l), 0,
                                "--baseline", "old.csv")
        assert any(r[:2] == ["sequences", "v n u<的> n"] for r in rows), rows


def main():
    binary, examples, golden = sys.argv[1:4]
    with tempfile.TemporaryDirectory() as directory:
        for name in ("tags.txt", "rules.txt", "sequences.txt", "config.ini"):
            shutil.copy(os.path.join(examples, name), directory)
        outputs = run(binary, directory, 0, "--threads=2")
        with open(os.path.join(directory, "report.txt"), "rb") as a, open(golden, "rb") as b:
            assert a.read() == b.read(), "the text report is not the golden one"
        check_full_run(*outputs)
        assert change_blocks(outputs[2][0]) == ([], None), "a section 变化 without a comparison"
        # Exit status 1: each permutation left out is named in a message.
        check_limited_run(*run(binary, directory, 1, "--max-parses=1"))
    check_comparisons(examples)
    print("CSV and HTML data agree with the text report")


if __name__ == "__main__":
    main()
