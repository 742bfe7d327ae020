#!/usr/bin/env python3
"""Reference model of a Marvolen analysis run, written independently of the
C++ code and kept deliberately naive: the lexer, the three readers, the
literal breadth-first reduction search and both reports, straight from the
documented behaviour. Used by tools/crosscheck.py to compare the report bytes
and messages of marvolen-report with this model on random inputs.

Usage: refmodel.py DIR   (runs the analysis in DIR as marvolen-report -C DIR
would; writes the report file there and prints the messages, one per line)."""

import os
import sys

GBK = "gbk"


def g(s):
    return s.encode(GBK)


# ---------------------------------------------------------------- streams

class In:
    def __init__(self, data):
        # text mode: a Ctrl-Z byte ends the input, CR LF arrives as LF
        self.d = data.split(b"\x1a")[0].replace(b"\r\n", b"\n")
        self.p = 0
        self.back = []
        self.eof = False

    def get(self):
        if self.back:
            return self.back.pop()
        if self.p >= len(self.d):
            self.eof = True
            return -1
        c = self.d[self.p]
        self.p += 1
        return c

    def unget(self, c):
        if c < 0 or len(self.back) >= 2:
            return
        self.back.append(c)
        self.eof = False

    def readline(self, n=99):
        out = bytearray()
        while len(out) < n:
            c = self.get()
            if c < 0:
                break
            out.append(c)
            if c == 10:
                break
        return bytes(out)


# ---------------------------------------------------------------- lexer

def read_char(s):
    c = s.get()
    if c < 0:
        return -1, b""
    if c >= 0x80:
        c2 = s.get()
        if c2 < 0:
            # the lead byte is lost; pushing it back reads it again the same way
            return -1, bytes([c])
        return c2, bytes([c, c2])
    return c, bytes([c])


def unread_char(ch, s):
    if len(ch) == 2:
        s.unget(ch[1])
        s.unget(ch[0])
    elif len(ch) == 1 and ch[0] < 0x80:
        s.unget(ch[0])


def is_space(ch):
    return len(ch) == 1 and ch[0] in (0x20, 9, 10, 11, 12, 13)


def is_letter(ch):
    return len(ch) == 1 and (65 <= ch[0] <= 90 or 97 <= ch[0] <= 122)


def is_digit(ch):
    return len(ch) == 1 and 48 <= ch[0] <= 57


def is_hanzi(ch):
    return len(ch) == 2 and (ch[0] > 0xB0 or (ch[0] == 0xB0 and ch[1] >= 0xA1))


MARKS = [b"\xa3\xa1", b"\xa1\xa3", b"\xa1\xa2", b"\xa1\xb6", b"\xa1\xb7",
         b"\xa3\xbf", b"\xa3\xac", b"\xa1\xb0", b"\xa1\xb1", b"\xa3\xba"]


def is_punct(ch):
    if len(ch) == 1:
        c = ch[0]
        return 0x21 <= c <= 0x2F or 0x3A <= c <= 0x40 or 0x5B <= c <= 0x60 or 0x7B <= c <= 0x7E
    return ch in MARKS


class Tok:
    def __init__(self):
        self.kind = 0
        self.text = b""


def get_token(s, t):
    while True:
        r, ch = read_char(s)
        if r == -1 or not is_space(ch):
            break
    t.text = b""
    if r == -1:
        return -1
    text = ch
    if is_letter(ch) or is_hanzi(ch):
        while True:
            r, ch = read_char(s)
            if r != -1 and (is_letter(ch) or is_digit(ch) or is_hanzi(ch)):
                text += ch
            else:
                if r != -1:
                    unread_char(ch, s)
                break
        t.kind = 0
        t.text = text
        return len(text)
    c = ch[0] if len(ch) == 1 else None
    pairs = {ord("&"): (ord("&"), 2), ord(":"): (ord(":"), 4), ord("-"): (ord(">"), 6)}
    singles = {ord("!"): 3, ord("$"): 5, ord("<"): 7, ord(">"): 8, ord("{"): 9,
               ord("}"): 10, ord("="): 11, ord("|"): 12, ord("~"): 13}
    if c in pairs:
        want, kind = pairs[c]
        r, ch2 = read_char(s)
        if r != -1 and ch2 == bytes([want]):
            text += ch2
            t.kind = kind
        else:
            if r != -1:
                unread_char(ch2, s)
            t.kind = 14
    elif c in singles:
        t.kind = singles[c]
    elif is_punct(ch):
        t.kind = 1
    else:
        t.kind = 14
    t.text = text
    return len(text)


