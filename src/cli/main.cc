// marvolen-report: the analysis run without the workbench.
//
// Runs the analysis configured in config.ini of the current directory (or of
// the directory given with -C) and prints each message of the run, the
// completion message included, to stderr as one line. On a terminal a
// progress bar shows how far each report is.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "cli/parse_command.h"
#include "cli/progress_bar.h"
#include "datafiles/user_interface.h"
#include "grammar/search_engines.h"
#include "ini/profile.h"
#include "marvolen_version.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/stop_signals.h"
#include "run/data_lint.h"
#include "run/run.h"

namespace marvolen {
namespace {

const char kProgram[] = "marvolen-report";

// Exit statuses.
constexpr int kExitCompleted = 0;            // the run completed, no error message
constexpr int kExitCompletedWithErrors = 1;  // completed after error messages
constexpr int kExitOpenFailed = 2;           // a failed open ended the run
constexpr int kExitChanged = 3;              // --fail-on-change: the comparison found changes
constexpr int kExitUsage = 64;               // bad command line (EX_USAGE)
constexpr int kExitStopped = 130;            // stopped by Ctrl+C or SIGTERM

const char kHelp[] =
    "usage: marvolen-report [options]\n"
    "\n"
    "Runs the ambiguity analysis configured in section DATA of config.ini in the\n"
    "current directory and writes the report file named there (GBK).\n"
    "Its messages, the completion message included, go to stderr; on a terminal\n"
    "a progress bar there shows how far each report is.\n"
    "\n"
    "options:\n"
    "  --version      print marvolen-report's version (\"" MARVOLEN_VERSION
    "\")\n"
    "  -h, --help     print this help and exit\n"
    "\n"
    "  -C DIR         change to DIR before doing anything else\n"
    "  --show-config  print TAGS, SEQUENCES, RULES, RESULT and ITEMLENGTH as read\n"
    "                 and exit; a value that is not UTF-8 is shown converted\n"
    "                 from GBK, as the run uses it\n"
    "  --engine=NAME  search with NAME: chart (the default) or literal, the\n"
    "                 reference search (slow; the report is the same)\n"
    "  --threads=N    analyse the permutations on N threads (default: one per\n"
    "                 core; the report is the same)\n"
    "  --max-parses=N list the parses of a permutation only when it has at most\n"
    "                 N (default 1000000); one with more shows their number\n"
    "  --html FILE    also write the HTML report FILE: the summary, the patterns\n"
    "                 by judgement with their trees, search and filters (UTF-8,\n"
    "                 one file that opens in any browser, offline)\n"
    "  --csv FILE     also write the CSV table FILE: one row per analysed\n"
    "                 permutation and sequence (UTF-8 with a byte-order mark);\n"
    "                 a cell a spreadsheet would take for a formula starts with '\n"
    "                 and roots and trees are cut at 32767 characters, marked\n"
    "  --csv-parses FILE\n"
    "                 also write the CSV table FILE with one row per listed parse:\n"
    "                 source, items, judgement, parse, root, tree\n"
    "  --no-explain   leave out of the HTML report and the CSV table where the\n"
    "                 parses of each ambiguous pattern part (its divergence\n"
    "                 points) and the sources of ambiguity; the run is cheaper\n"
    "\n"
    "  --compare-rules FILE\n"
    "                 also run the rules file FILE (the baseline) with the same\n"
    "                 tag set, sequences and ITEMLENGTH, and print on stdout\n"
    "                 (UTF-8) what changed: per source the judgement transition\n"
    "                 table (old -> new) and the average degrees, then the\n"
    "                 changed patterns with the parses gained (+) and lost (-)\n"
    "                 and the rules only they use; judgement changes first\n"
    "  --baseline FILE.csv\n"
    "                 compare as --compare-rules does, with the table FILE.csv an\n"
    "                 earlier run wrote with --csv instead of a rules file; the\n"
    "                 tag set, sequences and ITEMLENGTH may differ (patterns on\n"
    "                 one side only are added or removed); FILE.csv may be the\n"
    "                 --csv file of this run, which then replaces it\n"
    "  --changes FILE with --compare-rules or --baseline: also write every changed\n"
    "                 pattern to the CSV table FILE (UTF-8 with a byte-order mark)\n"
    "  --fail-on-change\n"
    "                 with --compare-rules or --baseline: exit with status 3 when\n"
    "                 anything changed\n"
    "\n"
    "  --parse ITEMS  judge the one sequence ITEMS (up to five blank-separated\n"
    "                 items, as a line of the sequences file) with the tag set and\n"
    "                 rules of config.ini, and print the judgement and its parses\n"
    "                 (UTF-8); no report is written\n"
    "  --svg FILE     with --parse: also draw the parses side by side in FILE\n"
    "                 (SVG), the first 1000 when there are more; none over\n"
    "                 --max-parses\n"
    "\n"
    "  --lint         check the three data files against each other without\n"
    "                 analysing them and print each finding as FILE:LINE: text\n"
    "                 (UTF-8): rules that can never apply, repeated rules, rules\n"
    "                 sharing a right side, one-item cycles, tags in no rule,\n"
    "                 sequence items not in the tag set; no report is written\n"
    "  --rule-effects with a run: also print on stdout (UTF-8) each rule's usage\n"
    "                 (parses/patterns by judgement and source) and what the run\n"
    "                 would give without it, then the rules no parse uses\n"
    "\n"
    "Every file is written beside its place and replaces the file there only\n"
    "when it is complete: the report, the HTML and CSV files and the SVG. The\n"
    "outputs of a run replace their files together, all of them or none. A\n"
    "data file, config.ini, another output, a folder, a pipe, a device or a\n"
    "read-only file is refused at once. Ctrl+C stops the run and leaves all of\n"
    "them as they were.\n"
    "\n"
    "exit status:\n"
    "  0   the run completed without error messages\n"
    "  1   the run completed after error messages\n"
    "  2   a file or directory could not be opened, or the --baseline table is\n"
    "      not one written by --csv; no report was made\n"
    "      (--parse: or the SVG file could not be written or was refused)\n"
    "  3   --fail-on-change: the run completed and the comparison found changes\n"
    "  (--lint: 0 nothing found, 1 findings or reader messages, 2 a file could\n"
    "  not be opened)\n"
    "  64  usage error\n"
    "  130 stopped by Ctrl+C (SIGINT) or SIGTERM; every output was left as it was\n";

// Shows each message of the analysis as one line on stderr, and on a
// terminal a progress bar, erased before each message; busy state prints
// nothing.
class StderrUserInterface : public UserInterface {
 public:
  StderrUserInterface() : bar_(stderr, CanDrawOverLine(stderr)) {}

