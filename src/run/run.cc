// The analysis run: configuration, the four files, the readers, the two
// report builders and the completion message.
#include "run/run.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <vector>

#include "analysis/divergences.h"
#include "analysis/reports.h"
#include "compare/change_list.h"
#include "compare/change_writers.h"
#include "compare/comparison.h"
#include "compare/csv_baseline.h"
#include "compare/html_changes.h"
#include "compare/rules_baseline.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "export/csv_report.h"
#include "export/html_report.h"
#include "grammar/cfg_rule.h"
#include "grammar/unary_cycles.h"
#include "ini/profile.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "rules/lint.h"
#include "rules/rule_effects.h"

namespace marvolen {

namespace {

const char kProfileSection[] = "DATA";

// The report file as the person should look for it, as UTF-8: a relative
// "RESULT" value is named after the start-up directory and the separator,
// an absolute one alone.
std::string ReportPathForDisplay(const std::string& startupDir, const std::string& result) {
  if (IsAbsolutePath(result)) return DisplayPath(result);
  return JoinForDisplay(startupDir, result);
}

// The interface a reader talks through: each of its messages names the file
// read (as configured) and the line the reader gives, or else the line it
// has reached.
class ReadingFile : public UserInterface {
 public:
  ReadingFile(UserInterface& inner, const std::string& file, const InputStream& in)
      : inner_(inner), file_(file), in_(in) {}

  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    inner_.ShowMessageAt(text, {file_, place.line != 0 ? place.line : in_.line()});
  }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }
  void Progress(std::int64_t done, std::int64_t total) override { inner_.Progress(done, total); }

 private:
  UserInterface& inner_;
  const std::string& file_;
  const InputStream& in_;
};

// An output of the run besides the report (the HTML report, the CSV
// table): written beside its file like the report, and put in its place
// only when the run completes.
struct ExtraOutput {
  const char* what;        // how messages name it
  std::string configured;  // the path as named
  std::string path;        // the path to open
  std::unique_ptr<OutputStream> stream;
  bool quiet = false;  // not named when left as it was (the workbench's own)
};

// Begin the extra outputs that are named. None may be a file that the run
// reads or another file it writes: an input, the report, an earlier extra
// output. An output refused or that cannot be begun is left without a
// stream, and its message returned; with `allOrNone` the first such ends it.
std::vector<std::string> BeginExtraOutputs(std::vector<ExtraOutput>& outputs,
                                           std::vector<std::string> taken,
                                           const std::string& startupDir, bool allOrNone) {
  std::vector<std::string> refusals;
  for (ExtraOutput& output : outputs) {
    if (output.configured.empty()) continue;
    if (allOrNone && !refusals.empty()) break;
    const std::string display = ReportPathForDisplay(startupDir, output.configured);
    const bool clash = std::any_of(taken.begin(), taken.end(), [&](const std::string& other) {
      return SameFile(output.path, other);
    });
    if (clash) {
      refusals.push_back(std::string("The ") + output.what +
                         " is also an input file or another output of the run and was not "
                         "written: " +
                         display);
      continue;
    }
    std::string error;
    output.stream = OutputStream::Replacing(output.path, &error, OutputStream::LineEnds::kAsGiven);
    if (output.stream == nullptr) {
      refusals.push_back(std::string("The ") + output.what +
                         " could not be created: " + DisplayPath(error));
      continue;
    }
    taken.push_back(output.path);
  }
  return refusals;
}

}  // namespace

// True when the two paths name one file: the same existing file, or, for a
// file not made yet, the same place.
bool SameFile(const std::string& a, const std::string& b) {
  if (SameExistingFile(a, b)) return true;
  std::error_code ea, eb;
  const auto pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
  const auto pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
  return !ea && !eb && pa == pb;
}

std::string ProfilePathFor(const std::string& startupDir) {
  if (startupDir.empty()) return "config.ini";
  std::string path = startupDir;
  if (!IsPathSeparator(path.back())) path += kPathSeparator;
  return path + "config.ini";
}

RunConfig ReadRunConfig(const std::string& profilePath) {
  const Profile profile = Profile::Load(profilePath);
  RunConfig config;
  config.tags = profile.GetString(kProfileSection, "TAGS");
  config.sequences = profile.GetString(kProfileSection, "SEQUENCES");
  config.rules = profile.GetString(kProfileSection, "RULES");
  config.result = profile.GetString(kProfileSection, "RESULT");
  config.itemLength = profile.GetString(kProfileSection, "ITEMLENGTH");
  return config;
}

