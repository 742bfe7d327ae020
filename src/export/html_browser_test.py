#!/usr/bin/env python3
"""The HTML report of the examples in a real browser (headless Chromium
through Selenium and chromedriver): no script errors; the summary numbers
are the text report's; the search box leaves only the patterns that hold
what is typed; a judgement filter leaves only overt ambiguities; a shown
pattern has its trees drawn as SVG, the differing roots marked, and its
divergence points listed; the 歧义来源 table counts the patterns of each set
of competing rules and a click on a row filters the patterns; the
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


def make_report(binary, directory, files, status=0):
    for name, source in files.items():
        if isinstance(source, bytes):
            with open(os.path.join(directory, name), "wb") as f:
                f.write(source)
        else:
            shutil.copy(source, os.path.join(directory, name))
    done = subprocess.run([binary, "-C", directory, "--html", "report.html", "--csv",
                           "report.csv"], capture_output=True)
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
        finally:
            driver.quit()
    print("the HTML report works in Chromium; %d nodes, texts and edges laid out as in C++"
          % compared)
    return 0


if __name__ == "__main__":
    sys.exit(main())
