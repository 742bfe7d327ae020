#!/usr/bin/env python3
"""The HTML report of the examples in a real browser (headless Chromium
through Selenium and chromedriver): no script errors; the summary numbers
are the text report's; the search box leaves only the patterns that hold
what is typed; a judgement filter leaves only overt ambiguities; a shown
pattern has its trees drawn as SVG, the differing roots marked, and its
divergence points listed; the 歧义来源 table counts the patterns of each set
of competing rules and a click on a row filters the patterns; each point's
top nodes are framed in the trees; many parses come in groups whose counts
add up; with a comparison, the section 变化 has the transition tables, a
click on a cell filters the changed patterns, lost parses are marked; the
rankings sort by column; the page's tree layout puts every node, text and
edge where the C++ layout puts them; data made of HTML's own characters is
shown as text, never run.

Skips (exit 77) only when Chromium is not installed.

Usage: html_browser_test.py marvolen-report run-layout-dump EXAMPLES GOLDEN"""

import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import report_files  # noqa: E402

SKIP = 77


def find_chromium():
    for name in ("chromium", "chromium-browser", "google-chrome"):
        path = shutil.which(name)
        if path:
            return path
    return None


def start_browser(chromium, profile):
    # Without Selenium or chromedriver the test fails: tools/setup installs
    # them with Chromium.
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = chromium
    for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--user-data-dir=" + profile, "--window-size=1280,900"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver_path = shutil.which("chromedriver") or "/usr/lib/chromium/chromedriver"
    return webdriver.Chrome(service=Service(driver_path), options=options)


def make_report(binary, directory, files, status=0, extra=()):
    for name, source in files.items():
        if isinstance(source, bytes):
            with open(os.path.join(directory, name), "wb") as f:
                f.write(source)
        else:
            shutil.copy(source, os.path.join(directory, name))
    done = subprocess.run([binary, "-C", directory, "--html", "report.html", "--csv",
                           "report.csv"] + list(extra), capture_output=True)
    assert done.returncode == status, done.stderr.decode()
    return os.path.join(directory, "report.html")


def open_page(driver, path):
    driver.get("file://" + path)
    deadline = time.time() + 30
    while not driver.execute_script("return !!(window.marvolen && window.marvolen.ready)"):
        assert time.time() < deadline, "the page never became ready"
        time.sleep(0.05)


def script_errors(driver):
    return [e for e in driver.get_log("browser") if e["level"] in ("SEVERE", "ERROR")]


def wait_for(driver, condition, what):
    deadline = time.time() + 10
    while not driver.execute_script(condition):
        assert time.time() < deadline, what
        time.sleep(0.05)


# Every entry shown in the sections not hidden: [source, judgement, items].
SHOWN_ENTRIES = """
  const out = [];
  document.querySelectorAll('section.report:not(.hidden) details.cat[data-j]:not(.hidden)')
    .forEach(d => {
      d.querySelectorAll('.entry, .entry-chip').forEach(e => out.push(
        [d.closest('section').dataset.source, d.dataset.j, e.dataset.items]));
    });
  return out;"""

OPEN_ALL = "document.querySelectorAll('details.cat').forEach(d => { d.open = true; });"


def contains_run(items, words):
    return any(items[k:k + len(words)] == words for k in range(len(items) - len(words) + 1))


def check_summary(driver, text):
    for source, report in text.items():
        cells = driver.execute_script("""
          const out = {};
          document.querySelectorAll('.summary[data-source="' + arguments[0] + '"] tr[data-key]')
            .forEach(tr => { out[tr.dataset.key] = tr.querySelector('td').textContent; });
          return out;""", source)
        for key in report_files.SUMMARY_KEYS:
            assert cells[key] == str(report["counts"][key]), (source, key, cells)
        for kind in ("covert", "overt"):
            expected = report["averages"][kind] or "无"
            assert cells[kind + "-average"] == expected, (source, kind, cells)


