// The analysis run: the one entry into the analysis, shared by the
// command-line tool and the workbench's "生成歧义格式统计报告" command.
//
// One run reads the configuration from config.ini in the start-up directory,
// makes that directory current, opens the three data files and the report
// file, reads the tag set, the sequences and the rules, builds the two
// reports, closes the files and tells the person where the report is. All
// outcomes reach the person through the UserInterface.
#ifndef MARVOLEN_RUN_RUN_H_
#define MARVOLEN_RUN_RUN_H_

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/reports.h"
#include "datafiles/user_interface.h"

namespace marvolen {

struct RuleEffect;
struct RuleSet;
struct ComparisonResult;

// The five values of section "DATA" of config.ini, as read (bytes of the
// file: GBK or UTF-8, whichever the file was written in).
struct RunConfig {
  std::string tags;        // "TAGS"
  std::string sequences;   // "SEQUENCES"
  std::string rules;       // "RULES"
  std::string result;      // "RESULT"
  std::string itemLength;  // "ITEMLENGTH"
};

// Passes everything on to the person and counts the messages shown.
class CountingUserInterface : public UserInterface {
 public:
  explicit CountingUserInterface(UserInterface& inner) : inner_(inner) {}

  void ShowMessage(const std::string& text) override {
    ++messages_;
    inner_.ShowMessage(text);
  }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    ++messages_;
    inner_.ShowMessageAt(text, place);
  }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void Progress(std::int64_t done, std::int64_t total) override { inner_.Progress(done, total); }

  int messages() const { return messages_; }

 private:
  UserInterface& inner_;
  int messages_ = 0;
};

// The path of config.ini in `startupDir`: the platform's separator is
// appended unless the directory already ends with a separator.
std::string ProfilePathFor(const std::string& startupDir);

// Read the five values from the profile file at `profilePath` (a missing file
// or key gives empty values).
RunConfig ReadRunConfig(const std::string& profilePath);

// The mode flag of a run: true (three-item mode) unless the "ITEMLENGTH"
// value is exactly "long", compared byte for byte.
bool ThreeItemsOnlyFor(std::string_view itemLength);

// The message that ends a completed run, naming the report file: the
// start-up directory, the separator and the "RESULT" value as configured
// (JoinForDisplay: on Windows a drive root takes no second separator), as
// UTF-8.
std::string CompletionMessage(const std::string& startupDir, const std::string& result);

// The options of a run: those of its reports, and the outputs of the whole
// run besides the report, made when named: the HTML report, the CSV table
// and the CSV table of parses (one row per parse). Relative paths are taken
// from the start-up directory.
struct RunOptions : ReportOptions {
  std::string htmlReport;
  std::string csvTable;
  std::string csvParses;
  // When one of them is refused or cannot be made: false ends the run
  // before anything is written; true says so and writes the rest.
  bool reportWithoutFailedExports = false;
  // Whether the HTML report and the CSV table explain each ambiguous
  // permutation by its divergence points (and the HTML report gives the
  // sources of ambiguity); false leaves them out, at less cost.
  bool explainAmbiguity = true;
  // A comparison with the baseline rules file compareRules, run with the
  // same tag set, sequences and mode: when the run completes, its text
  // (UTF-8: the transition tables, then the changed patterns) goes to
  // comparisonText, and the CSV table of changed patterns to changesCsv
  // when named (an output of the run like the others).
  std::string compareRules;
  // Or a comparison with baselineCsv, the table of permutations an earlier
  // run wrote with --csv; it may be this run's own csvTable (the run then
  // compares with the table the last run left, and replaces it). A run
  // given both ends before anything is written.
  std::string baselineCsv;
  std::string changesCsv;
  std::function<bool(std::string_view)> comparisonText;
  // When set, the comparison once made (by a run that completed) as data:
  // the tables and the first changed patterns (compare/change_list.h).
  std::function<void(const ComparisonResult&)> comparisonResult;
  // The table of permutations the workbench keeps beside the report for
  // its next run to compare with: written as csvTable is (both when both
  // are named), and never named in the messages of a stopped run.
  std::string keptCsvTable;
  // A baselineCsv that cannot be taken (missing, not a table of ours) then
  // means no comparison, not the end of the run: why goes to
  // RunResult::baselineNotTaken, and no message is shown.
  bool baselineCsvOptional = false;
  // When set, the usage of each rule and what the run would give without
  // it, counted from the run's parses, go here as text (UTF-8) when the run
  // completes.
  std::function<bool(std::string_view)> ruleEffectsText;
  // When set, the rules of the run and each rule's usage and what-if (one
  // entry per rule, in rule-set order) are handed here when the run
  // completes, on the thread that runs it.
  std::function<void(const RuleSet&, std::vector<RuleEffect>)> ruleEffects;
};

enum class RunEnd {
  Completed,   // the completion message was shown
  OpenFailed,  // the run ended at a failed open, with its message
  Stopped,     // options.stop was requested; the report file is as it was
};

struct RunResult {
  RunEnd end = RunEnd::OpenFailed;
  int errorMessages = 0;           // messages shown before the completion message
  bool htmlReportWritten = false;  // options.htmlReport is complete in its place
  bool csvTableWritten = false;    // options.csvTable is
  bool reportWritten = false;      // the report is
  bool compared = false;           // the comparison was made (a baseline was given)
  bool changed = false;            // and it found a changed pattern
  std::string baselineNotTaken;    // why an optional baselineCsv was not taken (UTF-8)
};

// Perform one run with `startupDir` (an absolute path) as the start-up
// directory; it stays the current directory afterwards. `options` choose the
// search and the threads (the report is the same whatever they are), the
// limit of parses listed, and carry the stop: a stop requested there (from
// any thread) ends the run within moments, at its next permutation or
// parse, leaving the report file as it was and saying so.
//
// The report is written beside the report file and replaces it only once
// complete, so an interrupted or failed run never leaves a partial report.
// So are the HTML report and the CSV tables when options.htmlReport,
// options.csvTable and options.csvParses name them (relative paths from the
// start-up directory); a name that is an input file, config.ini, the report
// file or another output ends the run before anything is written
// (RunEnd::OpenFailed). The outputs replace their files together: when one
// cannot be written completely (a full disk), none is replaced, unless
// options.reportWithoutFailedExports lets the report and the other exports
// be written without it.
RunResult RunAnalysis(const std::string& startupDir, UserInterface& ui,
                      const RunOptions& options = {});

// True when the two paths name one file: the same existing file, or, for a
// file not made yet, the same place.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace marvolen

#endif  // MARVOLEN_RUN_RUN_H_