def disp(b):
    return b.decode(GBK, errors="replace")


def quote(b):
    """A text from a data file as a message quotes it: at most 40 bytes,
    never half a character, then "..." when cut; control bytes escaped."""
    kept = 0
    while kept < len(b):
        pair = 0x81 <= b[kept] <= 0xFE and kept + 1 < len(b) and \
            0x40 <= b[kept + 1] <= 0xFE and b[kept + 1] != 0x7F
        size = 2 if pair else 1
        if kept + size > 40:
            break
        kept += size
    out, run = "", b""
    for c in b[:kept]:
        if c < 0x20 or c == 0x7F:
            out += disp(run) + {9: "\\t", 10: "\\n", 13: "\\r"}.get(c, "\\x%02X" % c)
            run = b""
        else:
            run += bytes([c])
    out += disp(run)
    return out + ("..." if kept < len(b) else "")


class Stop(Exception):
    pass


# ---------------------------------------------------------------- readers

def read_tags(s, msgs):
    tags = []
    t = Tok()

    def nxt():
        if get_token(s, t) < 0:
            msgs.append("Format Error in TagSet_File       ")
            raise Stop

    try:
        if get_token(s, t) < 0 or t.text != b"TagSetBegin":
            msgs.append("Invalid TagSet_File format!    ")
            return tags
        nxt()
        if t.text == b"TagSetEnd":
            msgs.append("No defined part-of-speech tag(s) and phrase tag(s)!       ")
            return tags
        while True:
            if t.kind != 0:
                msgs.append("Format Error in TagSet_File       ")
                return tags
            tag = t.text
            nxt()
            if t.kind == 7:
                tag += b"<"
                nxt()
                tag += t.text
                nxt()
                if t.kind != 8:
                    msgs.append("Invalid TagSet_File Format!   ")
                    return tags
                tag += b">"
                nxt()
            if len(tags) == 40:
                msgs.append("Too many word class or phrase class tag in TagSet_File       ")
                return tags
            if len(tag) > 19:
                msgs.append("Tag longer than 19 bytes in TagSet_File: " + quote(tag))
                return tags
            tags.append(tag)
            if t.text == b"TagSetEnd":
                return tags
            nxt()
    except Stop:
        return tags


class Rule:
    def __init__(self, title, left, rhs, tree):
        self.title, self.left, self.rhs, self.tree = title, left, rhs, tree
        self.items = rhs.split()


