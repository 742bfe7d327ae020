// The analysis run: configuration, the four files, the readers, the two
// report builders and the completion message.
#include "run/run.h"

#include <memory>

#include "analysis/reports.h"
#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "grammar/cfg_rule.h"
#include "grammar/unary_cycles.h"
#include "platform/file_system.h"
#include "platform/profile.h"
#include "platform/text_stream.h"

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

}  // namespace

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
                      const ReportOptions& options) {
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
    ui.ShowMessage("Data File <tags.txt> Open Error!");
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  std::unique_ptr<InputStream> sequenceFile = InputStream::Open(sequencesPath);
  if (!sequenceFile) {
    tagFile.reset();
    ui.ShowMessage("Data File <sequences.txt> Open Error!");
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  std::unique_ptr<InputStream> ruleFile = InputStream::Open(rulesPath);
  if (!ruleFile) {
    tagFile.reset();
    sequenceFile.reset();
    ui.ShowMessage("Data File <rules.txt> Open Error!");
    outcome.errorMessages = ui.messages();
    return outcome;
  }
  // Creating the report over a data file or over config.ini would destroy it.
  const bool reportIsInput = SameExistingFile(resultPath, tagsPath) ||
                             SameExistingFile(resultPath, sequencesPath) ||
                             SameExistingFile(resultPath, rulesPath) ||
                             SameExistingFile(resultPath, profilePath);
  // The report is written beside RESULT and takes its place only when
  // complete: whatever stops the run, the previous report stays whole. A
  // RESULT that is no plain file (a folder, a pipe, a device) or that may
  // not be written is refused here, at once.
  std::unique_ptr<OutputStream> reportFile;
  if (!reportIsInput) reportFile = OutputStream::Replacing(resultPath);
  if (!reportFile) {
    tagFile.reset();
    sequenceFile.reset();
    ruleFile.reset();
    if (reportIsInput) {
      ui.ShowMessage("The report file is also an input file and was not overwritten: " +
                     ReportPathForDisplay(startupDir, config.result));
    } else {
      ui.ShowMessage("Create ResultFile Error!");
    }
    outcome.errorMessages = ui.messages();
    return outcome;
  }

  // Each reader shows its own errors and leaves what it has stored.
  TagSet tagSet;
  ReadTagSet(tagSet, *tagFile, ui);
  SequenceList sequences;
  ReadSequences(sequences, *sequenceFile, ui);
  RuleSet ruleSet;
  ReadRuleSet(ruleSet, *ruleFile, ui);
  // One-item rules that rewrite a tag into itself would make the search
  // endless; the search never applies them around such a cycle, and the
  // person is told once which rules form it.
  if (const auto cycles = DescribeUnaryRuleCycles(ruleSet)) ui.ShowMessage(*cycles);

  const bool threeItemsOnly = ThreeItemsOnlyFor(config.itemLength);

  ReportEnd tagSetEnd = ReportEnd::kWritten, sequencesEnd = ReportEnd::kWritten;
  if (tagSet.count() > 0) {
    tagSetEnd = BuildTagSetReport(threeItemsOnly, tagSet, ruleSet, *reportFile, ui, options);
  }
  if (sequences.count() > 0 && tagSetEnd != ReportEnd::kStopped) {
    sequencesEnd = BuildSequencesReport(sequences, ruleSet, *reportFile, ui, options);
  }

  // Release the tags and the sequence lines, then close the four files in
  // order; the report is complete on disk, in RESULT's place, before the
  // person is told.
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
    outcome.errorMessages = ui.messages();
    outcome.end = RunEnd::Stopped;
    return outcome;
  }
  const bool reportWritten = reportFile->Close();
  reportFile.reset();
  if (!reportWritten) {
    ui.ShowMessage("Report file could not be written completely: " +
                   ReportPathForDisplay(startupDir, config.result));
  }

  outcome.errorMessages = ui.messages();
  outcome.end = RunEnd::Completed;
  person.ShowMessage(CompletionMessage(startupDir, config.result));
  return outcome;
}

}  // namespace marvolen
