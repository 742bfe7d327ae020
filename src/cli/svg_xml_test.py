#!/usr/bin/env python3
"""marvolen-report --parse --svg writes well-formed SVG: every line of the
examples, and labels, titles and items made of the characters XML gives a
meaning, each drawn with all its texts, read back unchanged by an XML parser.

Usage: svg_xml_test.py PATH/TO/marvolen-report PATH/TO/examples"""

import os
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"


def parse(binary, directory, items, svg_path):
    done = subprocess.run([binary, "-C", directory, "--parse", items, "--svg", svg_path],
                          capture_output=True)
    if done.returncode != 0:
        sys.exit("exit %d for %r: %s" % (done.returncode, items, done.stderr.decode()))
    return done.stdout.decode("utf-8").splitlines()


def check(binary, directory, items, svg_path, expected_texts=()):
    lines = parse(binary, directory, items, svg_path)
    # The judgement, the divergence points, then the parses.
    parses = len([line for line in lines[1:] if not line.startswith("歧义点")])
    root = ET.parse(svg_path).getroot()  # raises on anything not well-formed
    assert root.tag == SVG + "svg", root.tag
    width, height = float(root.get("width")), float(root.get("height"))
    assert root.get("viewBox") == "0 0 %s %s" % (root.get("width"), root.get("height"))
    texts = [t.text for t in root.iter(SVG + "text")]
    for t in root.iter(SVG + "text"):
        assert 0 <= float(t.get("x")) <= width and 0 <= float(t.get("y")) <= height, items
    numbers = [t for t in texts if t.startswith("[") and t.endswith("]")]
    assert len(numbers) == (parses if parses > 1 else 0), (items, numbers)
    # Each parse shows every item once as a leaf.
    for item in items.split():
        assert texts.count(item) >= parses, (items, item, texts)
    for text in expected_texts:
        assert text in texts, (items, text, texts)
    return parses


def main():
    binary, examples = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory() as tmp:
        svg = os.path.join(tmp, "trees.svg")
        with open(os.path.join(examples, "sequences.txt"), encoding="gbk") as f:
            lines = [line.strip() for line in f if line.strip()]
        total = sum(check(binary, examples, line, svg) for line in lines)
        assert total > len(lines), total

        # Tree titles and items made of & < > " '.
        data = os.path.join(tmp, "data")
        os.mkdir(data)
        with open(os.path.join(data, "config.ini"), "w") as f:
            f.write("[DATA]\nTAGS=tags.txt\nRULES=rules.txt\n")
        with open(os.path.join(data, "tags.txt"), "w") as f:
            f.write("TagSetBegin a , b TagSetEnd\n")
        with open(os.path.join(data, "rules.txt"), "wb") as f:
            f.write("CFGRuleSetBegin\n"
                    "&& [ R1 ] X -> a b :: <TREE> = &\n"
                    "&& [ R2 ] Y -> a b :: <TREE> = <\n"
                    "&& [ R3 ] Z -> a b :: <TREE> = \"\n"
                    "&& [ R4 ] W -> a b :: <TREE> = ~ '\n"
                    "&& [ R5 ] V -> a b :: <TREE> = 定中\n"
                    "CFGRuleSetEnd\n".encode("gbk"))
        assert check(binary, data, "a b", svg, ["&", "<", '"', "'", "定中"]) == 5
        assert check(binary, data, "x&<q>\"'", svg, ["x&<q>\"'"]) == 1
        assert check(binary, data, "a a b", svg) == 0
    print("ok: %d example lines, %d trees" % (len(lines), total))


if __name__ == "__main__":
    main()
