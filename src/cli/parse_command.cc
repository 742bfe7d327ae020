// marvolen-report --parse and --svg.
#include "cli/parse_command.h"

#include <cerrno>
#include <cstring>
#include <new>

#include "analysis/parse_differences.h"
#include "analysis/report_writer.h"
#include "analysis/sequence_analysis.h"
#include "drawing/svg.h"
#include "drawing/tree_layout.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/gbk.h"
#include "run/grammar_files.h"
#include "run/run.h"

namespace marvolen {

namespace {

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

std::string ParseLines(const SequenceAnalysis& analysis, std::uint64_t limit) {
  std::string text = Gbk(JudgementWords(analysis.judgement));
  text += '\n';
  if (analysis.parseCount > limit) {
    // The report's own line for parses too many to list, without its indent.
    std::string line = UnlistedParsesLine(analysis.parseCount, limit);
    text += line.substr(line.find_first_not_of('\t'));
  }
  const bool numbered = analysis.parses.size() > 1;
  for (std::size_t k = 0; k < analysis.parses.size(); ++k) {
    if (numbered) text += "[" + std::to_string(k + 1) + "]";
    PrintTree(analysis.parses[k].get(), text);
    text += '\n';
  }
  return GbkToUtf8(text);
}

// The drawing of all the parses, numbered when there are several, with
// their differences marked.
std::string Drawing(const SequenceAnalysis& analysis) {
  TreeStyle style;
  style.maxRowWidth = kSvgRowWidth;
  const MeasureText measure = [&style](std::string_view text) {
    return ApproximateTextWidth(text, style.fontSize);
  };
  const ParseMarks marks = MarkDifferences(analysis.parses, analysis.judgement);
  const DrawnTree drawing = LayOutTrees(analysis.parses, measure, style, marks,
                                        analysis.parses.size() > 1 ? 1 : 0);
  return RenderSvg(drawing, style);
}

// Create or replace the file at `path` with `text`; false with the reason
// when that fails.
bool WriteFile(const std::string& path, const std::string& text, std::string& reason) {
  UniqueFile file = OpenFile(path, "wb");
  if (!file) {
    reason = std::strerror(errno);
    return false;
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) reason = "the file could not be written completely";
  return written && closed;
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
  // The drawing must not replace a file of the data set.
  if (request.svgPath) {
    const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir));
    for (const std::string& input : {ProfilePathFor(startupDir), NativePath(config.tags),
                                     NativePath(config.sequences), NativePath(config.rules)}) {
      if (SameExistingFile(*request.svgPath, input)) {
        return Failed(ParseOutcome::End::kWriteFailed,
                      "the SVG file is also an input file and was not overwritten: " +
                          DisplayPath(*request.svgPath));
      }
    }
  }

  CountingUserInterface ui(person);
  std::optional<GrammarFiles> files = ReadGrammarFiles(startupDir, ui);
  if (!files) return Failed(ParseOutcome::End::kOpenFailed, "", ui.messages());

  SequenceAnalysis analysis;
  std::string svg;
  try {
    SequenceAnalyser analyser(std::move(files->ruleSet), request.engine, request.maxParses);
    analysis = analyser.Analyse(*gbk);
    if (analysis.problem == SequenceProblem::kNone && request.svgPath) svg = Drawing(analysis);
  } catch (const std::bad_alloc&) {
    analysis.problem = SequenceProblem::kOutOfMemory;
  }
  if (analysis.problem == SequenceProblem::kOutOfMemory) {
    ui.ShowMessage("Memory Allocation Error !");
    return Failed(ParseOutcome::End::kFailed, "", ui.messages());
  }

  const std::string lines = ParseLines(analysis, request.maxParses);
  const bool written = WriteText(out, lines);
  if (!written || std::fflush(out) != 0 || std::ferror(out)) {
    return Failed(ParseOutcome::End::kFailed, "cannot write to standard output",
                  ui.messages());
  }
  if (request.svgPath) {
    std::string reason;
    if (!WriteFile(*request.svgPath, svg, reason)) {
      return Failed(ParseOutcome::End::kWriteFailed,
                    "cannot write '" + DisplayPath(*request.svgPath) + "': " + reason,
                    ui.messages());
    }
  }
  ParseOutcome outcome;
  outcome.messages = ui.messages();
  return outcome;
}

}  // namespace marvolen