def check_search(driver, rows):
    from selenium.webdriver.common.by import By
    box = driver.find_element(By.ID, "search")
    box.send_keys("v n")
    wait_for(driver, "return document.getElementById('status').textContent.startsWith('找到')",
             "the search did not finish")
    driver.execute_script(OPEN_ALL)
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert shown, "nothing found for v n"
    for source, j, items in shown:
        assert contains_run(items.split(" "), ["v", "n"]), (source, j, items)
    # Every section counts the patterns that hold "v n" among all of it.
    expected = {}
    for row in rows:
        if contains_run(row[1].split(" "), ["v", "n"]):
            key = (row[0], str(report_files.JUDGEMENTS.index(row[2])))
            expected[key] = expected.get(key, 0) + 1
    counts = driver.execute_script("""
      const out = [];
      document.querySelectorAll('section.report details.cat[data-j]').forEach(d => out.push(
        [d.closest('section').dataset.source, d.dataset.j,
         d.querySelector('summary .n').textContent]));
      return out;""")
    for source, j, text in counts:
        found = re.match(r"(\d+) / (\d+) 个$", text)
        assert found and int(found.group(1)) == expected.get((source, j), 0), (source, j, text)
    # The rankings keep only such patterns too.
    ranked = driver.execute_script("""
      return Array.from(document.querySelectorAll('.rank-table td.items'))
        .map(td => td.textContent);""")
    assert ranked and all(contains_run(r.split(" "), ["v", "n"]) for r in ranked), ranked
    box.clear()
    driver.execute_script("window.marvolen.update();")


def check_overt_filter(driver):
    from selenium.webdriver.common.by import By
    for value in ("0", "1", "3"):
        driver.find_element(By.CSS_SELECTOR, '#judgements input[value="%s"]' % value).click()
    driver.execute_script(OPEN_ALL)
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert shown, "no overt ambiguity shown"
    assert {j for _, j, _ in shown} == {"2"}, {j for _, j, _ in shown}
    assert {s for s, _, _ in shown} == {"tagset", "sequences"}
    rankings = driver.execute_script("""
      return Array.from(document.querySelectorAll('.ranking'))
        .filter(r => !r.classList.contains('hidden')).map(r => r.dataset.ranking);""")
    assert set(rankings) == {"2"}, rankings
    # And by source: only the sequences.
    driver.find_element(By.CSS_SELECTOR, '#sources input[value="tagset"]').click()
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert shown and {s for s, _, _ in shown} == {"sequences"}, shown
    for value in ("0", "1", "3"):
        driver.find_element(By.CSS_SELECTOR, '#judgements input[value="%s"]' % value).click()
    driver.find_element(By.CSS_SELECTOR, '#sources input[value="tagset"]').click()


def check_trees(driver):
    tree = driver.execute_script("""
      const d = document.querySelector('section[data-source="sequences"] details[data-j="2"]');
      d.open = true;
      const e = Array.from(d.querySelectorAll('.entry'))
        .find(e => e.dataset.items === 'v n u<的> n');
      if (!e) return null;
      const svg = e.querySelector('.trees svg');
      if (!svg) return {};
      return {texts: Array.from(svg.querySelectorAll('text')).map(t => t.textContent),
              marks: svg.querySelectorAll('rect.mark').length,
              width: svg.getBoundingClientRect().width};""")
    assert tree, "v n u<的> n is not shown"
    assert "texts" in tree, "v n u<的> n has no SVG"
    for text in ("[1]", "[2]", "VP", "NP", "述宾", "定中", "u<的>"):
        assert text in tree["texts"], (text, tree["texts"])
    assert tree["marks"] == 2, tree  # the two roots, VP and NP
    assert tree["width"] > 100, tree


def has_point_of(row, rules):
    """Whether the CSV row has a divergence point whose competing rules are
    the set `rules`."""
    points = row[6].split(" ") if row[6] else []
    return any(sorted(p.split(":")[1].split("|")) == sorted(rules) for p in points)


