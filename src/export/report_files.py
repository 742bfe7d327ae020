"""Reading the three outputs of a run for the tests: the text report (GBK,
CR LF), the CSV table and the data blocks of the HTML report.

Each reader works from the bytes alone, written from the outputs' documented
forms, so that the tests compare three independent readings of one run."""

import csv
import io
import json
import re

SOURCES = ("tagset", "sequences")
JUDGEMENTS = ("cannot_combine", "one_way", "overt", "covert")

# The seven counts of a report's summary, in order, as the text report words
# them (the tag-set report's first three, the sequences report's first three,
# then the four both share).
_TAGSET_HEAD = ("全部标记全排列——共有排列", "无组合关系的排列", "有组合关系的排列")
_SEQUENCES_HEAD = ("sequences.txt文件中共有排列", "其中无组合关系的排列", "其中有组合关系的排列")
_SHARED = ("其中只有一种组合关系的排列", "其中有两种以上组合关系的排列", "其中有外显型歧义的排列",
           "其中有内含型歧义的排列")
SUMMARY_KEYS = ("analysed", "cannot", "combinable", "oneway", "several", "overt", "covert")

# A section's heading; its name is what stands between the report's words
# and "排列如下" or "程度统计": "的全部", "不能组合的", "能组合的",
# "只有一种组合方式(无歧义)的", "外显型歧义的", "内含型歧义的", and for the
# degree statistics "排列的歧义" or "歧义".
_SECTION = re.compile(r"\n\n(?:全部标记全排列——(?:3项|4项及5项)(?:词类或短语类标记)?|sequences\.txt文件中)"
                      r"(.*?)(?:排列如下|程度统计):\n\n")


def split_reports(text):
    """The text report (UTF-8 text, LF line ends) as {source: its text}."""
    at = text.find("\n\nsequences.txt文件中共有排列")
    if at < 0:
        return {"tagset": text}
    if text.find("全部标记全排列——共有排列") < 0:
        return {"sequences": text}
    return {"tagset": text[:at], "sequences": text[at:]}


def read_text_report(path):
    """{source: {"counts": {key: n}, "averages": {"covert": s|None, "overt": s|None},
    "sections": {name: [lines]}}} of the text report at `path`."""
    with open(path, "rb") as f:
        text = f.read().decode("gbk").replace("\r\n", "\n")
    out = {}
    for source, part in split_reports(text).items():
        head = _TAGSET_HEAD if source == "tagset" else _SEQUENCES_HEAD
        counts = {}
        for key, words in zip(SUMMARY_KEYS, head + _SHARED):
            found = re.search(re.escape(words) + r":(\d+)个\n", part)
            counts[key] = int(found.group(1))
        averages = {}
        for kind, words in (("covert", "内含型"), ("overt", "外显型")):
            found = re.search(words + r"歧义格式平均歧义个数：([0-9.]+)--------", part)
            averages[kind] = found.group(1) if found else None
        sections = {}
        marks = list(_SECTION.finditer(part))
        for k, m in enumerate(marks):
            end = marks[k + 1].start() if k + 1 < len(marks) else len(part)
            sections[m.group(1)] = part[m.end():end].split("\n")
        out[source] = {"counts": counts, "averages": averages, "sections": sections}
    return out


def listed_parses(section_lines):
    """{items: [bracketed parse, ...]} of a one-way, overt or covert section:
    an entry is "\\t<items>" then its parses "\\t\\t(...)" or "\\t\\t[k](...)"."""
    entries = {}
    items = None
    for line in section_lines:
        if line.startswith("\t\t"):
            entries[items].append(re.sub(r"^\[\d+\]", "", line[2:]))
        elif line.startswith("\t") and not line.startswith("\t没有"):
            items = line[1:].rstrip(" ")
            entries[items] = []
    return entries


def cell_text(cell):
    """The text of a CSV cell without the quote that keeps a spreadsheet from
    taking it for a formula."""
    if len(cell) > 1 and cell[0] == "'" and cell[1] in "=+-@\t\r":
        return cell[1:]
    return cell


def read_csv(path):
    """The header and the rows of a CSV table at `path`, each cell as its
    text (cell_text)."""
    with open(path, "rb") as f:
        data = f.read()
    assert data.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
    rows = list(csv.reader(io.StringIO(data.decode("utf-8-sig"), newline="")))
    assert data.endswith(b"\r\n") and data.count(b"\n") == data.count(b"\r\n"), "not CR LF"
    rows = [[cell_text(cell) for cell in row] for row in rows]
    return rows[0], rows[1:]


def read_html_data(path):
    """The data blocks of the HTML report at `path`, as decoded JSON, with
    {source: [records as (judgement, items text, count text, over limit,
    [bracketed parse, ...], drawn)]} and {source: summary block}; the
    divergence points of a record are read by record_points."""
    with open(path, encoding="utf-8") as f:
        page = f.read()
    blocks = [json.loads(b) for b in re.findall(
        r'<script type="application/json" class="mv-data">(.*?)</script>', page, re.S)]
    strings, texts, kinds, records, summaries = [], [], {}, {}, {}
    for block in blocks:
        if block["k"] == "b":
            kinds[block["r"]] = block["kind"]
            records[block["kind"]] = []
        elif block["k"] == "p":
            strings += block["s"]
            texts += block["x"]
            for line in block["p"].split(" "):
                records[kinds[block["r"]]].append(_record(line, strings, texts))
        elif block["k"] == "e":
            summaries[kinds[block["r"]]] = block
    return blocks, records, summaries


def _record(line, strings, texts):
    parts = line.split("|")
    head = parts[0].split("@")[0]
    judgement = JUDGEMENTS[int(head[0])]
    items_end = len(head)
    for c in "#!":
        if c in head:
            items_end = min(items_end, head.index(c))
    items = " ".join(strings[int(k)] for k in head[1:items_end].split(".") if k != "")
    count = head[head.index("#") + 1:].rstrip("!") if "#" in head else str(len(parts) - 1)
    trees, drawn = [], True
    for code in parts[1:]:
        if code.startswith("~"):
            trees.append(texts[int(code[1:])])
            drawn = False
        else:
            trees.append("(" + _bracketed(code, strings) + ")")
    return (judgement, items, count, "!" in head, trees, drawn and bool(trees))


def record_points(line, strings):
    """The divergence points of a record as [(span, [competing rule, ...])]."""
    head = line.split("|")[0]
    if "@" not in head:
        return []
    points = []
    for point in head.split("@")[1].split(";"):
        span, rules = point.split(":")
        points.append((span, [strings[int(k)] for k in rules.split(".")]))
    return points


def _bracketed(code, strings):
    """The bracketed text of a tree code (marks left out)."""
    out = []
    for token in re.findall(r"\*|\d+|[:(),]", code):
        if token == "*":
            continue
        out.append(strings[int(token)] if token.isdigit() else token)
    return "".join(out)
