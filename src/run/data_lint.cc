// Checking the data files named by config.ini.
#include "run/data_lint.h"

#include <algorithm>
#include <memory>

#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "run/run.h"

namespace marvolen {

namespace {

// Names the file read (as configured) in each message of its reader, with
// the line the reader gives or else the line it has reached; counts them.
class ReaderMessages : public UserInterface {
 public:
  ReaderMessages(UserInterface& inner, const std::string& file, const InputStream& in, int& count)
      : inner_(inner), file_(file), in_(in), count_(count) {}

  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    ++count_;
    inner_.ShowMessageAt(text, {file_, place.line != 0 ? place.line : in_.line()});
  }
  void SetBusy(bool busy) override { inner_.SetBusy(busy); }

 private:
  UserInterface& inner_;
  const std::string& file_;
  const InputStream& in_;
  int& count_;
};

// Keeps each reader message with the line it gives or else the line its
// reader has reached.
class DiagnosticRecorder : public UserInterface {
 public:
  DiagnosticRecorder(std::vector<DataDiagnostic>& out, DataFile file, const InputStream& in)
      : out_(out), file_(file), in_(in) {}

  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    const std::size_t end = text.find_last_not_of(" \t\r\n");
    out_.push_back({file_, place.line != 0 ? place.line : in_.line(),
                    end == std::string::npos ? std::string() : text.substr(0, end + 1)});
  }
  void SetBusy(bool) override {}

 private:
  std::vector<DataDiagnostic>& out_;
  DataFile file_;
  const InputStream& in_;
};

}  // namespace

std::vector<DataDiagnostic> CheckDataTexts(const std::optional<std::string>& tags,
                                           const std::optional<std::string>& sequences,
                                           const std::optional<std::string>& rules,
                                           bool threeItemsOnly) {
  std::vector<DataDiagnostic> diagnostics;
  TagSet tagSet;
  SequenceList sequenceList;
  RuleSet ruleSet;
  if (tags) {
    const auto in = InputStream::FromBytes(*tags);
    DiagnosticRecorder ui(diagnostics, DataFile::kTags, *in);
    ReadTagSet(tagSet, *in, ui);
  }
  if (sequences) {
    const auto in = InputStream::FromBytes(*sequences);
    DiagnosticRecorder ui(diagnostics, DataFile::kSequences, *in);
    ReadSequences(sequenceList, *in, ui);
  }
  if (rules) {
    const auto in = InputStream::FromBytes(*rules);
    DiagnosticRecorder ui(diagnostics, DataFile::kRules, *in);
    ReadRuleSet(ruleSet, *in, ui);
  }
  if (tags && sequences && rules) {
    for (Finding& finding : LintDataFiles(tagSet, ruleSet, sequenceList, threeItemsOnly))
      diagnostics.push_back({finding.file, finding.line, std::move(finding.text)});
  }
  std::stable_sort(diagnostics.begin(), diagnostics.end(),
                   [](const DataDiagnostic& a, const DataDiagnostic& b) {
                     if (a.file != b.file) return a.file < b.file;
                     return a.line < b.line;
                   });
  return diagnostics;
}

DataLint LintConfiguredDataFiles(const std::string& startupDir, UserInterface& ui) {
  DataLint lint;
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir));
  ChangeDirectory(startupDir);
  // Opened in the run's order, with the run's messages.
  const std::unique_ptr<InputStream> tagFile = InputStream::Open(NativePath(config.tags));
  if (!tagFile) {
    ui.ShowMessageAt("Data File <tags.txt> Open Error!", {config.tags});
    return lint;
  }
  const std::unique_ptr<InputStream> sequenceFile = InputStream::Open(NativePath(config.sequences));
  if (!sequenceFile) {
    ui.ShowMessageAt("Data File <sequences.txt> Open Error!", {config.sequences});
    return lint;
  }
  const std::unique_ptr<InputStream> ruleFile = InputStream::Open(NativePath(config.rules));
  if (!ruleFile) {
    ui.ShowMessageAt("Data File <rules.txt> Open Error!", {config.rules});
    return lint;
  }
  lint.opened = true;
  TagSet tagSet;
  ReaderMessages tagReading(ui, config.tags, *tagFile, lint.readerMessages);
  ReadTagSet(tagSet, *tagFile, tagReading);
  SequenceList sequences;
  ReaderMessages sequenceReading(ui, config.sequences, *sequenceFile, lint.readerMessages);
  ReadSequences(sequences, *sequenceFile, sequenceReading);
  RuleSet ruleSet;
  ReaderMessages ruleReading(ui, config.rules, *ruleFile, lint.readerMessages);
  ReadRuleSet(ruleSet, *ruleFile, ruleReading);

  lint.findings = LintDataFiles(tagSet, ruleSet, sequences, ThreeItemsOnlyFor(config.itemLength));
  lint.text = FormatFindings(lint.findings, DisplayPath(config.tags), DisplayPath(config.rules),
                             DisplayPath(config.sequences));
  return lint;
}

}  // namespace marvolen
