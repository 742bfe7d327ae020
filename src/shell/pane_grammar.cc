// The grammar of the parse pane.
#include "shell/pane_grammar.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <new>

#include "grammar/search_engines.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "run/grammar_files.h"
#include "run/run.h"
#include "shell/document.h"

namespace marvolen {

bool SameFile(const QString& a, const QString& b) {
  if (a.isEmpty() || b.isEmpty()) return false;
  if (a == b) return true;
  const QString canonical = QFileInfo(a).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

PaneGrammar::PaneGrammar(std::string startupDir) : startupDir_(std::move(startupDir)) {}

PaneGrammar::File PaneGrammar::Configured(const std::string& value) const {
  if (value.empty()) return {};
  std::string name = NativePath(value);
  if (!IsAbsolutePath(name)) name = startupDir_ + kPathSeparator + name;
  const QString path = QDir::toNativeSeparators(QDir::cleanPath(QString::fromStdString(name)));
  return {path, name};
}

void PaneGrammar::ReadConfig() {
  const std::string profile = ProfilePathFor(startupDir_);
  const QFileInfo info(QString::fromStdString(profile));
  const Stamp stamp = info.exists() ? Stamp{info.lastModified(), info.size()} : Stamp{};
  if (stamp == configStamp_) return;
  configStamp_ = stamp;
  edited_ = true;  // what it names may be other files
  const RunConfig config = ReadRunConfig(profile);
  tagsFile_ = Configured(config.tags);
  rulesFile_ = Configured(config.rules);
  sequencesFile_ = Configured(config.sequences);
}

bool PaneGrammar::Update(const QList<Document*>& open) {
  ReadConfig();
  const Source tags = Find(tagsFile_, open), rules = Find(rulesFile_, open);
  if (!edited_ && tags == tags_ && rules == rules_) return false;
  tags_ = tags;
  rules_ = rules;
  edited_ = false;
  Read();
  return true;
}

PaneGrammar::Source PaneGrammar::Find(const File& file, const QList<Document*>& open) const {
  Source source;
  for (Document* document : open) {
    if (SameFile(document->path(), file.path)) {
      source.document = document;
      return source;
    }
  }
  const QFileInfo info(file.path);
  if (!file.path.isEmpty() && info.exists()) source.stamp = {info.lastModified(), info.size()};
  return source;
}

void PaneGrammar::Read() {
  groupingEngine_.reset();
  ruleGroups_.reset();
  analyser_.reset();
  tagList_.clear();
  RecordingUserInterface ui;
  auto open = [&ui](const File& file, const Source& source,
                    const char* failure) -> std::unique_ptr<InputStream> {
    if (source.document != nullptr) {
      QString error;
      std::optional<std::string> bytes = source.document->Bytes(&error);
      if (bytes) return InputStream::FromBytes(std::move(*bytes));
      ui.ShowMessage(
          (error + QCoreApplication::translate("PaneGrammar", "，无法分析。")).toStdString());
      return nullptr;
    }
    std::unique_ptr<InputStream> stream = InputStream::Open(file.name);
    if (!stream) ui.ShowMessage(failure);
    return stream;
  };
  // As in a run: the tag set first, and nothing more once a file cannot be opened.
  std::unique_ptr<InputStream> tagFile = open(tagsFile_, tags_, "Data File <tags.txt> Open Error!");
  std::unique_ptr<InputStream> ruleFile =
      tagFile ? open(rulesFile_, rules_, "Data File <rules.txt> Open Error!") : nullptr;
  if (tagFile && ruleFile) {
    try {
      GrammarFiles files = ReadGrammar(*tagFile, *ruleFile, ui);
      tagList_ = std::move(files.tagSet.tags);
      analyser_ = std::make_unique<SequenceAnalyser>(std::move(files.ruleSet), SearchEngine::kChart,
                                                     kPaneMaxParses);
      ruleGroups_ = std::make_unique<RuleGroups>(analyser_->rules());
      groupingEngine_ =
          std::move(MakeParseEngines(SearchEngine::kChart, analyser_->rules(), 1).front());
    } catch (const std::bad_alloc&) {
      groupingEngine_.reset();
      ruleGroups_.reset();
      analyser_.reset();
      ui.ShowMessage("Memory Allocation Error !");
    }
  }
  messages_.clear();
  for (const std::string& message : ui.messages) messages_.append(QString::fromStdString(message));
}

QList<Document*> PaneGrammar::documents() const {
  QList<Document*> list;
  for (const Source* source : {&tags_, &rules_})
    if (source->document != nullptr) list.append(source->document.data());
  return list;
}

}  // namespace marvolen