  void ShowMessage(const std::string& text) override {
    bar_.Clear();
    WriteText(stderr, text + "\n");
    std::fflush(stderr);
  }
  void SetBusy(bool) override {}
  void Progress(std::int64_t done, std::int64_t total) override { bar_.Update(done, total); }

 private:
  ProgressBar bar_;
};

void PrintError(const std::string& text) {
  WriteText(stderr, std::string(kProgram) + ": " + text + "\n");
}

int UsageError(const std::string& text) {
  PrintError(text + "; see --help");
  return kExitUsage;
}

int ShowConfig(const std::string& startupDir) {
  const std::string profilePath = ProfilePathFor(startupDir);
  if (!Profile::Load(profilePath).loaded()) {
    PrintError("cannot read " + DisplayPath(profilePath) + "; every value is empty");
  }
  const RunConfig config = ReadRunConfig(profilePath);
  const std::string text =
      "TAGS=" + DisplayPath(config.tags) + "\n" + "SEQUENCES=" + DisplayPath(config.sequences) +
      "\n" + "RULES=" + DisplayPath(config.rules) + "\n" + "RESULT=" + DisplayPath(config.result) +
      "\n" + "ITEMLENGTH=" + DisplayPath(config.itemLength) + "\n";
  const bool written = WriteText(stdout, text);
  if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    PrintError("cannot write to standard output");
    return kExitCompletedWithErrors;
  }
  return kExitCompleted;
}

int Parse(const std::string& startupDir, const ParseRequest& request, UserInterface& ui) {
  const ParseOutcome outcome = RunParse(startupDir, request, ui, stdout);
  switch (outcome.end) {
    case ParseOutcome::End::kPrinted:
      return outcome.messages == 0 ? kExitCompleted : kExitCompletedWithErrors;
    case ParseOutcome::End::kUsageError:
      return UsageError(outcome.error);
    case ParseOutcome::End::kOpenFailed:
    case ParseOutcome::End::kWriteFailed:
      if (!outcome.error.empty()) PrintError(outcome.error);
      return kExitOpenFailed;
    case ParseOutcome::End::kStopped:
      if (!outcome.error.empty()) PrintError(outcome.error);
      return kExitStopped;
    case ParseOutcome::End::kFailed:
      break;
  }
  if (!outcome.error.empty()) PrintError(outcome.error);
  return kExitCompletedWithErrors;
}

int Lint(const std::string& startupDir) {
  StderrUserInterface ui;
  const DataLint lint = LintConfiguredDataFiles(startupDir, ui);
  if (!lint.opened) return kExitOpenFailed;
  const bool written = WriteText(stdout, lint.text);
  if (!written || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    PrintError("cannot write to standard output");
    return kExitCompletedWithErrors;
  }
  return lint.findings.empty() && lint.readerMessages == 0 ? kExitCompleted
                                                           : kExitCompletedWithErrors;
}

int Main(int argc, char** argv) {
  // A reader of stderr that has gone away (marvolen-report 2>&1 | head) must
  // not end the run: its messages are lost, the report is still written.
  IgnoreBrokenPipe();
  std::vector<std::string> directories;
  bool showConfig = false;
  RunOptions options;
  std::optional<ParseRequest> parse;
  std::optional<std::string> svgPath;
  // An option followed by a file, as "--name FILE" or "--name=FILE".
  auto fileOption = [&](std::string_view arg, std::string_view name, int& i,
                        std::optional<std::string>& file) -> std::optional<int> {
    if (arg == name) {
      if (i + 1 >= argc) return UsageError("option " + std::string(name) + " needs a file");
      file = argv[++i];
    } else {
      file = std::string(arg.substr(name.size() + 1));
    }
    if (file->empty()) return UsageError("option " + std::string(name) + " needs a file");
    return std::nullopt;
  };
  std::optional<std::string> htmlPath, csvPath, csvParsesPath, compareRulesPath, changesPath,
      baselinePath;
  bool failOnChange = false;
  bool lint = false, ruleEffects = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-h" || arg == "--help") {
      std::fputs(kHelp, stdout);
      return kExitCompleted;
    } else if (arg == "--version") {
      std::printf("%s %s\n", kProgram, MARVOLEN_VERSION);
      return kExitCompleted;
    } else if (arg == "--show-config") {
      showConfig = true;
    } else if (arg.starts_with("--engine=")) {
      const auto engine = SearchEngineNamed(arg.substr(9));
      if (!engine) return UsageError("unknown engine '" + DisplayPath(arg.substr(9)) + "'");
      options.engine = *engine;
    } else if (arg.starts_with("--threads=")) {
      const std::string_view value = arg.substr(10);
      int threads = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), threads);
      if (error != std::errc() || end != value.data() + value.size() || threads < 1 ||
          threads > 256) {
        return UsageError("--threads needs a number from 1 to 256");
      }
      options.threads = threads;
    } else if (arg == "--parse" || arg.starts_with("--parse=")) {
      if (arg == "--parse" && i + 1 >= argc) return UsageError("option --parse needs the items");
      parse.emplace();
      parse->items = arg == "--parse" ? argv[++i] : std::string(arg.substr(8));
    } else if (arg == "--svg" || arg.starts_with("--svg=")) {
      if (const auto status = fileOption(arg, "--svg", i, svgPath)) return *status;
    } else if (arg == "--html" || arg.starts_with("--html=")) {
      if (const auto status = fileOption(arg, "--html", i, htmlPath)) return *status;
    } else if (arg == "--csv-parses" || arg.starts_with("--csv-parses=")) {
      if (const auto status = fileOption(arg, "--csv-parses", i, csvParsesPath)) return *status;
    } else if (arg == "--compare-rules" || arg.starts_with("--compare-rules=")) {
      if (const auto status = fileOption(arg, "--compare-rules", i, compareRulesPath))
        return *status;
    } else if (arg == "--baseline" || arg.starts_with("--baseline=")) {
      if (const auto status = fileOption(arg, "--baseline", i, baselinePath)) return *status;
    } else if (arg == "--changes" || arg.starts_with("--changes=")) {
      if (const auto status = fileOption(arg, "--changes", i, changesPath)) return *status;
    } else if (arg == "--no-explain") {
      options.explainAmbiguity = false;
    } else if (arg == "--fail-on-change") {
      failOnChange = true;
    } else if (arg == "--lint") {
      lint = true;
    } else if (arg == "--rule-effects") {
      ruleEffects = true;
    } else if (arg == "--csv" || arg.starts_with("--csv=")) {
      if (const auto status = fileOption(arg, "--csv", i, csvPath)) return *status;
    } else if (arg.starts_with("--max-parses=")) {
      const std::string_view value = arg.substr(13);
      std::uint64_t limit = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), limit);
      if (error != std::errc() || end != value.data() + value.size() || limit < 1) {
        return UsageError("--max-parses needs a whole number of at least 1");
      }
      options.maxParses = limit;
    } else if (arg == "-C") {
      if (i + 1 >= argc) return UsageError("option -C needs a directory");
      directories.push_back(argv[++i]);
    } else if (arg.size() > 2 && arg.substr(0, 2) == "-C") {
      directories.push_back(std::string(arg.substr(2)));
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError("unknown option '" + DisplayPath(arg) + "'");
    } else {
      return UsageError("unexpected argument '" + DisplayPath(arg) + "'");
    }
  }

  if (svgPath && !parse) return UsageError("--svg goes with --parse");
  if (parse && showConfig) return UsageError("--parse and --show-config exclude each other");
  if ((htmlPath || csvPath) && (parse || showConfig)) {
    return UsageError("--html and --csv go with a run, not with --parse or --show-config");
  }
  if (csvParsesPath && (parse || showConfig)) {
    return UsageError("--csv-parses goes with a run, not with --parse or --show-config");
  }
  const bool comparing = compareRulesPath || baselinePath;
  if (compareRulesPath && baselinePath) {
    return UsageError("--compare-rules and --baseline exclude each other");
  }
  if ((changesPath || failOnChange) && !comparing) {
    return UsageError("--changes and --fail-on-change go with --compare-rules or --baseline");
  }
  if (lint &&
      (parse || showConfig || ruleEffects || htmlPath || csvPath || csvParsesPath || comparing)) {
    return UsageError("--lint goes alone, without a run, --parse or --show-config");
  }
  if (ruleEffects && (parse || showConfig)) {
    return UsageError("--rule-effects goes with a run, not with --parse or --show-config");
  }
  if (ruleEffects) {
    options.ruleEffectsText = [](std::string_view text) { return WriteText(stdout, text); };
  }
  if (comparing && (parse || showConfig)) {
    return UsageError(std::string(compareRulesPath ? "--compare-rules" : "--baseline") +
                      " goes with a run, not with --parse or --show-config");
  }
  if (comparing) {
    if (compareRulesPath) options.compareRules = *compareRulesPath;
    if (baselinePath) options.baselineCsv = *baselinePath;
    options.comparisonText = [](std::string_view text) { return WriteText(stdout, text); };
  }
  if (changesPath) options.changesCsv = *changesPath;
  if (htmlPath) options.htmlReport = *htmlPath;
  if (csvPath) options.csvTable = *csvPath;
  if (csvParsesPath) options.csvParses = *csvParsesPath;
  if (parse) {
    parse->svgPath = svgPath;
    parse->engine = options.engine;
  }

  // Like make -C: each directory is taken from the one before.
  for (const std::string& dir : directories) {
    std::string reason;
    if (!ChangeDirectory(dir, &reason)) {
      PrintError("cannot change to directory '" + DisplayPath(dir) + "': " + reason);
      return kExitOpenFailed;
    }
  }
  const std::string startupDir = CurrentDirectory();
  if (startupDir.empty()) {
    PrintError("cannot determine the current directory");
    return kExitOpenFailed;
  }

  if (showConfig) return ShowConfig(startupDir);
  if (lint) return Lint(startupDir);

  // Ctrl+C stops the analysis cleanly: the temporary report is removed and
  // the report file stays as it was.
  std::stop_source stop;
  StopOnSignals signals(stop);
  options.stop = stop.get_token();
  StderrUserInterface ui;
  if (parse) {
    parse->maxParses = options.maxParses;
    parse->stop = options.stop;
    return Parse(startupDir, *parse, ui);
  }
  const RunResult result = RunAnalysis(startupDir, ui, options);
  if (result.end == RunEnd::Stopped) return kExitStopped;
  if (result.end == RunEnd::OpenFailed) return kExitOpenFailed;
  if ((comparing || ruleEffects) && (std::fflush(stdout) != 0 || std::ferror(stdout))) {
    PrintError("cannot write to standard output");
    return kExitCompletedWithErrors;
  }
  if (failOnChange && result.changed) return kExitChanged;
  return result.errorMessages == 0 ? kExitCompleted : kExitCompletedWithErrors;
}

}  // namespace
}  // namespace marvolen

int main(int argc, char** argv) {
  // On Windows the arguments come from the wide-character command line, as
  // UTF-8 like every other text of the program.
  marvolen::Utf8Arguments args(argc, argv);
  return marvolen::Main(args.argc(), args.argv());
}
