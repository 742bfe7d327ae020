// marvolen-report --parse and --svg.
#include "cli/parse_command.h"

#include <algorithm>
#include <new>
#include <system_error>

#include "analysis/classification.h"
#include "analysis/divergences.h"
#include "analysis/parse_differences.h"
#include "analysis/report_writer.h"
#include "analysis/sequence_analysis.h"
#include "drawing/svg.h"
#include "drawing/tree_layout.h"
#include "encoding/gbk.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/replace_file.h"
#include "run/grammar_files.h"
#include "run/run.h"

namespace marvolen {

namespace {

// Said instead of the divergence points of parses too many to list.
constexpr char kPointsNotFound[] = "歧义点：未计算（组合方式超出上限）";

// Trees side by side wrap into rows of this width in the SVG.
constexpr double kSvgRowWidth = 1600;

ParseOutcome Failed(ParseOutcome::End end, std::string error, int messages = 0) {
  ParseOutcome outcome;
  outcome.end = end;
  outcome.error = std::move(error);
  outcome.messages = messages;
  return outcome;
}

// Why the items cannot be analysed, or nothing when they can.
std::optional<std::string> CheckItems(const std::string& gbk) {
  const SequenceAnalysis split = SplitSequence(gbk);
  switch (split.problem) {
    case SequenceProblem::kTooManyItems:
      return "--parse takes at most five items, not " + std::to_string(split.itemCount);
    case SequenceProblem::kItemTooLong:
      return "item longer than 19 bytes in GBK: " + GbkToUtf8(split.overlongItem);
    case SequenceProblem::kNone:
    case SequenceProblem::kOutOfMemory:
      break;
  }
  return std::nullopt;
}

// The drawing of the first parses (their differences marked, the tops of
// `points` framed, numbered when there are several), with a line above
// saying how many are drawn when not all of them are.
std::string Drawing(const ParseList& trees, std::uint64_t count, PermutationClass judgement,
                    const DivergencePoints& points, const RuleGroups& groups) {
  TreeStyle style;
  style.maxRowWidth = kSvgRowWidth;
  const MeasureText measure = [&style](std::string_view text) {
    return ApproximateTextWidth(text, style.fontSize);
  };
  const ParseMarks marks = MarkDifferences(trees, judgement);
  DrawnTree drawing = LayOutTrees(trees, measure, style, marks, count > 1 ? 1 : 0);
  ParseMarks tops;
  for (const auto& tree : trees) tops.push_back(PointMarks(*tree, points, groups));
  SetPointTops(drawing, tops);
  if (count > trees.size()) {
    AddLineAbove(drawing,
                 "The first " + std::to_string(trees.size()) + " of " + std::to_string(count) +
                     " parses are drawn.",
                 DrawnText::Role::kTitle, measure, style);
  }
  return RenderSvg(drawing, style);
}

// Begin replacing the SVG file, which must not be a file the command reads
// or the report file of config.ini; null with the reason when refused.
std::unique_ptr<FileReplacement> BeginSvg(const std::string& startupDir, const std::string& svg,
                                          std::string& reason) {
  const std::string profile = ProfilePathFor(startupDir);
  const RunConfig config = ReadRunConfig(profile);
  // The data files are named relative to the start-up directory, which is
  // the current one.
  for (const std::string& input :
       {profile, NativePath(config.tags), NativePath(config.sequences), NativePath(config.rules)}) {
    if (!input.empty() && SameFile(svg, input)) {
      reason = "the SVG file is also an input file and was not overwritten: " + DisplayPath(svg);
      return nullptr;
    }
  }
  if (!config.result.empty() && SameFile(svg, NativePath(config.result))) {
    reason = "the SVG file is the report file and was not overwritten: " + DisplayPath(svg);
    return nullptr;
  }
  std::string error;
  std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(svg, &error);
  if (!replacement) reason = "cannot write '" + DisplayPath(svg) + "': " + DisplayPath(error);
  return replacement;
}

}  // namespace

ParseOutcome RunParse(const std::string& startupDir, const ParseRequest& request,
                      UserInterface& person, std::FILE* out) {
  const std::optional<std::string> gbk = Utf8ToGbk(request.items);
  if (!gbk) {
    return Failed(ParseOutcome::End::kUsageError,
                  IsValidUtf8(request.items) ? "the items hold a character that GBK cannot hold"
                                             : "the items are not UTF-8 text");
  }
  if (const auto problem = CheckItems(*gbk)) {
    return Failed(ParseOutcome::End::kUsageError, *problem);
  }
  // The drawing is refused at once, before anything is read, when it would
  // overwrite a file of the data set or the report, or is no plain file
  // that may be written (a folder, a pipe, a device, a read-only file).
  std::unique_ptr<FileReplacement> svgFile;
  if (request.svgPath) {
    std::string reason;
    svgFile = BeginSvg(startupDir, *request.svgPath, reason);
    if (!svgFile) return Failed(ParseOutcome::End::kWriteFailed, reason);
  }
  const std::string svgName = request.svgPath ? DisplayPath(*request.svgPath) : "";

  CountingUserInterface ui(person);
  std::optional<GrammarFiles> files = ReadGrammarFiles(startupDir, ui);
  if (!files) return Failed(ParseOutcome::End::kOpenFailed, "", ui.messages());

  const SequenceAnalysis split = SplitSequence(*gbk);
  Permutation permutation;
  for (std::size_t k = 0; k < split.items.size(); ++k) permutation.items[k] = split.items[k];
  permutation.currentItemCount = split.itemCount;

  bool written = true;
  auto print = [&](const std::string& gbkText) {
    if (written) written = WriteText(out, GbkToUtf8(gbkText));
  };
  std::string svg;
  std::uint64_t count = 0;
  try {
    std::unique_ptr<ParseEngine> engine =
        std::move(MakeParseEngines(request.engine, files->ruleSet, 1, request.stop).front());
    // Counting first keeps a line of millions of parses from building them.
    const ParseSummary summary = engine->CountDistinctParses(permutation, request.maxParses);
    count = summary.count;
    const PermutationClass judgement = ClassifySummary(summary);
    print(Gbk(JudgementWords(judgement)) + "\n");
    // The judgement is out at once, before the passes over the parses.
    if (written && std::fflush(out) != 0) written = false;
    if (count > request.maxParses) {
      // The report's own line for parses too many to list, without its indent.
      const std::string line = UnlistedParsesLine(count, request.maxParses);
      print(line.substr(line.find_first_not_of('\t')));
      print(Gbk(kPointsNotFound) + "\n");
    } else {
      // The points first, from one pass over the parses, then the parses.
      const RuleGroups groups(files->ruleSet);
      const DivergencePoints points = FindDivergences(*engine, judgement, groups);
      for (const DivergencePoint& point : points) {
        print(Gbk("歧义点 ") + SpanText(point) + ": " + CompetingRules(point, groups) + "\n");
      }
      std::uint64_t number = 0;
      std::string line;
      engine->PrintDistinctParses([&](std::string_view bracketed, std::string_view) {
        line.clear();
        if (count > 1) line = "[" + std::to_string(++number) + "]";
        line += bracketed;
        line += '\n';
        print(line);
      });
      if (svgFile)
        svg = Drawing(engine->FirstDistinctParses(kSvgTrees), count, judgement, points, groups);
    }
  } catch (const SearchStopped&) {
    svgFile.reset();
    std::fflush(out);
    return Failed(ParseOutcome::End::kStopped,
                  request.svgPath ? "stopped; the SVG file was left as it was: " + svgName
                                  : "stopped",
                  ui.messages());
  } catch (const std::bad_alloc&) {
    svgFile.reset();
    ui.ShowMessage("Memory Allocation Error !");
    return Failed(ParseOutcome::End::kFailed, "", ui.messages());
  }
  if (!written || std::fflush(out) != 0 || std::ferror(out)) {
    return Failed(ParseOutcome::End::kFailed, "cannot write to standard output", ui.messages());
  }
  if (request.stop.stop_requested()) {
    return Failed(ParseOutcome::End::kStopped,
                  request.svgPath ? "stopped; the SVG file was left as it was: " + svgName
                                  : "stopped",
                  ui.messages());
  }
  if (svgFile) {
    if (count > request.maxParses) {
      svgFile.reset();
      return Failed(ParseOutcome::End::kWriteFailed,
                    "no drawing was made, as the parses are more than --max-parses=" +
                        std::to_string(request.maxParses) + "; the SVG file was left as it " +
                        "was: " + svgName,
                    ui.messages());
    }
    if (count > kSvgTrees) {
      person.ShowMessage("The SVG file draws the first " + std::to_string(kSvgTrees) + " of " +
                         std::to_string(count) + " parses: " + svgName);
    }
    std::string error;
    const bool complete = std::fwrite(svg.data(), 1, svg.size(), svgFile->file()) == svg.size();
    if (!complete || !svgFile->Commit(&error)) {
      svgFile.reset();
      return Failed(ParseOutcome::End::kWriteFailed,
                    "cannot write '" + svgName +
                        "': " + (error.empty() ? std::string("write failed") : DisplayPath(error)),
                    ui.messages());
    }
  }
  ParseOutcome outcome;
  outcome.messages = ui.messages();
  return outcome;
}

}  // namespace marvolen