def check_divergences(driver, rows):
    """The points of the issue's two examples under their patterns; the
    歧义来源 table counts R07|R08 as the CSV does, and a click on its row
    shows exactly the patterns with such a point."""
    points = driver.execute_script("""
      document.querySelectorAll('details.cat').forEach(d => { d.open = true; });
      const out = {};
      document.querySelectorAll('section[data-source="sequences"] .entry').forEach(e => {
        out[e.dataset.items] = Array.from(e.querySelectorAll('.point')).map(p => p.textContent);
      });
      return out;""")
    assert points["n n n"] == ["歧义点 1-3: R07 NP -> n NP | R08 NP -> NP n"], points["n n n"]
    assert points["v n u<的> n"] == ["歧义点 1-4: R34 VP -> v NP | R08 NP -> NP n"], \
        points["v n u<的> n"]
    assert driver.execute_script("return document.querySelectorAll('.entry.j1 .point').length") \
        == 0, "a pattern of one parse has no point"
    for source in ("tagset", "sequences"):
        mine = [r for r in rows if r[0] == source]
        table = driver.execute_script("return window.marvolen.sourcesFor(arguments[0]);", source)
        assert table, source
        counts = [t["o"] + t["c"] for t in table]
        assert counts == sorted(counts, reverse=True), counts
        row = [t for t in table if t["t"] == "R07|R08"]
        assert row, (source, [t["t"] for t in table])
        covert = sum(1 for r in mine if r[2] == "covert" and has_point_of(r, ["R07", "R08"]))
        overt = sum(1 for r in mine if r[2] == "overt" and has_point_of(r, ["R07", "R08"]))
        assert (row[0]["c"], row[0]["o"]) == (covert, overt), (source, row[0], covert, overt)
        assert covert > 0 and len(row[0]["x"]) == min(3, covert + overt), row[0]
    # A click on the row filters the patterns of its report; a second shows all.
    expected = sorted(r[1] for r in rows
                      if r[0] == "sequences" and has_point_of(r, ["R07", "R08"]))
    click = """
      const tr = Array.from(document.querySelectorAll(
        'section[data-source="sequences"] tr.source')).find(t => t.children[0].textContent ===
        'R07|R08');
      tr.click();"""
    driver.execute_script(click)
    driver.execute_script(OPEN_ALL)
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert sorted(i for s, j, i in shown if s == "sequences") == expected, (shown, expected)
    status = driver.execute_script("return document.getElementById('status').textContent")
    assert status.startswith("歧义来源 R07|R08："), status
    driver.execute_script(click)
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert len([1 for s, _, _ in shown if s == "sequences"]) == \
        len([r for r in rows if r[0] == "sequences"]), "the second click shows every pattern"


# The framed top nodes of the points of every shown pattern of a source:
# {items: [[tree, label, span, text under the frame], ...]} with the
# patterns' points, and their numbers of trees.
POINT_MARKS = """
  document.querySelectorAll('details.cat').forEach(d => { d.open = true; });
  const out = {};
  document.querySelectorAll('section[data-source="' + arguments[0] + '"] .entry').forEach(e => {
    const svg = e.querySelector('.trees svg');
    if (!svg) return;
    const texts = Array.from(svg.querySelectorAll('text'));
    const marks = Array.from(svg.querySelectorAll('rect.point-mark')).map(r => {
      const x = Number(r.getAttribute('x')), y = Number(r.getAttribute('y'));
      const w = Number(r.getAttribute('width')), h = Number(r.getAttribute('height'));
      const inside = texts.filter(t => {
        const tx = Number(t.getAttribute('x')), ty = Number(t.getAttribute('y'));
        return tx > x && tx < x + w && ty > y && ty < y + h;
      }).map(t => t.textContent);
      return [Number(r.dataset.tree), r.dataset.label, r.dataset.span, inside];
    });
    out[e.dataset.items] = {marks: marks,
      points: Array.from(e.querySelectorAll('.point')).map(p => p.textContent),
      trees: texts.filter(t => /^\[\d+\]$/.test(t.textContent)).length};
  });
  return out;"""