def read_rules(s, msgs):
    rules = []
    t = Tok()
    INV7 = "Invalid Rules_File format!       "

    def nxt(msg):
        if get_token(s, t) < 0:
            msgs.append(msg)
            raise Stop

    try:
        if get_token(s, t) < 0 or t.text != b"CFGRuleSetBegin":
            msgs.append("Invalid Rules_File format!    ")
            return rules
        if get_token(s, t) < 0:
            msgs.append("Format Error in Rules_File file       ")
            return rules
        if t.text == b"CFGRuleSetEnd":
            msgs.append("No Rules in Rules_File file!       ")
            return rules
        while True:
            if t.kind != 2:
                msgs.append("Format Error in Rules_File file       ")
                return rules
            TT = "the title of rules must be a identifier!       "
            nxt(TT)
            nxt(TT)
            if t.kind != 0:
                msgs.append(TT)
                return rules
            title = t.text
            if len(title) > 9:
                msgs.append("Title longer than 9 bytes in Rules_File: " + quote(title))
                return rules
            LT = "the left tag of rules must be a identifier!       "
            nxt(LT)
            nxt(LT)
            if t.kind != 0:
                msgs.append(LT)
                return rules
            left = t.text
            if len(left) > 4:
                msgs.append("Left tag longer than 4 bytes in Rules_File: " + quote(left))
                return rules
            nxt(INV7)
            if t.kind != 6:
                msgs.append(INV7)
                return rules
            items = []  # (tag, words or None, close)
            nxt(INV7)
            while t.kind not in (2, 4):
                if t.kind == 3:
                    nxt(INV7)
                if t.kind != 0:
                    msgs.append(INV7)
                    return rules
                tag = t.text
                nxt(INV7)
                if t.kind == 7:
                    nxt(INV7)
                    words = [t.text]
                    nxt(INV7)
                    while t.kind == 12:
                        nxt(INV7)
                        words.append(t.text)
                        nxt(INV7)
                    close = t.text
                    items.append((tag, words, close))
                    nxt(INV7)
                else:
                    items.append((tag, None, None))
            tree = b""
            if t.kind == 4:
                for _ in range(5):
                    nxt(INV7)
                if t.kind == 13:
                    nxt(INV7)
                tree = t.text
                if len(tree) > 24:
                    msgs.append("Tree title longer than 24 bytes in Rules_File: " + quote(tree))
                    return rules
            # combinations, last bracketed item fastest
            combos = [[]]
            for tag, words, close in items:
                if words is None:
                    combos = [c + [tag + b" "] for c in combos]
                else:
                    combos = [c + [tag + b"<" + w + close + b"  "] for c in combos for w in words]
            recs = []
            for c in combos:
                for piece in c:
                    it = piece.split()[0] if piece.split() else b""
                    if len(it) > 19:
                        msgs.append("Item longer than 19 bytes in Rules_File: " + quote(it))
                        return rules
                rhs = b"".join(c)
                if len(rhs) > 79:
                    msgs.append("Right side longer than 79 bytes in Rules_File: " + quote(rhs))
                    return rules
                recs.append(Rule(title, left, rhs, tree))
            if len(rules) + len(recs) > 300:
                msgs.append("Too many rules in Rules_File ... ")
                return rules
            rules.extend(recs)
            nxt("Format Error in Rules_File file       ")
            if t.text == b"CFGRuleSetEnd":
                return rules
    except Stop:
        return rules


def read_sequences(s, msgs):
    lines = []
    while True:
        line = s.readline(99)
        if not line:
            break
        line = line.split(b"\0")[0]
        if not line:
            continue
        if len(lines) == 500:
            msgs.append("Too many sequences in Sequences_File: only the first 500 lines were read")
            return lines
        for it in line.replace(b"\r", b" ").replace(b"\n", b" ").split(b" "):
            if len(it) > 19:
                msgs.append("Item longer than 19 bytes in Sequences_File: " + quote(it))
                return lines
        lines.append(line)
    if not lines:
        msgs.append("No sequences defined!\t")
    return lines


def split_line(line):
    return [w for w in line.replace(b"\r", b" ").replace(b"\n", b" ").split(b" ") if w]


# ---------------------------------------------------------------- search

class Node:
    __slots__ = ("label", "title", "kids")

    def __init__(self, label, title, kids):
        self.label, self.title, self.kids = label, title, kids

    def key(self):
        return (self.label, self.title, tuple(k.key() for k in self.kids))


def print_tree(n):
    out = n.label
    if n.title:
        out += b":" + n.title
    if n.kids:
        out += b"(" + b",".join(print_tree(k) for k in n.kids) + b")"
    return out


def chain_labels(n):
    labels = [n.label]
    while len(n.kids) == 1:
        n = n.kids[0]
        labels.append(n.label)
    return labels


