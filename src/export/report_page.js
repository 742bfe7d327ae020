// The HTML report's script: reads the data blocks of the page, shows the
// summary, the changes found by a comparison, the permutations by judgement
// a page at a time with their parses drawn as trees (the divergence points
// framed, many parses in groups), and the degree rankings; search and
// filters.
"use strict";
(function () {
  var JUDGEMENTS = ["不能组合", "只有一种组合方式(无歧义)", "外显型歧义", "内含型歧义"];
  var PAGE_SIZE = [300, 50, 25, 25];  // entries on a page, by judgement
  var TREES_AT_ONCE = 12;             // trees drawn before "draw all"
  var RANK_PAGE = 100;                // rows of a ranking on a page
  var GROUP_OVER = 20;                // more parses than this are shown in groups
  var GROUP_TREES = 3;                // trees drawn of a group before "show all"
  var CHANGES_PAGE = 20;              // changed patterns on a page

  // ---- The data --------------------------------------------------------

  var strings = [];  // the table: items, labels, titles
  var texts = [];    // bracketed parses given as text
  var info = { tags: [], limit: 0 };
  var reportsByNumber = {};
  var rulesData = null;  // the section 规则
  var changeTables = null;  // the section 变化: the tables, when a comparison was made
  var changes = [];         // and its changed patterns

  function load() {
    var blocks = document.querySelectorAll("script.mv-data");
    for (var b = 0; b < blocks.length; ++b) {
      var d = JSON.parse(blocks[b].textContent);
      blocks[b].parentNode.removeChild(blocks[b]);
      if (d.k === "i") {
        info = d;
      } else if (d.k === "b") {
        reportsByNumber[d.r] = { kind: d.kind, n: d.n, lines: [], summary: null };
      } else if (d.k === "p") {
        var rep = reportsByNumber[d.r];
        for (var i = 0; i < d.s.length; ++i) strings.push(d.s[i]);
        for (i = 0; i < d.x.length; ++i) texts.push(d.x[i]);
        var lines = d.p.split(" ");
        for (i = 0; i < lines.length; ++i) rep.lines.push(lines[i]);
      } else if (d.k === "e") {
        reportsByNumber[d.r].summary = d;
      } else if (d.k === "rules") {
        rulesData = d;
      } else if (d.k === "c") {
        for (i = 0; i < d.c.length; ++i) changes.push(d.c[i]);
      } else if (d.k === "ct") {
        changeTables = d;
      }
    }
    // A report without its summary did not end; the text report has none
    // of it either.
    var reports = [];
    Object.keys(reportsByNumber).sort(function (a, b) { return a - b; }).forEach(function (r) {
      var rep = reportsByNumber[r];
      if (!rep.summary || rep.lines.length !== rep.n) return;
      rep.judgement = new Uint8Array(rep.n);
      var byJudgement = [[], [], [], []];
      for (var i = 0; i < rep.n; ++i) {
        var j = rep.lines[i].charCodeAt(0) - 48;
        rep.judgement[i] = j;
        byJudgement[j].push(i);
      }
      rep.byJudgement = byJudgement.map(function (a) { return Int32Array.from(a); });
      rep.items = null;  // made at the first search
      rep.longMode = false;
      for (var k = 0; k < Math.min(rep.n, 64) && rep.kind === "tagset"; ++k) {
        if (recordItems(rep.lines[k]).length > 3) rep.longMode = true;
      }
      reports.push(rep);
    });
    return reports;
  }

  // The table numbers of a record's items.
  function recordItems(line) {
    var end = 1;
    while (end < line.length && "#!@|".indexOf(line[end]) < 0) ++end;
    if (end === 1) return [];
    return line.substring(1, end).split(".").map(Number);
  }

  function itemsText(line) {
    return recordItems(line).map(function (k) { return strings[k]; }).join(" ");
  }

  // The divergence points of a record's head: [{span: "1-3", rules: [...]}].
  function recordPoints(head) {
    var at = head.indexOf("@");
    if (at < 0) return [];
    return head.substring(at + 1).split(";").map(function (p) {
      var colon = p.indexOf(":");
      return { span: p.substring(0, colon), rules: p.substring(colon + 1).split(".").map(
        function (k) { return strings[Number(k)]; }) };
    });
  }

  // A set of competing rules as one text, whatever their order.
  function rulesKey(rules) { return rules.slice().sort().join("\n"); }

  // A record: judgement, items, count (decimal text), over the run's limit,
  // divergence points, trees (codes, or numbers of texts).
  function parseRecord(line) {
    var parts = line.split("|");
    var head = parts[0];
    var points = recordPoints(head);
    if (head.indexOf("@") >= 0) head = head.substring(0, head.indexOf("@"));
    var rec = { j: head.charCodeAt(0) - 48, items: recordItems(line), count: null,
                over: head.indexOf("!") >= 0, points: points, trees: parts.slice(1) };
    var hash = head.indexOf("#");
    if (hash >= 0) rec.count = head.substring(hash + 1).replace("!", "");
    if (rec.count === null) rec.count = String(rec.trees.length);
    return rec;
  }

  // ---- Trees -------------------------------------------------------------

  // Decode a tree code into {label, title, marked, children}.
  function decodeTree(code) {
    var at = 0;
    function number() {
      var start = at;
      while (at < code.length && code.charCodeAt(at) >= 48 && code.charCodeAt(at) <= 57) ++at;
      if (start === at) throw new Error("bad tree code: " + code);
      return strings[Number(code.substring(start, at))];
    }
    function node() {
      var n = { marked: false, label: "", title: "", children: [] };
      if (code[at] === "*") { n.marked = true; ++at; }
      n.label = number();
      if (code[at] === ":") { ++at; n.title = number(); }
      if (code[at] === "(") {
        ++at;
        for (;;) {
          n.children.push(node());
          if (code[at] === ",") { ++at; continue; }
          if (code[at] !== ")") throw new Error("bad tree code: " + code);
          ++at;
          break;
        }
      }
      return n;
    }
    var root = node();
    if (at !== code.length) throw new Error("bad tree code: " + code);
    return root;
  }

  // A tree from the bracketed text the report writes for it; null when the
  // text cannot be read back (a label holding one of ":(),").
  function parseBracketed(text) {
    var at = 1;
    function name() {
      var start = at;
      while (at < text.length && ":(),".indexOf(text[at]) < 0) ++at;
      if (start === at) throw new Error("bad parse: " + text);
      return text.substring(start, at);
    }
    function node() {
      var n = { marked: false, label: name(), title: "", children: [] };
      if (text[at] === ":") { ++at; n.title = name(); }
      if (text[at] === "(") {
        ++at;
        for (;;) {
          n.children.push(node());
          if (text[at] === ",") { ++at; continue; }
          if (text[at] !== ")") throw new Error("bad parse: " + text);
          ++at;
          break;
        }
      }
      return n;
    }
    try {
      if (text[0] !== "(") return null;
      var root = node();
      return text[at] === ")" && at + 1 === text.length ? root : null;
    } catch (e) {
      return null;
    }
  }

  // The bracketed text the report writes for a tree.
  function bracketed(root) {
    function text(n) {
      var s = n.label + (n.title ? ":" + n.title : "");
      if (n.children.length) s += "(" + n.children.map(text).join(",") + ")";
      return s;
    }
    return "(" + text(root) + ")";
  }

  // The tree layout, step for step as the workbench and --svg lay trees out:
  // leaves on one baseline, parents centred over their first and last child,
  // subtrees packed by their contours, widths of a 14-pixel font estimated.
  var STYLE = { fontSize: 14, lineHeight: 20, paddingX: 3, nodeGap: 10, levelGap: 22,
                treeGap: 36, margin: 10 };

  function measure(text) {
    var width = 0;
    for (var i = 0; i < text.length; ++i) {
      var c = text.charCodeAt(i);
      if (c >= 0xD800 && c <= 0xDBFF) ++i;  // one character in two code units
      width += c < 0x80 ? 0.6 * STYLE.fontSize : STYLE.fontSize;
    }
    return width;
  }

  function flatten(root) {
    var items = [];
    var stack = [[root, -1]];
    while (stack.length) {
      var top = stack.pop(), node = top[0], parent = top[1];
      var index = items.length;
      var item = { label: node.label, title: node.title, marked: node.marked,
                   point: node.point || "", parent: parent,
                   children: [], depth: 0, labelWidth: 0, titleWidth: 0, width: 0, x: 0 };
      if (parent >= 0) {
        item.depth = items[parent].depth + 1;
        items[parent].children.push(index);
      }
      items.push(item);
      for (var c = node.children.length - 1; c >= 0; --c) stack.push([node.children[c], index]);
    }
    return items;
  }

  function placeBottomUp(items, leafLevel, gap) {
    var contours = new Array(items.length);
    for (var n = items.length - 1; n >= 0; --n) {
      var item = items[n];
      var levels = leafLevel - item.depth + 1;
      var half = item.width / 2;
      var contour = { left: [], right: [] };
      contours[n] = contour;
      if (!item.children.length) {
        for (var l = 0; l < levels; ++l) { contour.left.push(0); contour.right.push(0); }
        contour.left[levels - 1] = -half;
        contour.right[levels - 1] = half;
        continue;
      }
      var first = item.children[0], last = item.children[item.children.length - 1];
      var below = contours[first];
      items[first].x = 0;
      for (var c = 1; c < item.children.length; ++c) {
        var next = contours[item.children[c]];
        var shift = below.right[0] + gap - next.left[0];
        for (l = 1; l < next.left.length; ++l) {
          shift = Math.max(shift, below.right[l] + gap - next.left[l]);
        }
        for (l = 0; l < next.left.length; ++l) {
          below.left[l] = Math.min(below.left[l], shift + next.left[l]);
          below.right[l] = Math.max(below.right[l], shift + next.right[l]);
        }
        items[item.children[c]].x = shift;
      }
      var centre = (items[first].x + items[last].x) / 2;
      for (c = 0; c < item.children.length; ++c) items[item.children[c]].x -= centre;
      contour.left.push(Math.min(-half, items[first].x));
      contour.right.push(Math.max(half, items[last].x));
      for (l = 0; l + 1 < levels; ++l) {
        contour.left.push(below.left[l] - centre);
        contour.right.push(below.right[l] - centre);
      }
    }
    return contours[0];
  }

  // One tree with its top left corner at (0, 0), appended to `out`.
  function appendTree(root, treeIndex, out) {
    var items = flatten(root);
    var leafLevel = 0;
    items.forEach(function (item) {
      leafLevel = Math.max(leafLevel, item.depth);
      item.labelWidth = Math.max(0, measure(item.label));
      item.titleWidth = item.title ? Math.max(0, measure(item.title)) : 0;
      item.width = Math.max(item.labelWidth, item.titleWidth) + 2 * STYLE.paddingX;
    });
    var contour = placeBottomUp(items, leafLevel, STYLE.nodeGap);
    var minX = 0, maxX = 0;
    for (var l = 0; l < contour.left.length; ++l) {
      minX = Math.min(minX, contour.left[l]);
      maxX = Math.max(maxX, contour.right[l]);
    }
    items[0].x = -minX;
    for (var n = 1; n < items.length; ++n) items[n].x += items[items[n].parent].x;

    function levelOf(item) { return item.children.length ? item.depth : leafLevel; }
    var levelTop = [], levelHeight = [];
    for (l = 0; l <= leafLevel; ++l) { levelTop.push(0); levelHeight.push(STYLE.lineHeight); }
    items.forEach(function (item) {
      if (item.title) levelHeight[levelOf(item)] = 2 * STYLE.lineHeight;
    });
    for (l = 1; l < levelTop.length; ++l) {
      levelTop[l] = levelTop[l - 1] + levelHeight[l - 1] + STYLE.levelGap;
    }

    var base = out.nodes.length;
    for (n = 0; n < items.length; ++n) {
      var item = items[n];
      var top = levelTop[levelOf(item)];
      var lines = item.title ? 2 : 1;
      var node = { left: item.x - item.width / 2, top: top, width: item.width,
                   height: lines * STYLE.lineHeight, parent: item.parent < 0 ? -1 : base + item.parent,
                   tree: treeIndex, leaf: !item.children.length, marked: item.marked,
                   point: item.point, label: item.label };
      out.nodes.push(node);
      out.texts.push({ role: "label", text: item.label, node: base + n,
                       left: item.x - item.labelWidth / 2, top: top, width: item.labelWidth,
                       height: STYLE.lineHeight });
      if (item.title) {
        out.texts.push({ role: "title", text: item.title, node: base + n,
                         left: item.x - item.titleWidth / 2, top: top + STYLE.lineHeight,
                         width: item.titleWidth, height: STYLE.lineHeight });
      }
      if (item.parent >= 0) {
        var parent = items[item.parent];
        var from = out.nodes[base + item.parent];
        var points = [[parent.x, from.top + from.height]];
        if (!item.children.length && parent.depth + 1 < leafLevel) {
          points.push([item.x, levelTop[parent.depth + 1]]);
        }
        points.push([item.x, top]);
        out.edges.push({ parent: base + item.parent, child: base + n, points: points });
      }
    }
    return { width: maxX - minX, height: levelTop[levelTop.length - 1] +
             levelHeight[levelHeight.length - 1], rootX: items[0].x };
  }

  function shift(drawing, nodes, texts, edges, dx, dy) {
    var i;
    for (i = nodes; i < drawing.nodes.length; ++i) {
      drawing.nodes[i].left += dx;
      drawing.nodes[i].top += dy;
    }
    for (i = texts; i < drawing.texts.length; ++i) {
      drawing.texts[i].left += dx;
      drawing.texts[i].top += dy;
    }
    for (i = edges; i < drawing.edges.length; ++i) {
      drawing.edges[i].points.forEach(function (p) { p[0] += dx; p[1] += dy; });
    }
  }

  // Trees side by side in one row, tops aligned, each numbered from
  // `firstNumber` above it (or by `numbers`, one for each).
  function layOutTrees(roots, firstNumber, numbers) {
    var drawing = { nodes: [], texts: [], edges: [], trees: [], width: 0, height: 0 };
    var numberHeight = STYLE.lineHeight * 1.5;
    var x = STYLE.margin, rowTop = STYLE.margin, rowHeight = 0, widest = 0;
    for (var t = 0; t < roots.length; ++t) {
      var nodes = drawing.nodes.length, texts = drawing.texts.length, edges = drawing.edges.length;
      var size = appendTree(roots[t], t, drawing);
      var number = "[" + (numbers ? numbers[t] : firstNumber + t) + "]";
      var numberWidth = Math.max(0, measure(number));
      var width = Math.max(size.width, numberWidth);
      var treeLeft = x + (width - size.width) / 2;
      shift(drawing, nodes, texts, edges, treeLeft, rowTop + numberHeight);
      var centre = Math.min(Math.max(treeLeft + size.rootX, x + numberWidth / 2),
                            x + width - numberWidth / 2);
      drawing.texts.push({ role: "number", text: number, node: -1, left: centre - numberWidth / 2,
                           top: rowTop, width: numberWidth, height: STYLE.lineHeight });
      drawing.trees.push({ left: x, top: rowTop, width: width, height: numberHeight + size.height });
      rowHeight = Math.max(rowHeight, numberHeight + size.height);
      widest = Math.max(widest, x + width);
      x += width + STYLE.treeGap;
    }
    drawing.width = Math.max(widest, STYLE.margin) + STYLE.margin;
    drawing.height = rowTop + rowHeight + STYLE.margin;
    return drawing;
  }

  function escapeXml(s) {
    return s.replace(/[&<>"']/g, function (c) {
      return { "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;", "'": "&#39;" }[c];
    });
  }

  function num(v) {
    var s = (Math.round(v * 100) / 100).toFixed(2);
    return s.replace(/\.?0+$/, "");
  }

  // The drawing as SVG, coloured as the drawings of --svg; the top nodes of
  // divergence points framed, and trees framed by `frames` ("lost",
  // "gained" or null, one for each tree).
  function renderSvg(d, frames) {
    var w = num(Math.ceil(d.width)), h = num(Math.ceil(d.height));
    var out = ['<svg xmlns="http://www.w3.org/2000/svg" class="tree" width="' + w + '" height="' +
               h + '" viewBox="0 0 ' + w + " " + h + '">',
               '<rect width="100%" height="100%" fill="#ffffff"/>', '<g fill="#ffe9a8">'];
    d.nodes.forEach(function (n) {
      if (n.marked) {
        out.push('<rect class="mark" x="' + num(n.left) + '" y="' + num(n.top) + '" width="' +
                 num(n.width) + '" height="' + num(n.height) + '" rx="3"/>');
      }
    });
    out.push('</g><g fill="none" stroke-width="2">');
    (frames || []).forEach(function (f, t) {
      if (!f) return;
      var b = d.trees[t];
      out.push('<rect class="frame-' + f + '" data-tree="' + t + '" x="' + num(b.left - 4) +
               '" y="' + num(b.top - 2) + '" width="' + num(b.width + 8) + '" height="' +
               num(b.height + 4) + '" rx="4" stroke="' + (f === "lost" ? "#b3261e" : "#1e7b34") +
               '"' + (f === "lost" ? ' stroke-dasharray="6 3"' : "") + "/>");
    });
    d.nodes.forEach(function (n) {
      if (n.point) {
        out.push('<rect class="point-mark" data-tree="' + n.tree + '" data-label="' +
                 escapeXml(n.label) + '" data-span="' + n.point + '" x="' + num(n.left - 2) + '" y="' + num(n.top - 2) +
                 '" width="' + num(n.width + 4) + '" height="' + num(n.height + 4) +
                 '" rx="4" stroke="#1f5fa8" stroke-dasharray="4 2"/>');
      }
    });
    out.push('</g><g fill="none" stroke="#555555" stroke-width="1">');
    d.edges.forEach(function (e) {
      out.push('<polyline points="' + e.points.map(function (p) {
        return num(p[0]) + "," + num(p[1]);
      }).join(" ") + '"/>');
    });
    out.push("</g><g font-family=\"'Noto Sans CJK SC', 'Microsoft YaHei', SimSun, sans-serif\" " +
             'font-size="14" text-anchor="middle" fill="#111111">');
    d.texts.forEach(function (t) {
      var marked = t.node >= 0 && d.nodes[t.node].marked;
      var colour = marked ? "#b3261e" : t.role === "title" ? "#666666" : null;
      var baseline = t.top + t.height / 2 + 0.35 * STYLE.fontSize;
      out.push('<text x="' + num(t.left + t.width / 2) + '" y="' + num(baseline) + '"' +
               (colour ? ' fill="' + colour + '"' : "") +
               (t.role === "number" ? ' font-weight="bold"' : "") + ">" + escapeXml(t.text) +
               "</text>");
    });
    out.push("</g></svg>");
    return out.join("");
  }

  // ---- Search and filters -----------------------------------------------

  var query = null;  // null: everything; else the table numbers to find, in order

  function indexOfString(s) {
    if (!stringIndex) {
      stringIndex = new Map();
      strings.forEach(function (v, k) { if (!stringIndex.has(v)) stringIndex.set(v, k); });
    }
    return stringIndex.has(s) ? stringIndex.get(s) : -1;
  }
  var stringIndex = null;

  function setQuery(text) {
    var words = text.split(/\s+/).filter(function (w) { return w.length > 0; });
    if (!words.length) { query = null; return; }
    stringIndex = null;
    query = words.map(indexOfString);
  }

  // The items of every permutation of a report, five slots each (-1: none).
  function itemsOf(rep) {
    if (!rep.items) {
      var items = new Int32Array(rep.n * 5).fill(-1);
      for (var i = 0; i < rep.n; ++i) {
        var line = rep.lines[i], slot = 0, value = -1;
        for (var k = 1; k < line.length; ++k) {
          var c = line.charCodeAt(k);
          if (c >= 48 && c <= 57) {
            value = (value < 0 ? 0 : value * 10) + (c - 48);
          } else if (c === 46) {
            items[i * 5 + slot++] = value;
            value = -1;
          } else {
            break;
          }
        }
        if (value >= 0 && slot < 5) items[i * 5 + slot] = value;
      }
      rep.items = items;
    }
    return rep.items;
  }

  // Whether permutation i has the items of the query next to each other.
  function matches(rep, i) {
    if (query === null) return true;
    var items = itemsOf(rep), q = query, base = i * 5;
    if (q.indexOf(-1) >= 0 || q.length > 5) return false;
    for (var start = 0; start + q.length <= 5; ++start) {
      var k = 0;
      while (k < q.length && items[base + start + k] === q[k]) ++k;
      if (k === q.length) return true;
    }
    return false;
  }

  // The source of ambiguity chosen in a report's 歧义来源 table: only the
  // patterns with a point of that set of competing rules are shown.
  var sourceFilter = null;  // {rep, key, text}

  function hasSource(rep, i, key) {
    var line = rep.lines[i];
    if (line.indexOf("@") < 0) return false;
    return recordPoints(line.split("|")[0]).some(function (p) { return rulesKey(p.rules) === key; });
  }

  function filtered(rep, list) {
    var bySource = sourceFilter !== null && sourceFilter.rep === rep;
    if (query === null && !bySource) return list;
    var out = [];
    for (var k = 0; k < list.length; ++k) {
      if (matches(rep, list[k]) && (!bySource || hasSource(rep, list[k], sourceFilter.key))) {
        out.push(list[k]);
      }
    }
    return out;
  }

  // ---- The page -----------------------------------------------------------

  function el(tag, className, text) {
    var e = document.createElement(tag);
    if (className) e.className = className;
    if (text !== undefined) e.textContent = text;
    return e;
  }

  function reportTitle(rep) {
    return rep.kind === "tagset" ? "标记全排列（" + (rep.longMode ? "4项及5项" : "3项") + "）"
                                 : "sequences.txt 中的排列";
  }

  function share(count, total) {
    return total > 0 ? (100 * count / total).toFixed(2) + "%" : "—";
  }

  function summaryTable(rep) {
    var box = el("div", "summary");
    box.dataset.source = rep.kind;
    var table = el("table");
    table.appendChild(el("caption", "", reportTitle(rep)));
    var head = el("tr");
    ["", "个数", "比例"].forEach(function (t, k) { head.appendChild(el("th", k ? "num" : "", t)); });
    table.appendChild(head);
    var c = rep.summary.c;
    var rows = [["共有排列", c[0], "analysed"], ["无组合关系", c[1], "cannot"],
                ["有组合关系", c[2], "combinable"], ["只有一种组合关系", c[3], "oneway"],
                ["有两种以上组合关系", c[4], "several"], ["外显型歧义", c[5], "overt"],
                ["内含型歧义", c[6], "covert"]];
    rows.forEach(function (r) {
      var tr = el("tr");
      tr.dataset.key = r[2];
      tr.appendChild(el("th", "", r[0]));
      tr.appendChild(el("td", "num value", String(r[1])));
      tr.appendChild(el("td", "num", share(r[1], c[0])));
      table.appendChild(tr);
    });
    [["内含型歧义平均歧义个数", rep.summary.a[0], "covert-average"],
     ["外显型歧义平均歧义个数", rep.summary.a[1], "overt-average"]].forEach(function (r) {
      var tr = el("tr");
      tr.dataset.key = r[2];
      tr.appendChild(el("th", "", r[0]));
      var td = el("td", "num average", r[1] === null ? "无" : r[1]);
      td.colSpan = 2;
      tr.appendChild(td);
      table.appendChild(tr);
    });
    box.appendChild(table);
    if (rep.kind === "tagset" && info.tags.length) {
      box.appendChild(el("p", "tags", "全部标记共有 " + info.tags.length + " 个：" +
                                      info.tags.join(" ")));
    }
    return box;
  }

  // A list shown a page at a time: `render(index, container)` adds one entry.
  function Pager(container, pageSize, render) {
    this.container = container;
    this.pageSize = pageSize;
    this.render = render;
    this.list = [];
    this.page = 0;
  }
  Pager.prototype.show = function (list, page) {
    this.list = list;
    this.page = Math.max(0, Math.min(page || 0, this.pages() - 1));
    this.draw();
  };
  Pager.prototype.pages = function () {
    return Math.max(1, Math.ceil(this.list.length / this.pageSize));
  };
  Pager.prototype.draw = function () {
    var box = this.container;
    box.textContent = "";
    var body = el("div", "entries");
    var start = this.page * this.pageSize, end = Math.min(this.list.length, start + this.pageSize);
    for (var k = start; k < end; ++k) this.render(this.list[k], body, k);
    if (this.pages() > 1) box.appendChild(this.nav());
    box.appendChild(body);
    if (this.pages() > 1) box.appendChild(this.nav());
    if (!this.list.length) box.appendChild(el("p", "note", query === null ? "没有。" : "没有找到。"));
  };
  Pager.prototype.nav = function () {
    var self = this, nav = el("nav", "pager");
    var prev = el("button", "", "上一页"), next = el("button", "", "下一页");
    prev.disabled = this.page === 0;
    next.disabled = this.page + 1 >= this.pages();
    prev.onclick = function () { self.show(self.list, self.page - 1); };
    next.onclick = function () { self.show(self.list, self.page + 1); };
    var input = el("input");
    input.type = "number";
    input.min = 1;
    input.max = this.pages();
    input.value = this.page + 1;
    input.onchange = function () { self.show(self.list, Number(input.value) - 1); };
    nav.appendChild(prev);
    nav.appendChild(document.createTextNode("第"));
    nav.appendChild(input);
    nav.appendChild(document.createTextNode("/ " + this.pages() + " 页，共 " + this.list.length +
                                            " 个"));
    nav.appendChild(next);
    return nav;
  };

  // The trees of a record, decoded; null when they are given as texts.
  function treesOf(rec) {
    if (!rec.trees.length || rec.trees[0][0] === "~") return null;
    return rec.trees.map(decodeTree);
  }

  function drawTrees(box, roots, upTo, frames) {
    box.innerHTML = renderSvg(layOutTrees(roots.slice(0, upTo), 1), frames);
    if (upTo < roots.length) {
      var more = el("button", "", "画出全部 " + roots.length + " 棵树");
      more.onclick = function () { drawTrees(box, roots, roots.length, frames); };
      box.appendChild(more);
    }
  }

  function renderEntry(rep, i, container) {
    var rec = parseRecord(rep.lines[i]);
    var entry = el("div", "entry j" + rec.j);
    entry.dataset.items = itemsText(rep.lines[i]);
    var line = el("div");
    line.appendChild(el("span", "items", entry.dataset.items));
    if (rec.j >= 2) line.appendChild(el("span", "count", rec.count + " 种组合方式"));
    entry.appendChild(line);
    if (rec.over) {
      entry.appendChild(el("p", "note", "共有" + rec.count + "种组合方式，超出上限" + info.limit +
                                        "种，未逐一列出"));
      if (rec.j >= 2) entry.appendChild(el("p", "note", "歧义点：未计算（组合方式超出上限）"));
    }
    rec.points.forEach(function (p) {
      entry.appendChild(el("p", "point", "歧义点 " + p.span + ": " + p.rules.join(" | ")));
    });
    var roots = treesOf(rec);
    var tops = roots && rec.points.length ? markPoints(roots, rec.points) : null;
    var list = el("ol", "parses");
    var numbered = rec.j !== 1;
    var listParses = function (upTo) {
      list.textContent = "";
      rec.trees.slice(0, upTo).forEach(function (t, k) {
        var text = roots ? bracketed(roots[k]) : texts[Number(t.substring(1))];
        list.appendChild(el("li", "", (numbered ? "[" + (k + 1) + "]" : "") + text));
      });
      if (upTo < rec.trees.length) {
        var more = el("button", "", "列出全部 " + rec.trees.length + " 种");
        more.onclick = function () { listParses(rec.trees.length); };
        list.appendChild(el("li")).appendChild(more);
      }
    };
    listParses(TREES_AT_ONCE);
    if (rec.trees.length) entry.appendChild(list);
    if (!roots && rec.trees.length && rec.trees.length < Number(rec.count)) {
      entry.appendChild(el("p", "note", "此处列出前 " + rec.trees.length + " 种，未画树形图。"));
    }
    if (roots && roots.length > GROUP_OVER) {
      entry.appendChild(groupsBox(roots, rec.points, tops, ""));
    } else if (roots) {
      var box = el("div", "trees");
      entry.appendChild(box);
      drawTrees(box, roots, TREES_AT_ONCE);
    } else if (rec.trees.length > GROUP_OVER) {
      // Many parses given as texts: their groups, with the first trees of each.
      var read = rec.trees.map(function (t) { return parseBracketed(texts[Number(t.substring(1))]); });
      if (read.every(function (r) { return r !== null; })) {
        entry.appendChild(groupsBox(read, rec.points, markPoints(read, rec.points),
                                    rec.trees.length < Number(rec.count) ?
                                    "按此处列出的前 " + rec.trees.length + " 种分组。" : ""));
      }
    }
    container.appendChild(entry);
  }

  // ---- Divergence points in the trees, and groups of many parses ---------

  // The nodes of a tree in preorder, each with its span of items
  // [first, end) and its local build (label, title, children's labels and
  // spans).
  function walkSpans(root) {
    var out = [], next = 0;
    function walk(n) {
      var entry = { node: n, first: next, end: next, build: "" };
      out.push(entry);
      if (!n.children.length) ++next;
      var parts = n.children.map(function (c) {
        var e = walk(c);
        return c.label + "@" + e.first + "-" + e.end;
      });
      entry.end = next;
      entry.build = n.label + "\u0001" + n.title + "\u0001" + parts.join("\u0001");
      return entry;
    }
    walk(root);
    return out;
  }

  // The node at each divergence point in each tree: tops[point][tree], an
  // entry of walkSpans or null. The nodes over exactly a point's span form
  // a chain of one-child nodes in every tree; the parses agree on the
  // chain's nodes down to the point's, the first whose local build differs
  // between them (above it everything is shared, as the points are found).
  // Each such node is marked with the point's span.
  function markPoints(roots, points) {
    var walked = roots.map(walkSpans);
    return points.map(function (p) {
      var bounds = p.span.split("-").map(Number);
      var first = bounds[0] - 1, end = bounds.length > 1 ? bounds[1] : bounds[0];
      var chains = walked.map(function (w) {
        return w.filter(function (e) { return e.first === first && e.end === end; });
      });
      for (var k = 0; ; ++k) {
        var builds = chains.map(function (c) { return k < c.length ? c[k].build : null; });
        if (builds.every(function (b) { return b === null; })) {
          return chains.map(function () { return null; });
        }
        if (builds.some(function (b) { return b !== builds[0]; })) break;
      }
      return chains.map(function (c) {
        if (k >= c.length) return null;
        c[k].node.point = p.span;
        return c[k];
      });
    });
  }

  // The titles of the rules by what they build ("NP -> n NP :: 定中"), from
  // the section 规则.
  var ruleTitles = null;
  function titlesOf(build) {
    if (!ruleTitles) {
      ruleTitles = new Map();
      (rulesData ? rulesData.rows : []).forEach(function (row) {
        var blank = row[0].indexOf(" "), key = row[0].substring(blank + 1);
        if (!ruleTitles.has(key)) ruleTitles.set(key, []);
        ruleTitles.get(key).push(row[0].substring(0, blank));
      });
    }
    return ruleTitles.get(build) || [];
  }

  // The rule of `rules` ("R07 NP -> n NP") that builds a node, as its
  // label, children's labels and title tell; else the node's own build.
  function ruleOf(node, rules) {
    var build = node.label + " -> " + node.children.map(function (c) { return c.label; }).join(" ");
    var found = rules.filter(function (r) { return r.endsWith(" " + build); });
    if (found.length > 1) {
      var titles = titlesOf(build + (node.title ? " :: " + node.title : ""));
      found = found.filter(function (r) {
        return r.split(" ")[0].split("=").some(function (t) { return titles.indexOf(t) >= 0; });
      });
    }
    if (found.length === 1) return found[0];
    return (node.title ? node.label + ":" + node.title : node.label) +
           build.substring(node.label.length);
  }

  // The parses grouped by their root tag and, at each point, the competing
  // rule they use: the rule of the point's top node where these differ,
  // else the competing rules used below it. Largest groups first, equal
  // ones as first met; each tree is in exactly one group.
  function groupParses(roots, points, tops) {
    var parts = points.map(function (p, k) {
      var atTop = tops[k].map(function (e) {
        return !e ? "" : e.node.children.length ? ruleOf(e.node, p.rules) : e.node.label;
      });
      var differ = atTop.some(function (n) { return n !== atTop[0]; });
      return atTop.map(function (name, t) {
        var e = tops[k][t];
        if (differ || !e) return name;
        var used = [];
        (function walk(n, top) {
          if (!top && n.children.length) {
            var r = ruleOf(n, p.rules);
            if (p.rules.indexOf(r) >= 0 && used.indexOf(r) < 0) used.push(r);
          }
          n.children.forEach(function (c) { walk(c, false); });
        })(e.node, true);
        return used.length ? used.join(" + ") : "—";
      });
    });
    var groups = [], byKey = new Map();
    roots.forEach(function (root, t) {
      var labels = points.map(function (p, k) { return p.span + ": " + parts[k][t]; });
      var key = root.label + "\n" + labels.join("\n");
      var g = byKey.get(key);
      if (!g) {
        g = { root: root.label, points: labels, trees: [], first: groups.length };
        byKey.set(key, g);
        groups.push(g);
      }
      g.trees.push(t);
    });
    groups.sort(function (a, b) { return b.trees.length - a.trees.length || a.first - b.first; });
    return groups;
  }

  // Many parses in groups: each with its count and its first trees drawn,
  // the rest behind "show all".
  function groupsBox(roots, points, tops, note) {
    var groups = groupParses(roots, points, tops || []);
    var box = el("div", "groups");
    box.appendChild(el("p", "note", note + "共 " + roots.length + " 种组合方式，按根节点" +
                                    (points.length ? "和歧义点上的竞争规则" : "") + "分为 " +
                                    groups.length + " 组："));
    function draw(target, trees) {
      target.innerHTML = renderSvg(layOutTrees(trees.map(function (t) { return roots[t]; }), 1,
                                               trees.map(function (t) { return t + 1; })));
    }
    groups.forEach(function (g) {
      var div = el("div", "group");
      div.dataset.count = String(g.trees.length);
      var head = el("div", "group-head");
      head.appendChild(el("span", "group-root", "根 " + g.root));
      g.points.forEach(function (p) { head.appendChild(el("span", "group-point", "歧义点 " + p)); });
      head.appendChild(el("span", "group-count", g.trees.length + " 种"));
      div.appendChild(head);
      var first = el("div", "trees");
      draw(first, g.trees.slice(0, GROUP_TREES));
      div.appendChild(first);
      if (g.trees.length > GROUP_TREES) {
        var rest = el("details", "group-rest");
        rest.appendChild(el("summary", "", "显示全部 " + g.trees.length + " 种（另 " +
                                           (g.trees.length - GROUP_TREES) + " 种）"));
        var restBox = el("div", "trees");
        rest.appendChild(restBox);
        rest.addEventListener("toggle", function () {
          if (rest.open && !restBox.firstChild) draw(restBox, g.trees.slice(GROUP_TREES));
        });
        div.appendChild(rest);
      }
      box.appendChild(div);
    });
    return box;
  }

  // What the marks of the trees mean.
  function legend(items) {
    var p = el("p", "legend");
    items.forEach(function (item) {
      var swatch = el("span", "swatch " + item[0]);
      p.appendChild(swatch);
      p.appendChild(el("span", "", item[1]));
    });
    return p;
  }

  // ---- The section 变化 ---------------------------------------------------

  var SOURCE_TITLES = { tagset: "标记全排列", sequences: "sequences.txt" };
  var SHORT_JUDGEMENTS = ["不能组合", "只有一种组合方式", "外显型歧义", "内含型歧义"];

  // The transition [old, new] of a change, 4 for a side without it.
  function transitionOf(c) { return [c.o ? c.o[0] : 4, c.n ? c.n[0] : 4]; }

  function judgementChanged(c) {
    var t = transitionOf(c);
    return t[0] !== t[1];
  }

  // One side of a changed pattern: its parses listed, those lost (or
  // gained) marked, and its trees drawn with the nodes of the rules only
  // they use marked.
  function changeSide(title, side, parses, marked, rules, kind) {
    var column = el("div", "side " + kind);
    column.appendChild(el("h4", "", title + (side ? "：" + SHORT_JUDGEMENTS[side[0]] + "，" +
                                                 side[1] + " 种组合方式" : "：无此格式")));
    if (!side) return column;
    var isMarked = parses.map(function (_, k) { return marked.indexOf(k) >= 0; });
    var list = el("ol", "parses");
    parses.forEach(function (text, k) {
      var li = el("li", isMarked[k] ? kind : "", (isMarked[k] ? (kind === "lost" ? "− " : "+ ") : "") +
                                                 "[" + (k + 1) + "]" + text);
      li.dataset.text = text;
      list.appendChild(li);
    });
    column.appendChild(list);
    if (parses.length < Number(side[1])) {
      column.appendChild(el("p", "note", "此处列出前 " + parses.length + " 种。"));
    }
    var roots = parses.map(parseBracketed);
    if (roots.length && roots.every(function (r) { return r !== null; })) {
      roots.forEach(function (root, k) {
        if (!isMarked[k]) return;
        (function walk(n) {
          if (n.children.length && rules.indexOf(ruleOf(n, rules)) >= 0) n.marked = true;
          n.children.forEach(walk);
        })(root);
      });
      var box = el("div", "trees");
      column.appendChild(box);
      drawTrees(box, roots, TREES_AT_ONCE, isMarked.map(function (m) { return m ? kind : null; }));
    }
    return column;
  }

  function renderChange(c, container) {
    var entry = el("div", "entry change");
    entry.dataset.items = c.i;
    entry.dataset.kind = c.s;
    var t = transitionOf(c);
    entry.dataset.transition = t.join("-");
    var line = el("div");
    line.appendChild(el("span", "items", c.i));
    line.appendChild(el("span", "count", SOURCE_TITLES[c.s]));
    line.appendChild(el("span", "transition", (c.o ? SHORT_JUDGEMENTS[c.o[0]] : "（新增）") + " → " +
                                              (c.n ? SHORT_JUDGEMENTS[c.n[0]] : "（已去掉）")));
    line.appendChild(el("span", "count", "组合方式 " + (c.o ? c.o[1] : "—") + " → " +
                                         (c.n ? c.n[1] : "—")));
    entry.appendChild(line);
    if (!c.cmp) {
      entry.appendChild(el("p", "note", "组合方式未逐一比较：有一方超出列出的上限，或基准表只有其中一部分。"));
    }
    if (c.rl.length) entry.appendChild(el("p", "rules-lost", "只有去掉的组合方式用到的规则：" + c.rl.join("；")));
    if (c.rg.length) entry.appendChild(el("p", "rules-gained", "只有新增的组合方式用到的规则：" + c.rg.join("；")));
    var sides = el("div", "sides");
    sides.appendChild(changeSide("原来", c.o, c.op, c.l, c.rl, "lost"));
    sides.appendChild(changeSide("现在", c.n, c.np, c.g, c.rg, "gained"));
    entry.appendChild(sides);
    container.appendChild(entry);
  }

  // The section 变化: per source the judgement transitions, old by row and
  // new by column; a click on a cell shows only the changed patterns of
  // that transition, a second click all of them. Changes of judgement come
  // before changes of the parses alone.
  function changesSection(d) {
    var section = el("section", "changes");
    section.id = "changes";
    section.appendChild(el("h2", "", "变化"));
    section.appendChild(el("p", "note", "与" + d.base + " 比较的结果。"));
    var ordered = changes.filter(judgementChanged).concat(
      changes.filter(function (c) { return !judgementChanged(c); }));
    var chosen = null;  // {s, from, to}
    var cells = [];
    var status = el("p", "change-status");
    var list = el("div", "change-list");
    var pager = new Pager(list, CHANGES_PAGE, renderChange);
    function show() {
      var shown = chosen === null ? ordered : ordered.filter(function (c) {
        var t = transitionOf(c);
        return c.s === chosen.s && t[0] === chosen.from && t[1] === chosen.to;
      });
      cells.forEach(function (td) {
        td.classList.toggle("chosen", chosen !== null && td.dataset.s === chosen.s &&
                            Number(td.dataset.from) === chosen.from &&
                            Number(td.dataset.to) === chosen.to);
      });
      var name = function (j, absent) { return j === 4 ? absent : SHORT_JUDGEMENTS[j]; };
      status.textContent = chosen === null ? "有变化的格式共 " + ordered.length + " 个：" :
        SOURCE_TITLES[chosen.s] + "，" + name(chosen.from, "新增") + " → " +
        name(chosen.to, "已去掉") + "：有变化的格式 " + shown.length + " 个";
      pager.show(shown, 0);
    }
    d.src.forEach(function (src) {
      var box = el("div", "transitions");
      box.dataset.kind = src.s;
      box.appendChild(el("h3", "", SOURCE_TITLES[src.s] + "：共 " + src.n + " 个格式，" + src.ch +
                                   " 个有变化"));
      var table = el("table", "transition-table"), head = el("tr");
      head.appendChild(el("th", "", "原来 ＼ 现在"));
      SHORT_JUDGEMENTS.concat(["已去掉"]).forEach(function (t) { head.appendChild(el("th", "num", t)); });
      table.appendChild(head);
      src.t.forEach(function (row, from) {
        var tr = el("tr");
        tr.appendChild(el("th", "", from === 4 ? "新增" : SHORT_JUDGEMENTS[from]));
        row.forEach(function (count, to) {
          if (from === 4 && to === 4) {
            tr.appendChild(el("td", "num", "—"));
            return;
          }
          var td = el("td", "num cell" + (from === to ? " same" : count > 0 ? " moved" : ""),
                      String(count));
          td.dataset.s = src.s;
          td.dataset.from = String(from);
          td.dataset.to = String(to);
          td.onclick = function () {
            var same = chosen !== null && chosen.s === src.s && chosen.from === from &&
                       chosen.to === to;
            chosen = same ? null : { s: src.s, from: from, to: to };
            show();
          };
          cells.push(td);
          tr.appendChild(td);
        });
        table.appendChild(tr);
      });
      box.appendChild(table);
      var average = function (k) { return function (a) { return a[k] === null ? "无" : a[k]; }; };
      box.appendChild(el("p", "average", "外显型歧义平均歧义个数：" + average(1)(src.oa) + " → " +
                                         average(1)(src.na) + "；内含型歧义平均歧义个数：" +
                                         average(0)(src.oa) + " → " + average(0)(src.na)));
      section.appendChild(box);
    });
    section.appendChild(el("p", "note", "点击表中的一格只显示这种变化的格式，再点击一次显示全部。"));
    section.appendChild(legend([["lost", "去掉的组合方式"], ["gained", "新增的组合方式"],
                                ["mark", "只有它们用到的规则所建的节点"]]));
    section.appendChild(status);
    section.appendChild(list);
    show();
    return section;
  }

  function renderChip(rep, i, container) {
    var chip = el("span", "", itemsText(rep.lines[i]));
    chip.className = "entry-chip";
    chip.dataset.items = chip.textContent;
    container.appendChild(chip);
  }

  // Compare decimal texts of whole numbers by value.
  function compareCounts(a, b) {
    return a.length - b.length || (a < b ? -1 : a > b ? 1 : 0);
  }

  function rankingTable(rep, key, title, average) {
    var records = (rep.summary[key] ? rep.summary[key].split(";") : []).map(function (r, k) {
      var p = r.split(",");
      var number = Number(p[0]);
      return { rank: k + 1, number: number, count: p[1], items: itemsText(rep.lines[number]) };
    });
    var box = el("div", "ranking");
    box.dataset.ranking = key === "rc" ? "3" : "2";
    box.appendChild(el("h3", "", title));
    var table = el("table"), head = el("tr");
    var columns = [["名次", "rank", "num"], ["格式", "items", ""], ["歧义个数", "count", "num"]];
    var sortKey = "rank", ascending = true;
    var bodyBox = el("div");
    var pager = new Pager(bodyBox, RANK_PAGE, function (rec, container) {
      var tr = el("tr");
      tr.appendChild(el("td", "num", String(rec.rank)));
      tr.appendChild(el("td", "items", rec.items));
      tr.appendChild(el("td", "num", rec.count));
      container.appendChild(tr);
    });
    // The pager's entries are rows: give it a table body to fill.
    pager.draw = function () {
      Pager.prototype.draw.call(this);
      var entries = bodyBox.querySelector(".entries");
      var t = el("table", "rank-table");
      t.appendChild(head);
      while (entries.firstChild) t.appendChild(entries.firstChild);
      entries.appendChild(t);
    };
    columns.forEach(function (c) {
      var th = el("th", "sort " + c[2], c[0]);
      th.dataset.key = c[1];
      th.onclick = function () {
        ascending = sortKey === c[1] ? !ascending : c[1] !== "count";
        sortKey = c[1];
        update();
      };
      head.appendChild(th);
    });
    function update() {
      head.querySelectorAll("th").forEach(function (th) {
        th.classList.toggle("asc", th.dataset.key === sortKey && ascending);
        th.classList.toggle("desc", th.dataset.key === sortKey && !ascending);
      });
      var rows = records.filter(function (r) { return matches(rep, r.number); });
      rows.sort(function (a, b) {
        var d = sortKey === "count" ? compareCounts(a.count, b.count)
              : sortKey === "items" ? (a.items < b.items ? -1 : a.items > b.items ? 1 : 0)
              : a.rank - b.rank;
        return (ascending ? d : -d) || a.rank - b.rank;
      });
      pager.show(rows, 0);
    }
    box.appendChild(bodyBox);
    box.appendChild(el("p", "average", title + "平均歧义个数：" +
                                       (average === null ? "无" : average)));
    box.update = update;
    return box;
  }

  var views = [];  // every category and ranking shown, for updates

  function reportSection(rep) {
    var section = el("section", "report");
    section.dataset.source = rep.kind;
    section.appendChild(el("h2", "", reportTitle(rep)));
    section.appendChild(legend([["mark", "各种组合方式不同之处"],
                                ["point", "歧义点：竞争规则在此所建的顶层节点"]]));
    [0, 1, 2, 3].forEach(function (j) {
      var details = el("details", "cat");
      details.dataset.j = String(j);
      details.open = j >= 2;
      var summary = el("summary", "", JUDGEMENTS[j]);
      var n = el("span", "n");
      summary.appendChild(n);
      details.appendChild(summary);
      var body = el("div", "body");
      details.appendChild(body);
      var pager = new Pager(body, PAGE_SIZE[j], function (i, container) {
        if (j === 0) {
          container.classList.add("chips");
          renderChip(rep, i, container);
        } else {
          renderEntry(rep, i, container);
        }
      });
      var view = { rep: rep, j: j, element: details, drawn: false, list: null };
      view.update = function () {
        var all = rep.byJudgement[j];
        view.list = filtered(rep, all);
        n.textContent = query === null ? all.length + " 个" : view.list.length + " / " + all.length + " 个";
        view.drawn = false;
        if (details.open) { pager.show(view.list, 0); view.drawn = true; }
      };
      details.addEventListener("toggle", function () {
        if (details.open && !view.drawn) { pager.show(view.list, 0); view.drawn = true; }
      });
      views.push(view);
      section.appendChild(details);
    });
    var degree = el("details", "cat degree");
    degree.open = true;
    degree.appendChild(el("summary", "", "歧义程度统计"));
    var body = el("div", "body");
    degree.appendChild(body);
    [["rc", "内含型歧义", 0, 3], ["ro", "外显型歧义", 1, 2]].forEach(function (r) {
      var table = rankingTable(rep, r[0], r[1] + "格式", rep.summary.a[r[2]]);
      body.appendChild(table);
      views.push({ rep: rep, j: r[3], element: table, update: table.update });
    });
    section.appendChild(degree);
    if (rep.summary.src) section.appendChild(sourcesSection(rep));
    return section;
  }

  // The section 规则: each rule's usage and the run without it, the rules
  // no parse uses, the findings of the data files' checks.
  function rulesSection(d) {
    var section = el("section", "rules");
    section.id = "rules";
    section.appendChild(el("h2", "", "规则"));
    var table = el("table", "rule-effects");
    var head = el("tr", "");
    ["规则", "位置", "标记全排列：使用（分析/格式）", "去掉后", "sequences.txt：使用（分析/格式）",
     "去掉后"].forEach(function (t) { head.appendChild(el("th", "", t)); });
    table.appendChild(head);
    var unused = [];
    d.rows.forEach(function (row) {
      var tr = el("tr", row[6] ? "" : "unused");
      for (var k = 0; k < 6; ++k) tr.appendChild(el("td", "", row[k] === null ? "—" : row[k]));
      table.appendChild(tr);
      if (!row[6]) unused.push(row[0] + " (" + row[1] + ")");
    });
    section.appendChild(table);
    section.appendChild(el("h3", "", "未用的规则"));
    if (!unused.length) section.appendChild(el("p", "note", "每条规则都有分析用到。"));
    var list = el("ul", "unused-rules");
    unused.forEach(function (t) { list.appendChild(el("li", "", t)); });
    if (unused.length) section.appendChild(list);
    section.appendChild(el("h3", "", "数据文件检查"));
    if (!d.lint.length) section.appendChild(el("p", "note", "没有发现问题。"));
    var findings = el("ul", "lint");
    d.lint.forEach(function (t) { findings.appendChild(el("li", "", t)); });
    if (d.lint.length) section.appendChild(findings);
    return section;
  }

  // The sources of ambiguity: a row for each set of competing rules; a
  // click on a row shows only the patterns with a point of that set.
  function sourcesSection(rep) {
    var details = el("details", "cat sources");
    details.open = true;
    details.appendChild(el("summary", "", "歧义来源"));
    var body = el("div", "body");
    details.appendChild(body);
    var rows = rep.summary.src;
    if (!rows.length) {
      body.appendChild(el("p", "note", "没有歧义来源。"));
      return details;
    }
    var table = el("table", "source-table"), head = el("tr");
    ["竞争规则", "外显型", "内含型", "合计", "平均歧义个数", "例子"].forEach(function (t, k) {
      head.appendChild(el("th", k >= 1 && k <= 4 ? "num" : "", t));
    });
    table.appendChild(head);
    rows.forEach(function (r) {
      var tr = el("tr", "source");
      tr.title = r.g.join("\n");
      tr.dataset.key = rulesKey(r.g);
      tr.appendChild(el("td", "rules", r.t));
      [r.o, r.c, r.o + r.c].forEach(function (n) { tr.appendChild(el("td", "num", String(n))); });
      tr.appendChild(el("td", "num", r.a));
      tr.appendChild(el("td", "items", r.x.map(function (n) {
        return itemsText(rep.lines[n]);
      }).join("；")));
      tr.onclick = function () {
        var same = sourceFilter !== null && sourceFilter.rep === rep &&
                   sourceFilter.key === tr.dataset.key;
        sourceFilter = same ? null : { rep: rep, key: tr.dataset.key, text: r.t };
        table.querySelectorAll("tr.source").forEach(function (row) {
          row.classList.toggle("chosen", sourceFilter !== null && row === tr);
        });
        update();
      };
      table.appendChild(tr);
    });
    body.appendChild(table);
    body.appendChild(el("p", "note", "点击一行只显示有这组竞争规则的歧义格式，再点击一次显示全部。"));
    return details;
  }

  function checkedValues(id) {
    var out = {};
    document.querySelectorAll("#" + id + " input").forEach(function (input) {
      out[input.value] = input.checked;
    });
    return out;
  }

  function applyFilters() {
    var judgements = checkedValues("judgements"), sources = checkedValues("sources");
    var found = 0;
    document.querySelectorAll("[data-source]").forEach(function (e) {
      e.classList.toggle("hidden", !sources[e.dataset.source]);
    });
    views.forEach(function (v) {
      var shown = judgements[String(v.j)] && sources[v.rep.kind];
      v.element.classList.toggle("hidden", !judgements[String(v.j)]);
      if (v.list && shown) found += v.list.length;
    });
    var status = document.getElementById("status");
    status.textContent = query === null && sourceFilter === null ? "" :
      (sourceFilter === null ? "" : "歧义来源 " + sourceFilter.text + "：") +
      "找到 " + found + " 个格式";
  }

  function update() {
    setQuery(document.getElementById("search").value);
    views.forEach(function (v) { v.update(); });
    applyFilters();
  }

  function start() {
    var reports = load();
    var main = document.getElementById("main");
    main.textContent = "";
    var summary = el("section", "");
    summary.id = "summary";
    summary.appendChild(el("h2", "", "概要"));
    var tables = el("div", "summaries");
    reports.forEach(function (rep) { tables.appendChild(summaryTable(rep)); });
    summary.appendChild(tables);
    if (!reports.length) summary.appendChild(el("p", "note", "这次分析没有写出报告。"));
    main.appendChild(summary);
    if (changeTables) main.appendChild(changesSection(changeTables));
    reports.forEach(function (rep) { main.appendChild(reportSection(rep)); });
    if (rulesData) main.appendChild(rulesSection(rulesData));
    update();

    var timer = null;
    document.getElementById("search").addEventListener("input", function () {
      clearTimeout(timer);
      timer = setTimeout(update, 150);
    });
    document.querySelectorAll("#judgements input, #sources input").forEach(function (input) {
      input.addEventListener("change", applyFilters);
    });

    // For checks from outside (the tests): the layout of a pattern's trees.
    window.marvolen = {
      ready: true,
      update: update,
      sourcesFor: function (kind) {
        var rep = reports.filter(function (r) { return r.kind === kind; })[0];
        return rep ? rep.summary.src : null;
      },
      layoutFor: function (kind, items) {
        var rep = reports.filter(function (r) { return r.kind === kind; })[0];
        if (!rep) return null;
        for (var i = 0; i < rep.n; ++i) {
          if (itemsText(rep.lines[i]) !== items) continue;
          var roots = treesOf(parseRecord(rep.lines[i]));
          return roots ? layOutTrees(roots, 1) : null;
        }
        return null;
      }
    };
    if (window.performance && performance.mark) performance.mark("mv-ready");
  }

  if (document.readyState === "loading") {
    document.addEventListener("DOMContentLoaded", start);
  } else {
    start();
  }
})();
