// The tag set and the rules the parse pane analyses with: the files that
// config.ini names, as they stand in the open documents (unsaved edits
// included) or else on disk. They are read again only when something they
// come from has changed: config.ini, a file on disk, which document holds
// a file, or (MarkEdited) a document's text.
#ifndef MARVOLEN_SHELL_PANE_GRAMMAR_H_
#define MARVOLEN_SHELL_PANE_GRAMMAR_H_

#include <QDateTime>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "analysis/divergences.h"
#include "analysis/sequence_analysis.h"

namespace marvolen {

class Document;

// The pane shows lines with at most this many parses; a line with more is
// judged and counted only (drawing more would not answer as one types).
inline constexpr std::uint64_t kPaneMaxParses = 10'000;
// A line with more parses than kPaneMaxParses, up to this many, is gone
// through one parse at a time (twice: for its divergence points, then for
// its groups) and shown as groups with their first trees; a line with more
// is judged and counted only. Going through takes some microseconds a
// parse: this many keep the pane's answer within a second.
inline constexpr std::uint64_t kPaneGroupedParses = 100'000;

class PaneGrammar {
 public:
  explicit PaneGrammar(std::string startupDir);

  // Read the tag set and the rules again if what they come from changed,
  // taking each from the document among `open` that holds its file. True
  // when they were read again.
  bool Update(const QList<Document*>& open);
  // The text of a document they were read from has changed.
  void MarkEdited() { edited_ = true; }

  // What analyses lines with the rules; null when they could not be read
  // (then messages() says why).
  SequenceAnalyser* analyser() const { return analyser_.get(); }
  // The groups of the analyser's rules (null with the analyser), and a
  // search of its own that lists up to kPaneGroupedParses parses one at a
  // time.
  const RuleGroups* ruleGroups() const { return ruleGroups_.get(); }
  ParseEngine* groupingEngine() const { return groupingEngine_.get(); }
  // The tags of the tag set read with the rules (GBK), in file order.
  const std::vector<std::string>& tags() const { return tagList_; }
  // Read config.ini again if it changed (Update does it too).
  void ReadConfig();
  // The readers' messages, in order.
  const QStringList& messages() const { return messages_; }
  // The documents they were last read from.
  QList<Document*> documents() const;

  // The files config.ini names, as absolute paths ("" when it names none).
  const QString& tagsPath() const { return tagsFile_.path; }
  const QString& rulesPath() const { return rulesFile_.path; }
  const QString& sequencesPath() const { return sequencesFile_.path; }

 private:
  // When a file on disk was last changed, and its size.
  struct Stamp {
    QDateTime modified;
    qint64 size = -1;
    bool operator==(const Stamp&) const = default;
  };
  // A file named by config.ini.
  struct File {
    QString path;      // absolute, for the person and for comparing
    std::string name;  // the same, for opening it
  };
  // Where a file was read from: a document, or the file on disk as it was.
  struct Source {
    QPointer<Document> document;
    Stamp stamp;
    bool operator==(const Source&) const = default;
  };

  File Configured(const std::string& value) const;
  Source Find(const File& file, const QList<Document*>& open) const;
  void Read();

  std::string startupDir_;
  std::optional<Stamp> configStamp_;  // of config.ini as last read
  File tagsFile_, rulesFile_, sequencesFile_;
  Source tags_, rules_;
  bool edited_ = true;
  std::unique_ptr<SequenceAnalyser> analyser_;
  std::unique_ptr<RuleGroups> ruleGroups_;
  std::unique_ptr<ParseEngine> groupingEngine_;
  std::vector<std::string> tagList_;
  QStringList messages_;
};

// True when `a` and `b` name one file: the same absolute path, or the same
// file reached through links. Empty paths name nothing.
bool SameFile(const QString& a, const QString& b);

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_PANE_GRAMMAR_H_