bool ThreeItemsOnlyFor(std::string_view itemLength) { return itemLength != "long"; }

std::string CompletionMessage(const std::string& startupDir, const std::string& result) {
  // The value is appended as configured, whatever its form, as linguists'
  // notes and scripts quote this message.
  return "分析完毕！请打开" + JoinForDisplay(startupDir, result) + "\n查看分析报告。";
}

RunResult RunAnalysis(const std::string& startupDir, UserInterface& person,
                      const RunOptions& options) {
  CountingUserInterface ui(person);
  RunResult outcome;
  outcome.end = RunEnd::OpenFailed;

  const std::string profilePath = ProfilePathFor(startupDir);
  const RunConfig config = ReadRunConfig(profilePath);

  // Relative paths resolve against the start-up directory. The run goes on
  // when this fails: the opens below then report what is missing.
  ChangeDirectory(startupDir);

  const std::string tagsPath = NativePath(config.tags);
  const std::string sequencesPath = NativePath(config.sequences);
  const std::string rulesPath = NativePath(config.rules);
  const std::string resultPath = NativePath(config.result);

  // The data files are opened in order; at the first failure the files
  // already open are closed (in the order opened) before the message. The
  // report file is touched only when all three have opened.
  std::unique_ptr<InputStream> tagFile = InputStream::Open(tagsPath);
  if (!tagFile) {
    ui.ShowMessageAt("Data File <tags.txt> Open Error!", {config.tags});
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  std::unique_ptr<InputStream> sequenceFile = InputStream::Open(sequencesPath);
  if (!sequenceFile) {
    tagFile.reset();
    ui.ShowMessageAt("Data File <sequences.txt> Open Error!", {config.sequences});
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  std::unique_ptr<InputStream> ruleFile = InputStream::Open(rulesPath);
  if (!ruleFile) {
    tagFile.reset();
    sequenceFile.reset();
    ui.ShowMessageAt("Data File <rules.txt> Open Error!", {config.rules});
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  // The baseline of a comparison is a rules file like RULES.
  const std::string baselinePath = NativePath(options.compareRules);
  std::unique_ptr<InputStream> baselineFile;
  if (!options.compareRules.empty()) {
    baselineFile = InputStream::Open(baselinePath);
    if (!baselineFile) {
      tagFile.reset();
      sequenceFile.reset();
      ruleFile.reset();
      ui.ShowMessageAt("The baseline rules file could not be opened: " +
                           ReportPathForDisplay(startupDir, options.compareRules),
                       {options.compareRules});
      outcome.errorMessages = ui.messages();
      return outcome;
    }
  }
  // A baseline table is read and checked whole before anything is written:
  // a table that is not one of ours ends the run here.
  const std::string baselineCsvPath = NativePath(options.baselineCsv);
  std::unique_ptr<CsvBaseline> csvBaseline;
  if (!options.baselineCsv.empty()) {
    CsvBaselineError error;
    if (baselineFile == nullptr)
      csvBaseline = CsvBaseline::Open(baselineCsvPath, options.stop, &error);
    // A table the workbench keeps for itself may be missing or spoilt: the
    // run then goes on without a comparison.
    if (!csvBaseline && baselineFile == nullptr && options.baselineCsvOptional &&
        error.kind != CsvBaselineError::Kind::kStopped) {
      const std::string display = ReportPathForDisplay(startupDir, options.baselineCsv);
      outcome.baselineNotTaken =
          error.kind == CsvBaselineError::Kind::kCannotOpen
              ? "The baseline CSV file could not be opened: " + display
              : "The baseline CSV file is not a table of permutations written by --csv: " +
                    display + ", line " + std::to_string(error.line) + ": " + error.reason;
    } else if (!csvBaseline) {
      tagFile.reset();
      sequenceFile.reset();
      ruleFile.reset();
      const std::string display = ReportPathForDisplay(startupDir, options.baselineCsv);
      if (baselineFile) {
        baselineFile.reset();
        ui.ShowMessage("A run compares with one baseline, a rules file or a CSV table, not both");
      } else if (error.kind == CsvBaselineError::Kind::kStopped) {
        ui.ShowMessage("The analysis was stopped; the report file was left as it was: " +
                       ReportPathForDisplay(startupDir, config.result));
        outcome.end = RunEnd::Stopped;
      } else if (error.kind == CsvBaselineError::Kind::kCannotOpen) {
        ui.ShowMessageAt("The baseline CSV file could not be opened: " + display,
                         {options.baselineCsv});
      } else {
        ui.ShowMessageAt("The baseline CSV file is not a table of permutations written by --csv: " +
                             display + ", line " + std::to_string(error.line) + ": " + error.reason,
                         {options.baselineCsv, error.line});
      }
      outcome.errorMessages = ui.messages();
      return outcome;
    }
  }
  // Creating the report over a data file or over config.ini would destroy it.
  const bool reportIsInput =
      SameExistingFile(resultPath, tagsPath) || SameExistingFile(resultPath, sequencesPath) ||
      SameExistingFile(resultPath, rulesPath) || SameExistingFile(resultPath, profilePath) ||
      (baselineFile && SameExistingFile(resultPath, baselinePath)) ||
      (csvBaseline && SameExistingFile(resultPath, baselineCsvPath));
  // The report is written beside RESULT and takes its place only when
  // complete: whatever stops the run, the previous report stays whole. A
  // RESULT that is no plain file (a folder, a pipe, a device) or that may
  // not be written is refused here, at once.
  std::unique_ptr<OutputStream> reportFile;
  if (!reportIsInput) reportFile = OutputStream::Replacing(resultPath);
  // The HTML report and the CSV table are begun the same way, and refused
  // when they would overwrite a file the run reads or writes.
  std::vector<ExtraOutput> extras;
  extras.push_back({"HTML report file", options.htmlReport, NativePath(options.htmlReport), {}});
  extras.push_back({"CSV file", options.csvTable, NativePath(options.csvTable), {}});
  extras.push_back({"CSV file of parses", options.csvParses, NativePath(options.csvParses), {}});
  // The table of changes is made only with a comparison to fill it.
  const bool comparing = baselineFile || csvBaseline;
  const std::string changesPath = comparing ? options.changesCsv : "";
  extras.push_back({"CSV file of changes", changesPath, NativePath(changesPath), {}});
  extras.push_back(
      {"CSV file of results", options.keptCsvTable, NativePath(options.keptCsvTable), {}, true});
  std::vector<std::string> inputs = {tagsPath, sequencesPath, rulesPath, profilePath, resultPath};
  if (baselineFile) inputs.push_back(baselinePath);
  // The baseline table may be this run's own table: the run compares with
  // the table the last run left, then replaces it.
  auto isTable = [&](const ExtraOutput& table) {
    return !table.configured.empty() && SameFile(baselineCsvPath, table.path);
  };
  if (csvBaseline && !isTable(extras[1]) && !isTable(extras[4])) inputs.push_back(baselineCsvPath);
  std::optional<std::string> extraRefused;
  if (reportFile) {
    const std::vector<std::string> refusals =
        BeginExtraOutputs(extras, inputs, startupDir, !options.reportWithoutFailedExports);
    if (!refusals.empty() && !options.reportWithoutFailedExports) {
      extraRefused = refusals.front();
      reportFile->Abandon();
      reportFile.reset();
    }
    for (const std::string& refusal : reportFile ? refusals : std::vector<std::string>())
      ui.ShowMessage(refusal + "; the report is written without it");
  }
  if (!reportFile) {
    tagFile.reset();
    sequenceFile.reset();
    ruleFile.reset();
    baselineFile.reset();
    csvBaseline.reset();
    extras.clear();
    if (extraRefused) {
      ui.ShowMessage(*extraRefused);
    } else if (reportIsInput) {
      ui.ShowMessage("The report file is also an input file and was not overwritten: " +
                     ReportPathForDisplay(startupDir, config.result));
    } else {
      ui.ShowMessage("Create ResultFile Error!");
    }
    outcome.errorMessages = ui.messages();
    return outcome;
  }

  // Each reader shows its own errors, with the line it had reached, and
  // leaves what it has stored.
  TagSet tagSet;
  ReadingFile tagReading(ui, config.tags, *tagFile);
  ReadTagSet(tagSet, *tagFile, tagReading);
  SequenceList sequences;
  ReadingFile sequenceReading(ui, config.sequences, *sequenceFile);
  ReadSequences(sequences, *sequenceFile, sequenceReading);
  RuleSet ruleSet;
  ReadingFile ruleReading(ui, config.rules, *ruleFile);
  ReadRuleSet(ruleSet, *ruleFile, ruleReading);
  // One-item rules that rewrite a tag into itself would make the search
  // endless; the search never applies them around such a cycle, and the
  // person is told once which rules form it.
  if (const auto cycles = DescribeUnaryRuleCycles(ruleSet)) {
    ui.ShowMessageAt(*cycles, {config.rules});
  }

  // The baseline's rules are read as RULES is; its messages name its file.
  RuleSet baselineRules;
  if (baselineFile) {
    ReadingFile baselineReading(ui, options.compareRules, *baselineFile);
    ReadRuleSet(baselineRules, *baselineFile, baselineReading);
    if (const auto cycles = DescribeUnaryRuleCycles(baselineRules)) {
      ui.ShowMessageAt(*cycles, {options.compareRules});
    }
    baselineFile.reset();
  }

  const bool threeItemsOnly = ThreeItemsOnlyFor(config.itemLength);

  // The extra outputs are made from the very judgements of the report.
  ReportOptions reportOptions = options;
  std::unique_ptr<HtmlReportWriter> html;
  std::unique_ptr<CsvReportWriter> csv;
  std::unique_ptr<CsvParsesWriter> csvParses;
  std::unique_ptr<CsvReportWriter> keptCsv;
  if (extras[0].stream) {
    html = std::make_unique<HtmlReportWriter>(*extras[0].stream, ruleSet, options,
                                              HtmlReportInfo{tagSet.tags});
    reportOptions.observers.push_back(html.get());
  }
  if (extras[1].stream) {
    csv = std::make_unique<CsvReportWriter>(*extras[1].stream);
    reportOptions.observers.push_back(csv.get());
  }
  if (extras[2].stream) {
    csvParses = std::make_unique<CsvParsesWriter>(*extras[2].stream);
    reportOptions.observers.push_back(csvParses.get());
  }
  if (extras[4].stream) {
    keptCsv = std::make_unique<CsvReportWriter>(*extras[4].stream);
    reportOptions.observers.push_back(keptCsv.get());
  }
  // What the HTML report and the CSV table explain: the divergence points.
  std::unique_ptr<RuleGroups> ruleGroups;
  if ((html || csv || keptCsv) && options.explainAmbiguity) {
    ruleGroups = std::make_unique<RuleGroups>(ruleSet);
    reportOptions.divergences = ruleGroups.get();
  }
  // The comparison sees the current run's patterns as they come and the
  // baseline's from its own reports, run beside them.
  std::unique_ptr<Comparison> comparison;
  std::unique_ptr<ChangeText> changeText;
  std::unique_ptr<ChangesCsvWriter> changesCsv;
  std::unique_ptr<HtmlChangesWriter> htmlChanges;
  std::unique_ptr<RulesBaselineComparison> baseline;
  std::unique_ptr<CsvBaselineComparison> tableBaseline;
  std::unique_ptr<ChangeList> changeList;
  if (comparing) {
    // A table's parses can only be named by the rules of this run.
    comparison = std::make_unique<Comparison>(csvBaseline ? ruleSet : baselineRules, ruleSet);
    changeText = std::make_unique<ChangeText>();
    comparison->AddSink(changeText.get());
    if (extras[3].stream) {
      changesCsv = std::make_unique<ChangesCsvWriter>(*extras[3].stream);
      comparison->AddSink(changesCsv.get());
    }
    // The HTML report shows the changes in its section 变化.
    if (html) {
      htmlChanges = std::make_unique<HtmlChangesWriter>(*html);
      comparison->AddSink(htmlChanges.get());
    }
    if (options.comparisonResult) {
      // Enough for a person to read through; the CSV of changes has them all.
      changeList = std::make_unique<ChangeList>(5000);
      comparison->AddSink(changeList.get());
    }
    if (csvBaseline) {
      tableBaseline = std::make_unique<CsvBaselineComparison>(*comparison, *csvBaseline);
      reportOptions.observers.push_back(tableBaseline.get());
    } else {
      baseline = std::make_unique<RulesBaselineComparison>(*comparison, threeItemsOnly, tagSet,
                                                           sequences, baselineRules, options);
      reportOptions.observers.push_back(baseline.get());
    }
  }
  // The usage and what-if of every rule, from the same parses.
  // The HTML report shows them in its section 规则.
  std::unique_ptr<RuleEffects> ruleEffects;
  if (options.ruleEffectsText || options.ruleEffects || html) {
    ruleEffects = std::make_unique<RuleEffects>(ruleSet);
    reportOptions.observers.push_back(ruleEffects.get());
  }
  // A report that stopped on an error of its own leaves nothing in the
  // report file, and nothing in the extra outputs either.
  auto dropUnfinished = [&] {
    if (ruleEffects) ruleEffects->DropUnfinishedReport();
    if (html) html->DropUnfinishedReport();
    if (csv) csv->DropUnfinishedReport();
    if (csvParses) csvParses->DropUnfinishedReport();
    if (keptCsv) keptCsv->DropUnfinishedReport();
  };

  ReportEnd tagSetEnd = ReportEnd::kWritten, sequencesEnd = ReportEnd::kWritten;
  if (tagSet.count() > 0) {
    tagSetEnd = BuildTagSetReport(threeItemsOnly, tagSet, ruleSet, *reportFile, ui, reportOptions);
    dropUnfinished();
  }
  if (sequences.count() > 0 && tagSetEnd != ReportEnd::kStopped) {
    sequencesEnd = BuildSequencesReport(sequences, ruleSet, *reportFile, ui, reportOptions);
    dropUnfinished();
  }

  // A comparison is made only of complete reports on both sides; the
  // baseline's messages are shown here, once it has ended.
  bool compared = false;
  const bool reportsEnded = tagSetEnd == ReportEnd::kWritten &&
                            sequencesEnd == ReportEnd::kWritten && !options.stop.stop_requested();
  std::string notCompared;
  if (baseline) {
    compared = baseline->Finish(ui) && reportsEnded;
    baseline.reset();
    notCompared =
        "The comparison with the baseline rules file could not be made, as a report of one side "
        "did not end: " +
        ReportPathForDisplay(startupDir, options.compareRules);
  } else if (tableBaseline) {
    // The rows no pattern of the run took are read only after complete reports.
    const bool read = reportsEnded && tableBaseline->Finish();
    compared = read;
    tableBaseline.reset();
    // The table is closed before the outputs take their places: it may be
    // the run's own table, which is then replaced.
    csvBaseline.reset();
    notCompared = std::string("The comparison with the baseline CSV file could not be made, as ") +
                  (reportsEnded ? "the file could not be read again" : "a report did not end") +
                  ": " + ReportPathForDisplay(startupDir, options.baselineCsv);
  }
  if (comparing) {
    if (!compared && !options.stop.stop_requested()) {
      ui.ShowMessage(notCompared);
      if (extras[3].stream) {
        extras[3].stream->Abandon();
        extras[3].stream.reset();
        ui.ShowMessage("The CSV file of changes was left as it was: " +
                       ReportPathForDisplay(startupDir, options.changesCsv));
      }
    }
  }

  // Release the tags and the sequence lines, then close the four files in
  // order; the report is complete on disk, in RESULT's place, before the
  // person is told.
  // The HTML report's section 变化 has its tables only from a comparison made.
  if (htmlChanges) {
    const std::string baselineName =
        !options.baselineCsv.empty()
            ? "基准 CSV 表 " + ReportPathForDisplay(startupDir, options.baselineCsv)
            : "基准规则文件 " + ReportPathForDisplay(startupDir, options.compareRules);
    htmlChanges->Finish(compared ? comparison.get() : nullptr, baselineName);
  }
  // The HTML report's section 规则 also lists the data files' checks.
  if (html) {
    html->WriteRules(ruleSet, ruleEffects->Effects(), DisplayPath(config.rules),
                     FormatFindings(LintDataFiles(tagSet, ruleSet, sequences, threeItemsOnly),
                                    DisplayPath(config.tags), DisplayPath(config.rules),
                                    DisplayPath(config.sequences)));
  }
  tagSet = TagSet();
  sequences = SequenceList();

  tagFile.reset();
  sequenceFile.reset();
  ruleFile.reset();
  if (tagSetEnd == ReportEnd::kStopped || sequencesEnd == ReportEnd::kStopped ||
      options.stop.stop_requested()) {
    reportFile->Abandon();
    ui.ShowMessage("The analysis was stopped; the report file was left as it was: " +
                   ReportPathForDisplay(startupDir, config.result));
    for (ExtraOutput& extra : extras) {
      if (!extra.stream) continue;
      extra.stream->Abandon();
      if (extra.quiet) continue;
      ui.ShowMessage(std::string("The ") + extra.what + " was left as it was too: " +
                     ReportPathForDisplay(startupDir, extra.configured));
    }
    outcome.errorMessages = ui.messages();
    outcome.end = RunEnd::Stopped;
    return outcome;
  }
  // The outputs of a run replace their files together. Each is first made
  // complete on the disk beside its file (written, flushed, synced); only
  // when every one is does each take its file's place, by a rename, the
  // report last. Whatever fails before the renames (a full disk, a write
  // error) leaves every file of the run as it was. The renames themselves
  // cannot be made one step: should one fail (the folder broke in between),
  // those before it have happened, and the report, renamed last, is then
  // still the old one.
  if (html) html->Finish();
  if (csv) csv->Finish();
  if (csvParses) csvParses->Finish();
  if (keptCsv) keptCsv->Finish();
  const bool reportFinished = reportFile->Finish();
  std::vector<bool> finished(extras.size(), false);
  bool everyExtraFinished = true;
  for (std::size_t k = 0; k < extras.size(); ++k) {
    if (!extras[k].stream) continue;
    finished[k] = extras[k].stream->Finish();
    if (!finished[k]) {
      everyExtraFinished = false;
      ui.ShowMessage(std::string("The ") + extras[k].what + " could not be written completely: " +
                     ReportPathForDisplay(startupDir, extras[k].configured));
    }
  }
  // In the workbench's mode that writes the report without the exports that
  // failed, an export that could not be finished costs only itself; the
  // report that could not be finished costs every output.
  const bool replace = reportFinished && (everyExtraFinished || options.reportWithoutFailedExports);
  if (!reportFinished) {
    ui.ShowMessage("Report file could not be written completely: " +
                   ReportPathForDisplay(startupDir, config.result));
  }
  if (replace) {
    for (std::size_t k = 0; k < extras.size(); ++k) {
      if (!finished[k]) continue;
      if (!extras[k].stream->Close()) {
        ui.ShowMessage(std::string("The ") + extras[k].what + " could not be written completely: " +
                       ReportPathForDisplay(startupDir, extras[k].configured));
      } else if (k == 0) {
        outcome.htmlReportWritten = true;
      } else if (k == 1) {
        outcome.csvTableWritten = true;
      }
    }
    if (!reportFile->Close()) {
      ui.ShowMessage("Report file could not be written completely: " +
                     ReportPathForDisplay(startupDir, config.result));
    } else {
      outcome.reportWritten = true;
    }
  } else {
    reportFile->Abandon();
    if (reportFinished) {
      ui.ShowMessage(
          "The report file was left as it was, as an output of the run could not be "
          "written: " +
          ReportPathForDisplay(startupDir, config.result));
    }
    for (std::size_t k = 0; k < extras.size(); ++k) {
      if (!finished[k]) continue;
      extras[k].stream->Abandon();
      if (extras[k].quiet) continue;
      ui.ShowMessage(std::string("The ") + extras[k].what + " was left as it was too: " +
                     ReportPathForDisplay(startupDir, extras[k].configured));
    }
  }
  reportFile.reset();

  // The comparison's text comes after the outputs are in place, and only
  // from a run that completed.
  if (compared) {
    outcome.compared = true;
    outcome.changed = comparison->AnyChange();
    const std::string title = !options.baselineCsv.empty()
                                  ? "Comparison with the baseline CSV file " +
                                        ReportPathForDisplay(startupDir, options.baselineCsv)
                                  : "Comparison with the baseline rules file " +
                                        ReportPathForDisplay(startupDir, options.compareRules);
    if (options.comparisonText &&
        !changeText->WriteTo(title, *comparison, options.comparisonText)) {
      ui.ShowMessage("The comparison could not be written completely");
    }
    if (changeList) options.comparisonResult(changeList->Take(*comparison));
  }

  if (options.ruleEffectsText && !options.ruleEffectsText(FormatRuleEffects(
                                     ruleSet, ruleEffects->Effects(), DisplayPath(config.rules)))) {
    ui.ShowMessage("The table of rule effects could not be written completely");
  }
  if (options.ruleEffects) options.ruleEffects(ruleSet, ruleEffects->Effects());

  outcome.errorMessages = ui.messages();
  outcome.end = RunEnd::Completed;
  person.ShowMessage(CompletionMessage(startupDir, config.result));
  return outcome;
}

}  // namespace marvolen