def check_point_marks(driver):
    """Each point's top node is framed in every tree, on the node of the
    competing rules (R34's VP and R08's NP over 1-4 for v n u<的> n), apart
    from the marks of what differs."""
    shown = driver.execute_script(POINT_MARKS, "sequences")
    assert shown["v n u<的> n"]["marks"] == [[0, "VP", "1-4", ["VP", "述宾"]],
                                            [1, "NP", "1-4", ["NP", "定中"]]], shown["v n u<的> n"]
    assert shown["n n n"]["marks"] == [[0, "NP", "1-3", ["NP", "定中"]],
                                      [1, "NP", "1-3", ["NP", "定中"]]], shown["n n n"]
    checked = 0
    for source in ("tagset", "sequences"):
        for items, entry in driver.execute_script(POINT_MARKS, source).items():
            spans = {}
            for point in entry["points"]:
                found = re.match(r"歧义点 (\S+): (.*)$", point)
                spans[found.group(1)] = [r.split(" ")[1] for r in found.group(2).split(" | ")]
            # One frame per point and tree, each on a node the point's
            # competing rules build (the left tag of one of them).
            assert len(entry["marks"]) == len(spans) * entry["trees"], (items, entry)
            for tree, label, span, inside in entry["marks"]:
                assert label in spans[span], (items, span, label, spans)
                assert inside and inside[0] == label, (items, label, inside)
                checked += 1
    assert checked > 40, checked
    # The two kinds of marks are told apart, and the legend says which is which.
    legend = driver.execute_script("""
      return Array.from(document.querySelectorAll('section.report .legend span'))
        .map(s => s.className + ':' + s.textContent);""")
    assert "swatch mark:" in legend and "swatch point:" in legend, legend


def check_point_below_shared_nodes(driver, binary, directory):
    """A point under shared nodes over the same span: in v n n the parses
    share VP:vs(v, S:s(X)) and part at X (R2 against R3, over 2-3), so X is
    framed in both trees, not S above it."""
    page = make_report(binary, directory, {
        "tags.txt": b"TagSetBegin v , n TagSetEnd",
        "rules.txt": b"CFGRuleSetBegin\n&& [ R1 ] N -> n :: <TREE> = w\n"
                     b"&& [ R2 ] X -> N N :: <TREE> = A\n&& [ R3 ] X -> N N :: <TREE> = B\n"
                     b"&& [ R4 ] S -> X :: <TREE> = s\n&& [ R5 ] VP -> v S :: <TREE> = vs\n"
                     b"CFGRuleSetEnd\n",
        "sequences.txt": b"v n n\r\n",
        "config.ini": b"[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
                      b"RESULT=report.txt\n"})
    open_page(driver, page)
    shown = driver.execute_script(POINT_MARKS, "sequences")["v n n"]
    assert shown["points"] == ["歧义点 2-3: R3 X -> N N | R2 X -> N N"], shown
    assert shown["marks"] == [[0, "X", "2-3", ["X", "B"]], [1, "X", "2-3", ["X", "A"]]], shown
    errors = script_errors(driver)
    assert not errors, errors