def find_parses(items, rules):
    """Literal breadth-first search; a state is a list of (text, tree)."""
    count = len(items)
    queue = [[(it, Node(it, b"", [])) for it in items]]
    parses = []
    qi = 0
    while qi < len(queue):
        st = queue[qi]
        qi += 1
        for n in range(1, count + 1):
            if n > len(st):
                continue
            for L in (1, 2, 3):
                for r in rules:
                    if min(len(r.items), 5) != L or n - 1 + L > len(st):
                        continue
                    if all(r.items[j] == st[n - 1 + j][0] for j in range(L)):
                        if L == 1 and r.left in chain_labels(st[n - 1][1]):
                            continue  # unary-cycle guard
                        node = Node(r.left, r.tree, [st[n - 1 + j][1] for j in range(L)])
                        queue.append(st[:n - 1] + [(r.left, node)] + st[n - 1 + L:])
        if len(st) == 1:
            parses.insert(0, st[0][1])
        queue[qi - 1] = None
    out, seen = [], set()
    for p in parses:
        k = p.key()
        if k not in seen:
            seen.add(k)
            out.append(p)
    return out


# ---------------------------------------------------------------- reports

def cls(parses):
    if not parses:
        return "cannot"
    if len(parses) == 1:
        return "one"
    return "overt" if any(p.label != parses[0].label for p in parses[1:]) else "covert"


def fmtf(x):
    return ("%f" % x).encode()


class Report:
    def __init__(self):
        self.sec = {}
        self.cnt = dict(cannot=0, comb=0, one=0, overt=0, covert=0)
        self.rec = dict(overt=[], covert=[])

    def analyse(self, items, rules, item_line, cc_line, degree_items):
        parses = find_parses(items, rules)
        c = cls(parses)
        if c == "cannot":
            self.cnt["cannot"] += 1
            self.sec["cannot"] += cc_line
        else:
            self.cnt["comb"] += 1
            self.sec["comb"] += item_line
            if c == "one":
                self.cnt["one"] += 1
                self.sec["one"] += item_line + b"\t\t" + b"(" + print_tree(parses[0]) + b")" + b"\n"
            else:
                self.cnt[c] += 1
                self.rec[c].append((degree_items, len(parses)))
                body = item_line
                for k, p in enumerate(parses, 1):
                    body += b"\t\t[" + str(k).encode() + b"](" + print_tree(p) + b")\n"
                self.sec[c] += body
        self.sec["all"] += item_line

    def none_texts(self):
        for key, text in (("cannot", "\t没有不能组合的格式!!!"), ("comb", "\t没有能组合的格式!!!"),
                          ("one", "\t没有[无歧义格式]!!!"), ("overt", "\t没有外显型歧义格式!!!"),
                          ("covert", "\t没有内含型歧义格式!!!")):
            if self.cnt[key] == 0:
                self.sec[key] += g(text)

    def ranked(self, kind):
        return sorted(self.rec[kind], key=lambda r: -r[1])  # stable

    def write(self, out):
        for k in ("summary", "all", "cannot", "comb", "one", "overt", "covert", "degree"):
            out.append(self.sec[k])


