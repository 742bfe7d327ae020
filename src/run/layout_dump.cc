// run-layout-dump DIR: the tree layout of every permutation that combines
// in the run configured in DIR, as the workbench and --svg lay trees out,
// one JSON object a line, for checking the HTML report's script against it.
//
// Each line: {"kind": "tagset"|"sequences", "items": "...", "width": W,
// "height": H, "nodes": [[left, top, width, height, marked], ...],
// "texts": [[role, text, left, top, width, height], ...],
// "edges": [[x, y, x, y, ...], ...]}, the numbers with 17 digits.
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/classification.h"
#include "analysis/parse_differences.h"
#include "datafiles/sequences.h"
#include "drawing/tree_layout.h"
#include "encoding/gbk.h"
#include "export/html_report.h"
#include "grammar/permutation.h"
#include "grammar/search_engines.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "run/grammar_files.h"
#include "run/run.h"

namespace marvolen {
namespace {

std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

void Rect(const DrawingRect& box, std::string& out) {
  out +=
      Number(box.left) + "," + Number(box.top) + "," + Number(box.width) + "," + Number(box.height);
}

void Dump(const char* kind, const Permutation& permutation, ParseEngine& engine) {
  const ParseList parses = engine.FindDistinctParses(permutation);
  if (parses.empty() || parses.size() > kHtmlParses) return;
  const ParseMarks marks = MarkDifferences(parses, ClassifyParses(parses));
  const TreeStyle style;
  const DrawnTree drawing = LayOutTrees(
      parses, [&](std::string_view text) { return ApproximateTextWidth(text, style.fontSize); },
      style, marks, 1);
  std::string items;
  for (int k = 0; k < permutation.currentItemCount; ++k) {
    if (k > 0) items += ' ';
    items += permutation.items[static_cast<std::size_t>(k)];
  }
  std::string line = std::string("{\"kind\":\"") + kind + "\",\"items\":";
  AppendJsonString(GbkToUtf8(items), line);
  line += ",\"width\":" + Number(drawing.width) + ",\"height\":" + Number(drawing.height);
  line += ",\"nodes\":[";
  for (std::size_t n = 0; n < drawing.nodes.size(); ++n) {
    line += n ? ",[" : "[";
    Rect(drawing.nodes[n].box, line);
    line += drawing.nodes[n].marked ? ",true]" : ",false]";
  }
  line += "],\"texts\":[";
  for (std::size_t t = 0; t < drawing.texts.size(); ++t) {
    const DrawnText& text = drawing.texts[t];
    line += t ? ",[\"" : "[\"";
    line += text.role == DrawnText::Role::kLabel   ? "label"
            : text.role == DrawnText::Role::kTitle ? "title"
                                                   : "number";
    line += "\",";
    AppendJsonString(text.text, line);
    line += ',';
    Rect(text.box, line);
    line += ']';
  }
  line += "],\"edges\":[";
  for (std::size_t e = 0; e < drawing.edges.size(); ++e) {
    line += e ? ",[" : "[";
    for (std::size_t p = 0; p < drawing.edges[e].points.size(); ++p) {
      if (p > 0) line += ',';
      line += Number(drawing.edges[e].points[p].x) + "," + Number(drawing.edges[e].points[p].y);
    }
    line += ']';
  }
  line += "]}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

int Main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: run-layout-dump DIR\n");
    return 64;
  }
  RecordingUserInterface ui;
  const std::string dir = argv[1];
  std::optional<GrammarFiles> grammar = ReadGrammarFiles(dir, ui);
  const RunConfig config = ReadRunConfig(ProfilePathFor(CurrentDirectory()));
  const auto sequencesFile = InputStream::Open(NativePath(config.sequences));
  if (!grammar || !sequencesFile) {
    std::fprintf(stderr, "run-layout-dump: cannot read the files of %s\n", argv[1]);
    return 2;
  }
  SequenceList sequences;
  ReadSequences(sequences, *sequencesFile, ui);
  auto engines = MakeParseEngines(SearchEngine::kChart, grammar->ruleSet, 1);
  ParseEngine& engine = *engines.front();

  const std::vector<std::string>& tags = grammar->tagSet.tags;
  const int n = static_cast<int>(tags.size());
  const bool threeItemsOnly = ThreeItemsOnlyFor(config.itemLength);
  Permutation permutation;
  for (int code = 0; code < (threeItemsOnly ? 1 : 8); ++code) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        for (int k = 0; k < n; ++k) {
          if (threeItemsOnly) {
            BuildThreeItemPermutation(i, j, k, tags, permutation);
          } else {
            BuildPatternPermutation(code, i, j, k, tags, permutation);
          }
          Dump("tagset", permutation, engine);
        }
      }
    }
  }
  for (const std::string& line : sequences.lines) {
    int count = 0;
    SplitSequenceLine(count, line, permutation);
    if (count > kMaxItems) continue;
    permutation.currentItemCount = count;
    Dump("sequences", permutation, engine);
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace marvolen

int main(int argc, char** argv) { return marvolen::Main(argc, argv); }