def check_groups(driver, binary, directory):
    """A pattern of 336 parses (every binary bracketing of five items, each
    node of two titles, the root also M) is shown in groups by its root and
    the rule at its point; the counts add up to the parses, each group has
    its first trees drawn and the rest behind "show all"."""
    page = make_report(binary, directory, {
        "tags.txt": b"TagSetBegin n TagSetEnd",
        "rules.txt": b"CFGRuleSetBegin\n&& [ R1 ] N -> n :: <TREE> = w\n"
                     b"&& [ R2 ] N -> N N :: <TREE> = A\n&& [ R3 ] N -> N N :: <TREE> = B\n"
                     b"&& [ R4 ] M -> N N :: <TREE> = C\nCFGRuleSetEnd\n",
        "sequences.txt": b"n n n n n\r\nn n\r\n",
        "config.ini": b"[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
                      b"RESULT=report.txt\n"})
    open_page(driver, page)
    groups = driver.execute_script("""
      document.querySelectorAll('details.cat').forEach(d => { d.open = true; });
      const out = {};
      document.querySelectorAll('section[data-source="sequences"] .entry').forEach(e => {
        out[e.dataset.items] = {count: e.querySelector('.count') &&
                                       e.querySelector('.count').textContent,
          groups: Array.from(e.querySelectorAll('.group')).map(g => ({
            count: Number(g.dataset.count),
            head: g.querySelector('.group-head').textContent,
            drawn: Array.from(g.querySelectorAll(':scope > .trees svg text'))
              .filter(t => /^\[\d+\]$/.test(t.textContent)).map(t => t.textContent),
            rest: !!g.querySelector('details.group-rest')}))};
      });
      return out;""")
    five = groups["n n n n n"]
    assert five["count"] == "336 种组合方式", five["count"]
    assert sum(g["count"] for g in five["groups"]) == 336, five["groups"]
    heads = sorted(g["head"] for g in five["groups"])
    assert heads == ["根 M歧义点 1-5: R4 M -> N N112 种", "根 N歧义点 1-5: R2 N -> N N112 种",
                     "根 N歧义点 1-5: R3 N -> N N112 种"], heads
    for g in five["groups"]:
        assert len(g["drawn"]) == 3 and g["rest"], g
    # "n n" has two parses: drawn as before, no groups.
    assert groups["n n"]["groups"] == [], groups["n n"]
    # Opening a group's "show all" draws the rest of its trees, none lost.
    rest = driver.execute_script("""
      const e = Array.from(document.querySelectorAll('section[data-source="sequences"] .entry'))
        .find(e => e.dataset.items === 'n n n n n');
      const d = e.querySelector('details.group-rest');
      d.open = true;
      return new Promise(done => setTimeout(() => done(Array.from(d.querySelectorAll('svg text'))
        .filter(t => /^\[\d+\]$/.test(t.textContent)).length), 100));""")
    assert rest == 112 - 3, rest
    errors = script_errors(driver)
    assert not errors, errors


def read_changes(path):
    import csv
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    return rows[0], rows[1:]