def tagset_report(three, tags, rules, out):
    R = Report()
    m = "3项" if three else "4项及5项"
    heads = dict(all="的全部排列如下", cannot="不能组合的排列如下", comb="能组合的排列如下",
                 one="只有一种组合方式(无歧义)的排列如下", overt="外显型歧义的排列如下",
                 covert="内含型歧义的排列如下")
    for k, h in heads.items():
        R.sec[k] = g("\n\n全部标记全排列——" + m + "词类或短语类标记" + h + ":\n\n")
    R.sec["degree"] = g("\n\n全部标记全排列——" + m + "排列的歧义程度统计:\n\n")
    N = len(tags)
    U, C = g("u<的>"), g("c<和>")
    pats = [[0, U, 1, 2, None], [0, 1, U, 2, None], [0, C, 1, 2, None], [0, 1, C, 2, None],
            [0, U, 1, C, 2], [0, C, 1, U, 2], [0, U, C, 1, 2], [0, 1, U, C, 2]]
    codes = [None] if three else range(8)
    for code in codes:
        for i in range(N):
            for j in range(N):
                for k in range(N):
                    idx = (i, j, k)
                    if code is None:
                        slots = [tags[i], tags[j], tags[k], b"", b""]
                        n = 3
                    else:
                        slots = [b"" if x is None else (tags[idx[x]] if isinstance(x, int) else x)
                                 for x in pats[code]]
                        n = 4 if code < 4 else 5
                    if three:
                        line = b"\t" + b" ".join(slots[:3]) + b"\n"
                        ccl = b"\t" + b" ".join(slots[:3]) + b" \n"
                    else:
                        line = b"\t" + b" ".join(slots) + b"\n"
                        ccl = line
                    R.analyse(slots[:n], rules, line, ccl, slots)
    R.none_texts()
    d = R.sec["degree"]
    for kind, name in (("covert", "内含型歧义"), ("overt", "外显型歧义")):
        d += g("\n全部标记全排列——" + name + ":\n")
        recs = R.ranked(kind)
        for k, (slots, c) in enumerate(recs, 1):
            if three:
                d += b"\t [" + str(k).encode() + b"] " + b" ".join(slots[:3]) + b"\t\t"
            else:
                d += b"\t [" + str(k).encode() + b"] " + b" ".join(slots) + b"\t"
            d += str(c).encode() + b"\n"
        if recs:
            d += g("\n--------全部标记全排列——" + name + "格式平均歧义个数：") + \
                fmtf(sum(c for _, c in recs) / len(recs)) + g("--------\n")
        else:
            d += g("\t无" + name + "格式!!!") + (b"\n" if kind == "overt" else b"")
    R.sec["degree"] = d
    total = R.cnt["cannot"] + R.cnt["comb"]
    s = g("\n\n全部标记共有 %d 个: \n\t" % N) + b"".join(t + b" " for t in tags) + b"\n"
    s += g("\n\n全部标记全排列——共有排列:%d个\n" % total)
    s += g("\n\n无组合关系的排列:%d个\n" % R.cnt["cannot"])
    s += g("\n\n有组合关系的排列:%d个\n" % R.cnt["comb"])
    s += g("\n\n\t其中只有一种组合关系的排列:%d个\n" % R.cnt["one"])
    s += g("\n\n\t其中有两种以上组合关系的排列:%d个\n" % (R.cnt["comb"] - R.cnt["one"]))
    s += g("\n\n\t\t其中有外显型歧义的排列:%d个\n" % R.cnt["overt"])
    s += g("\n\n\t\t其中有内含型歧义的排列:%d个\n" % R.cnt["covert"])
    R.sec["summary"] = s
    R.write(out)