def check_changes(driver, binary, directory, examples):
    """On a copy of the examples whose rules.txt lacks R14 (NP -> VP u<的>),
    compared with the examples' own rules: the section 变化 counts v n u<的>
    n among the overt -> one way patterns, a click on that cell shows exactly
    the changed patterns of that transition, the lost parse is marked lost,
    and a second click shows every changed pattern."""
    with open(os.path.join(examples, "rules.txt"), "rb") as f:
        rules = f.read()
    lines = rules.split(b"\n")
    kept = [line for line in lines if b"[ R14 ]" not in line]
    assert len(kept) == len(lines) - 1
    files = {name: os.path.join(examples, name) for name in ("tags.txt", "sequences.txt",
                                                             "config.ini")}
    files["rules.txt"] = b"\n".join(kept)
    files["old-rules.txt"] = rules
    page = make_report(binary, directory, files,
                       extra=["--compare-rules", "old-rules.txt", "--changes", "changes.csv"])
    header, rows = read_changes(os.path.join(directory, "changes.csv"))
    assert header[:4] == ["source", "items", "old_judgement", "new_judgement"], header
    open_page(driver, page)
    cell = """
      return Array.from(document.querySelectorAll('#changes td.cell')).find(td =>
        td.dataset.s === arguments[0] && td.dataset.from === arguments[1] &&
        td.dataset.to === arguments[2]);"""
    count = driver.execute_script("return arguments[0] ? arguments[0].textContent : null;",
                                  driver.execute_script(cell, "sequences", "2", "1"))
    expected = sorted(r[1] for r in rows if r[0] == "sequences" and r[2] == "overt" and
                      r[3] == "one_way")
    assert "v n u<的> n" in expected, expected
    assert count == str(len(expected)), (count, expected)
    # The tables of both sources, each changed pattern counted in one cell.
    total = driver.execute_script("""
      let changed = 0;
      document.querySelectorAll('#changes td.cell').forEach(td => {
        if (td.dataset.from !== td.dataset.to) changed += Number(td.textContent);
      });
      return changed;""")
    moved = sum(1 for r in rows if r[2] != r[3])
    assert total == moved, (total, moved)
    shown_changes = """
      return Array.from(document.querySelectorAll('#changes .change')).map(e =>
        [e.dataset.kind, e.dataset.transition, e.dataset.items]);"""
    driver.execute_script("arguments[0].click();", driver.execute_script(cell, "sequences", "2", "1"))
    shown = driver.execute_script(shown_changes)
    assert sorted(i for _, _, i in shown) == expected, (shown, expected)
    assert {(k, t) for k, t, _ in shown} == {("sequences", "2-1")}, shown
    status = driver.execute_script(
        "return document.querySelector('#changes .change-status').textContent")
    assert status.endswith("有变化的格式 %d 个" % len(expected)), status
    entry = driver.execute_script("""
      const e = Array.from(document.querySelectorAll('#changes .change'))
        .find(e => e.dataset.items === 'v n u<的> n');
      const side = kind => {
        const s = e.querySelector('.side.' + kind);
        return {lost: Array.from(s.querySelectorAll('li.lost')).map(li => li.dataset.text),
                gained: Array.from(s.querySelectorAll('li.gained')).map(li => li.dataset.text),
                all: Array.from(s.querySelectorAll('li')).map(li => li.dataset.text),
                frames: Array.from(s.querySelectorAll('svg rect[class^="frame-"]'))
                  .map(r => r.getAttribute('class') + ':' + r.dataset.tree),
                marked: Array.from(s.querySelectorAll('svg text'))
                  .filter(t => t.getAttribute('fill') === '#b3261e').map(t => t.textContent)};
      };
      return {old: side('lost'), now: side('gained'),
              rules: e.querySelector('.rules-lost') && e.querySelector('.rules-lost').textContent};""")
    lost = "(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))"
    assert entry["old"]["lost"] == [lost], entry
    assert entry["old"]["frames"] == ["frame-lost:%d" % entry["old"]["all"].index(lost)], entry
    assert entry["now"]["gained"] == [] and entry["now"]["frames"] == [], entry
    assert len(entry["now"]["all"]) == 1 and entry["now"]["all"][0] in entry["old"]["all"], entry
    # The nodes of the rules only the lost parse uses are marked in its tree:
    # R14's NP over VP u<的> and R33's VP over v n.
    assert entry["rules"] == "只有去掉的组合方式用到的规则：R14 NP -> VP u<的>；R33 VP -> v n", entry
    assert entry["old"]["marked"] == ["NP", "的字结构", "VP", "述宾"], entry
    # A second click shows every changed pattern, changes of judgement first.
    driver.execute_script("arguments[0].click();", driver.execute_script(cell, "sequences", "2", "1"))
    status = driver.execute_script(
        "return document.querySelector('#changes .change-status').textContent")
    assert status == "有变化的格式共 %d 个：" % len(rows), (status, len(rows))
    shown = driver.execute_script(shown_changes)
    assert len(shown) == min(len(rows), 20), (len(shown), len(rows))
    firsts = [t.split("-")[0] != t.split("-")[1] for _, t, _ in shown]
    assert firsts == sorted(firsts, reverse=True), firsts
    errors = script_errors(driver)
    assert not errors, errors