def sequences_report(lines, rules, out, msgs):
    R = Report()
    heads = dict(all="的全部排列如下", cannot="不能组合的排列如下", comb="能组合的排列如下",
                 one="只有一种组合方式(无歧义)的排列如下", overt="外显型歧义的排列如下",
                 covert="内含型歧义的排列如下", degree="歧义程度统计")
    for k, h in heads.items():
        R.sec[k] = g("\n\nsequences.txt文件中" + h + ":\n\n")
    R.sec["all"] = g("\n\nsequences.txt文件中的全部排列如下:\n\n")
    for line in lines:
        items = split_line(line)
        if len(items) > 5:
            msgs.append("One permutation contains too many tokens")
            return
        il = b"\t" + b"".join(it + b" " for it in items) + b"\n"
        R.analyse(items, rules, il, il, items)
    R.none_texts()
    d = R.sec["degree"]
    for kind, name in (("covert", "内含型歧义"), ("overt", "外显型歧义")):
        d += g("\nsequences.txt文件中的" + name + ":\n")
        recs = R.ranked(kind)
        for k, (items, c) in enumerate(recs, 1):
            d += b"\t [" + str(k).encode() + b"] " + b"".join(it + b" " for it in items) + b"\t"
            d += str(c).encode() + b"\n"
        if recs:
            d += g("\n--------sequences.txt文件中" + name + "格式平均歧义个数：") + \
                fmtf(sum(c for _, c in recs) / len(recs)) + g("--------\n")
        else:
            d += g("\tsequences.txt文件中没有" + name + "格式!!!\n")
    R.sec["degree"] = d
    total = R.cnt["cannot"] + R.cnt["comb"]
    s = g("\n\nsequences.txt文件中共有排列:%d个\n" % total)
    s += g("\n\n其中无组合关系的排列:%d个\n" % R.cnt["cannot"])
    s += g("\n\n其中有组合关系的排列:%d个\n" % R.cnt["comb"])
    s += g("\n\n\t其中只有一种组合关系的排列:%d个\n" % R.cnt["one"])
    s += g("\n\n\t其中有两种以上组合关系的排列:%d个\n" % (R.cnt["comb"] - R.cnt["one"]))
    s += g("\n\n\t\t其中有外显型歧义的排列:%d个\n" % R.cnt["overt"])
    s += g("\n\n\t\t其中有内含型歧义的排列:%d个\n" % R.cnt["covert"])
    R.sec["summary"] = s
    R.write(out)


# ---------------------------------------------------------------- run

def profile_get(path, section, key):
    try:
        data = open(path, "rb").read()
    except OSError:
        return b""
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    cur = None
    found_section = False
    for raw in data.split(b"\n"):
        line = raw.strip(b" \t\r\v\f\x1a")
        if not line:
            continue
        if line.startswith(b"[") and b"]" in line:
            name = line[1:line.rindex(b"]")]
            if found_section:
                return b""
            cur = name
            found_section = name.strip().lower() == section.lower()
            continue
        if not found_section or b"=" not in line:
            continue
        k, v = line.split(b"=", 1)
        if k.strip().lower() == key.lower():
            v = v.strip()
            if len(v) > 1 and v[0:1] in (b"'", b'"') and v[-1:] == v[0:1]:
                v = v[1:-1]
            return v
    return b""


def run(startup):
    msgs = []
    ini = os.path.join(startup, "config.ini")
    cfg = {k: profile_get(ini, b"DATA", k) for k in
           (b"TAGS", b"SEQUENCES", b"RULES", b"RESULT", b"ITEMLENGTH")}
    os.chdir(startup)

    def load(key):
        p = cfg[key]
        if not p:
            return None
        try:
            return open(p, "rb").read()
        except OSError:
            return None

    t = load(b"TAGS")
    if t is None:
        return ["Data File <tags.txt> Open Error!"], 2
    sq = load(b"SEQUENCES")
    if sq is None:
        return ["Data File <sequences.txt> Open Error!"], 2
    ru = load(b"RULES")
    if ru is None:
        return ["Data File <rules.txt> Open Error!"], 2
    try:
        rep = open(cfg[b"RESULT"], "wb") if cfg[b"RESULT"] else None
    except OSError:
        rep = None
    if rep is None:
        return ["Create ResultFile Error!"], 2
    tags = read_tags(In(t), msgs)
    lines = read_sequences(In(sq), msgs)
    rules = read_rules(In(ru), msgs)
    three = cfg[b"ITEMLENGTH"] != b"long"
    out = []
    if tags:
        tagset_report(three, tags, rules, out)
    if lines:
        sequences_report(lines, rules, out, msgs)
    rep.write(b"".join(out).replace(b"\n", b"\r\n"))
    rep.close()
    errors = len(msgs)
    msgs.append("分析完毕！请打开" + startup + "/" + cfg[b"RESULT"].decode("utf-8", "replace") +
                "\n查看分析报告。")
    return msgs, (1 if errors else 0)


if __name__ == "__main__":
    m, status = run(os.path.abspath(sys.argv[1]))
    for x in m:
        print(x)
    sys.exit(status)