def check_sorting(driver):
    counts = driver.execute_script("""
      const r = document.querySelector('section[data-source="tagset"] .ranking');
      const th = Array.from(r.querySelectorAll('th')).find(t => t.dataset.key === 'count');
      const read = () => Array.from(r.querySelectorAll('tr')).slice(1)
        .map(tr => [Number(tr.children[0].textContent), Number(tr.children[2].textContent)]);
      const before = read();
      th.click();
      const descending = read();
      th.click();
      return [before, descending, read()];""")
    before, descending, ascending = counts
    assert [r[0] for r in before] == list(range(1, len(before) + 1)), before
    assert [r[1] for r in descending] == sorted((r[1] for r in before), reverse=True)
    assert [r[1] for r in ascending] == sorted(r[1] for r in before)


def close_enough(a, b):
    if isinstance(a, (int, float)) and isinstance(b, (int, float)):
        return abs(a - b) < 1e-9
    return a == b


def check_layout(driver, dump_binary, examples):
    done = subprocess.run([dump_binary, examples], capture_output=True, check=True)
    expected = [json.loads(line) for line in done.stdout.decode("utf-8").splitlines()]
    assert len(expected) > 200, len(expected)
    actual = driver.execute_script("""
      return arguments[0].map(([kind, items]) => {
        const d = window.marvolen.layoutFor(kind, items);
        return d && {width: d.width, height: d.height,
          nodes: d.nodes.map(n => [n.left, n.top, n.width, n.height, n.marked]),
          texts: d.texts.map(t => [t.role, t.text, t.left, t.top, t.width, t.height]),
          edges: d.edges.map(e => [].concat(...e.points))};
      });""", [[e["kind"], e["items"]] for e in expected])
    compared = 0
    for want, got in zip(expected, actual):
        assert got, ("no trees in the page", want["kind"], want["items"])
        for key in ("width", "height"):
            assert close_enough(want[key], got[key]), (want["items"], key, want[key], got[key])
        for key in ("nodes", "texts", "edges"):
            assert len(want[key]) == len(got[key]), (want["items"], key)
            for w, g in zip(want[key], got[key]):
                assert len(w) == len(g) and all(map(close_enough, w, g)), (want["items"], w, g)
                compared += 1
    return compared


def check_awkward_data(driver, binary, directory):
    """Items, labels and titles made of HTML's and JSON's own characters are
    shown as text, never taken for markup."""
    items = ["x<<>", "x<\">", "</script>", "<b>x</b>", "<!--", "a\\b"]
    page = make_report(binary, directory, {
        "tags.txt": b"TagSetBegin n TagSetEnd",
        "rules.txt": b"CFGRuleSetBegin\n&& [ R1 ] NP -> n x<<> :: <TREE> = <\n"
                     b"&& [ R2 ] NP -> n x<\"> :: <TREE> = z\nCFGRuleSetEnd\n",
        "sequences.txt": ("\r\n".join("n " + i for i in items) + "\r\n").encode("gbk"),
        "config.ini": b"[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
                      b"RESULT=report.txt\n"})
    open_page(driver, page)
    driver.execute_script(OPEN_ALL)
    shown = driver.execute_script(SHOWN_ENTRIES)
    assert sorted(i for s, _, i in shown if s == "sequences") == sorted("n " + i for i in items)
    assert driver.execute_script("return document.querySelectorAll('main b').length") == 0
    drawn = driver.execute_script("""
      return Array.from(document.querySelectorAll('section[data-source="sequences"] svg text'))
        .map(t => t.textContent);""")
    for text in ("x<<>", "<", "x<\">", "z"):
        assert text in drawn, (text, drawn)
    errors = script_errors(driver)
    assert not errors, errors


def check_empty_run(driver, binary, directory):
    """A run that writes no report (no tags, no sequences) gives a page that
    says so."""
    page = make_report(binary, directory, {
        "tags.txt": b"TagSetBegin TagSetEnd",
        "rules.txt": b"CFGRuleSetBegin\nCFGRuleSetEnd\n",
        "sequences.txt": b"",
        "config.ini": b"[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\nRULES=rules.txt\n"
                      b"RESULT=report.txt\n"}, status=1)
    open_page(driver, page)
    assert driver.execute_script("return document.querySelectorAll('section.report').length") == 0
    assert "没有写出报告" in driver.execute_script("return document.getElementById('main').textContent")
    errors = script_errors(driver)
    assert not errors, errors


def check_rules(driver, binary, directory):
    """The section 规则 holds a row per rule, the rules no parse uses and the
    findings of --lint, as marvolen-report prints them."""
    binary = os.path.abspath(binary)
    lint = subprocess.run([binary, "--lint"], cwd=directory, capture_output=True)
    findings = lint.stdout.decode("utf-8").splitlines()
    effects = subprocess.run([binary, "--rule-effects"], cwd=directory, capture_output=True)
    text = effects.stdout.decode("utf-8")
    rules = re.findall(r"^(\S.*) \((rules\.txt:\d+)\)$", text, re.M)
    unused = text.split("Unused rules (no parse uses them):\n", 1)[1].splitlines()
    shown = driver.execute_script("""
      const section = document.getElementById('rules');
      const cells = tr => Array.from(tr.querySelectorAll('td')).map(td => td.textContent);
      return {
        rows: Array.from(section.querySelectorAll('table tr')).slice(1).map(cells),
        unused: Array.from(section.querySelectorAll('ul.unused-rules li')).map(li => li.textContent),
        lint: Array.from(section.querySelectorAll('ul.lint li')).map(li => li.textContent)};""")
    assert [tuple(row[:2]) for row in shown["rows"]] == rules, shown["rows"][:3]
    assert len(rules) > 40 and findings and unused, (len(rules), findings, unused)
    assert shown["lint"] == findings, (shown["lint"], findings)
    assert [u.strip() for u in unused] == [re.sub(r" \(rules\.txt:(\d+)\)$", r" (line \1)", u)
                                          for u in shown["unused"]], (unused, shown["unused"])
    first = re.search(r"^  tag set: used (.*)\n    without it: (.*)$", text, re.M)
    assert shown["rows"][0][2:4] == [first.group(1), first.group(2)], shown["rows"][0]


def main():
    binary, dump_binary, examples, golden = sys.argv[1:5]
    chromium = find_chromium()
    if not chromium:
        print("SKIP: Chromium is not installed (tools/setup installs chromium, "
              "chromium-driver and python3-selenium)")
        return SKIP
    text = report_files.read_text_report(golden)
    with tempfile.TemporaryDirectory() as directory:
        files = {name: os.path.join(examples, name)
                 for name in ("tags.txt", "rules.txt", "sequences.txt", "config.ini")}
        page = make_report(binary, directory, files)
        _, rows = report_files.read_csv(os.path.join(directory, "report.csv"))
        profile = os.path.join(directory, "profile")
        driver = start_browser(chromium, profile)
        try:
            open_page(driver, page)
            check_summary(driver, text)
            check_search(driver, rows)
            check_overt_filter(driver)
            check_trees(driver)
            check_divergences(driver, rows)
            check_point_marks(driver)
            assert driver.execute_script("return !document.getElementById('changes')"), \
                "a run without a comparison has no section 变化"
            check_sorting(driver)
            check_rules(driver, binary, directory)
            compared = check_layout(driver, dump_binary, examples)
            errors = script_errors(driver)
            assert not errors, errors
            awkward = os.path.join(directory, "awkward")
            os.mkdir(awkward)
            check_awkward_data(driver, binary, awkward)
            empty = os.path.join(directory, "empty")
            os.mkdir(empty)
            check_empty_run(driver, binary, empty)
            many = os.path.join(directory, "many")
            os.mkdir(many)
            check_groups(driver, binary, many)
            below = os.path.join(directory, "below")
            os.mkdir(below)
            check_point_below_shared_nodes(driver, binary, below)
            changed = os.path.join(directory, "changed")
            os.mkdir(changed)
            check_changes(driver, binary, changed, examples)
        finally:
            driver.quit()
    print("the HTML report works in Chromium; %d nodes, texts and edges laid out as in C++"
          % compared)
    return 0


if __name__ == "__main__":
    sys.exit(main())
