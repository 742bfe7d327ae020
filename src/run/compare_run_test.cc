// Comparisons of whole runs with a baseline rules file, held against an
// independent account of what changed: the CSV tables of two plain runs,
// one with each rules file, compared here row by row.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <stop_token>
#include <string>
#include <utility>
#include <vector>

#include "compare/change_list.h"
#include "encoding/gbk.h"
#include "run/run.h"
#include "testing/files.h"
#include "testing/temp_folder_fixture.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

const char kBom[] = "\xEF\xBB\xBF";
const char kChangesHeader[] =
    "source,items,old_judgement,new_judgement,old_parses,new_parses,gained,lost,rules_gained,"
    "rules_lost";

// The records of an RFC 4180 text (CR LF between records), fields unquoted.
std::vector<std::vector<std::string>> ReadCsv(const std::string& bytes) {
  std::vector<std::vector<std::string>> records;
  std::vector<std::string> record;
  std::string field;
  bool quoted = false, any = false;
  for (std::size_t k = bytes.rfind(kBom, 0) == 0 ? 3 : 0; k < bytes.size(); ++k) {
    const char c = bytes[k];
    any = true;
    if (quoted) {
      if (c == '"' && k + 1 < bytes.size() && bytes[k + 1] == '"') {
        field += '"';
        ++k;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      record.push_back(std::move(field));
      field.clear();
    } else if (c == '\r' && k + 1 < bytes.size() && bytes[k + 1] == '\n') {
      record.push_back(std::move(field));
      field.clear();
      records.push_back(std::move(record));
      record.clear();
      any = false;
      ++k;
    } else {
      field += c;
    }
  }
  if (any) ADD_FAILURE() << "the text does not end with CR LF";
  return records;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  for (std::size_t at = 0;;) {
    const std::size_t end = text.find(separator, at);
    parts.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
    if (end == std::string::npos) break;
    at = end + separator.size();
  }
  return parts;
}

// A pattern of a run's CSV table.
struct Row {
  std::string judgement;
  std::string parses;
  std::set<std::string> trees;
};
using Key = std::pair<std::string, std::string>;  // source, items

std::map<Key, Row> ReadTable(const fs::path& path) {
  const auto records = ReadCsv(ReadFile(path));
  EXPECT_FALSE(records.empty());
  std::map<Key, Row> table;
  for (std::size_t k = 1; k < records.size(); ++k) {
    const auto& r = records[k];
    EXPECT_EQ(r.size(), 7u);
    if (r.size() != 7) continue;
    const auto trees = Split(r[5], " | ");
    table[{r[0], r[1]}] = Row{r[2], r[3], {trees.begin(), trees.end()}};
  }
  return table;
}

// A changed pattern as the CSV table of changes gives it.
struct Change {
  std::string oldJudgement, newJudgement, oldParses, newParses;
  std::vector<std::string> gained, lost, rulesGained, rulesLost;
  bool operator==(const Change&) const = default;
};

std::map<Key, Change> ReadChanges(const fs::path& path) {
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.rfind(std::string(kBom) + kChangesHeader + "\r\n", 0), 0u);
  const auto records = ReadCsv(bytes);
  std::map<Key, Change> changes;
  for (std::size_t k = 1; k < records.size(); ++k) {
    const auto& r = records[k];
    EXPECT_EQ(r.size(), 10u);
    if (r.size() != 10) continue;
    EXPECT_EQ(changes.count({r[0], r[1]}), 0u) << r[1];
    changes[{r[0], r[1]}] = Change{r[2],
                                   r[3],
                                   r[4],
                                   r[5],
                                   Split(r[6], " | "),
                                   Split(r[7], " | "),
                                   Split(r[8], "; "),
                                   Split(r[9], "; ")};
  }
  return changes;
}

// Records the messages with their places.
class Recorder : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    messages.push_back(text);
    places.push_back(place.file);
  }
  void SetBusy(bool) override {}
  std::vector<std::string> messages, places;
};

class CompareRunTest : public TempFolderTest {
 protected:
  void SetUp() override {
    TempFolderTest::SetUp();
    WriteExamplesWithConfig(dir_);
    rules_ = ReadFile(dir_ / "rules.txt");
    ASSERT_FALSE(rules_.empty());
  }

  // The examples' rules with the line that holds `part` replaced.
  std::string RulesWith(const std::string& part, const std::string& replacement) const {
    std::string rules = rules_;
    std::size_t at = rules.find(part);
    EXPECT_NE(at, std::string::npos) << part;
    if (at == std::string::npos) return rules;
    at = rules.rfind('\n', at) + 1;
    const std::size_t end = rules.find('\n', at);
    rules.replace(at, end + 1 - at, replacement);
    return rules;
  }

  // A plain run of `rules` as rules.txt, with its CSV table `csv`.
  std::map<Key, Row> TableOf(const std::string& rules, const std::string& csv) {
    WriteFile(dir_ / "rules.txt", rules);
    Recorder ui;
    RunOptions options;
    options.csvTable = csv;
    EXPECT_EQ(RunAnalysis(dir_.string(), ui, options).end, RunEnd::Completed);
    return ReadTable(dir_ / csv);
  }

  // The run of `rules` as rules.txt compared with `baseline`.
  RunResult Compare(const std::string& rules, const std::string& baseline, Recorder& ui,
                    std::string& text, int threads = 0) {
    WriteFile(dir_ / "rules.txt", rules);
    WriteFile(dir_ / "baseline.txt", baseline);
    RunOptions options;
    options.threads = threads;
    options.compareRules = "baseline.txt";
    options.changesCsv = "changes.csv";
    options.comparisonText = [&text](std::string_view piece) {
      text += piece;
      return true;
    };
    return RunAnalysis(dir_.string(), ui, options);
  }

  // What the two tables say changed: the patterns whose judgement or set of
  // trees differs.
  static std::set<Key> ChangedBetween(const std::map<Key, Row>& old,
                                      const std::map<Key, Row>& now) {
    EXPECT_EQ(old.size(), now.size());
    std::set<Key> changed;
    for (const auto& [key, row] : old) {
      const auto other = now.find(key);
      EXPECT_NE(other, now.end());
      if (other == now.end()) continue;
      if (row.judgement != other->second.judgement || row.trees != other->second.trees)
        changed.insert(key);
    }
    return changed;
  }

  // Every changed pattern as the tables give it: judgements, counts and
  // the trees gained and lost.
  static void ExpectChangesAsTheTablesSay(const std::map<Key, Change>& changes,
                                          const std::map<Key, Row>& old,
                                          const std::map<Key, Row>& now) {
    std::set<Key> listed;
    for (const auto& [key, change] : changes) listed.insert(key);
    EXPECT_EQ(listed, ChangedBetween(old, now));
    for (const auto& [key, change] : changes) {
      SCOPED_TRACE(key.first + " " + key.second);
      const Row& before = old.at(key);
      const Row& after = now.at(key);
      EXPECT_EQ(change.oldJudgement, before.judgement);
      EXPECT_EQ(change.newJudgement, after.judgement);
      EXPECT_EQ(change.oldParses, before.parses);
      EXPECT_EQ(change.newParses, after.parses);
      std::set<std::string> gained, lost;
      for (const std::string& tree : after.trees)
        if (before.trees.count(tree) == 0) gained.insert(tree);
      for (const std::string& tree : before.trees)
        if (after.trees.count(tree) == 0) lost.insert(tree);
      EXPECT_EQ(std::set<std::string>(change.gained.begin(), change.gained.end()), gained);
      EXPECT_EQ(std::set<std::string>(change.lost.begin(), change.lost.end()), lost);
    }
  }

  std::string rules_;
};

TEST_F(CompareRunTest, RemovingARuleListsExactlyThePatternsWhoseParsesUsedIt) {
  const std::string withoutR14 = RulesWith("[ R14 ]", "");
  const auto old = TableOf(rules_, "old.csv");
  const auto now = TableOf(withoutR14, "new.csv");
  WriteFile(dir_ / "rules.txt", withoutR14);
  Recorder plain;
  ASSERT_EQ(RunAnalysis(dir_.string(), plain).end, RunEnd::Completed);
  const std::string plainReport = ReadFile(dir_ / "report.txt");

  Recorder ui;
  std::string text;
  const RunResult result = Compare(withoutR14, rules_, ui, text);
  ASSERT_EQ(result.end, RunEnd::Completed);
  EXPECT_EQ(result.errorMessages, 0) << ui.messages.front();
  EXPECT_TRUE(result.compared);
  EXPECT_TRUE(result.changed);
  // The report is the one the plain run writes.
  EXPECT_TRUE(ReadFile(dir_ / "report.txt") == plainReport);

  const auto changes = ReadChanges(dir_ / "changes.csv");
  ExpectChangesAsTheTablesSay(changes, old, now);
  // The patterns that changed are those with a parse made by R14 (its node
  // is the only one "NP:的字结构" over "VP" and u<的>).
  std::set<Key> usedR14, listed;
  for (const auto& [key, row] : old) {
    for (const std::string& tree : row.trees)
      if (tree.find("NP:的字结构(VP") != std::string::npos) usedR14.insert(key);
  }
  for (const auto& [key, change] : changes) {
    listed.insert(key);
    EXPECT_TRUE(change.gained.empty());
    EXPECT_TRUE(change.rulesGained.empty());
    EXPECT_NE(std::find(change.rulesLost.begin(), change.rulesLost.end(), "R14 NP -> VP u<的>"),
              change.rulesLost.end());
  }
  EXPECT_EQ(listed, usedR14);
  EXPECT_GT(listed.size(), 3u);

  const Change& vn = changes.at({"sequences", "v n u<的> n"});
  EXPECT_EQ(vn.oldJudgement, "overt");
  EXPECT_EQ(vn.newJudgement, "one_way");
  EXPECT_EQ(vn.lost, std::vector<std::string>{"(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))"});

  // The text: the tables count what the tables of the runs count, and the
  // change of v n u<的> n is among the judgement changes.
  for (const char* source : {"tagset", "sequences"}) {
    std::size_t patterns = 0, changed = 0;
    for (const auto& [key, row] : old) patterns += key.first == source;
    for (const Key& key : listed) changed += key.first == source;
    EXPECT_NE(text.find(std::string(source) + ": " + std::to_string(patterns) + " patterns, " +
                        std::to_string(changed) + " changed\n"),
              std::string::npos)
        << text;
  }
  const std::size_t judgements = text.find("\nJudgement changes:\n");
  const std::size_t vnAt = text.find(
      "sequences  v n u<的> n  overt -> one_way  parses 2 -> 1\n"
      "    - (NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))\n"
      "    rules lost: R14 NP -> VP u<的>");
  EXPECT_NE(judgements, std::string::npos);
  EXPECT_NE(vnAt, std::string::npos) << text;
  EXPECT_LT(judgements, vnAt);

  // The same on any number of threads on either side.
  const std::string changesCsv = ReadFile(dir_ / "changes.csv");
  for (int threads : {1, 3}) {
    Recorder again;
    std::string textAgain;
    ASSERT_EQ(Compare(withoutR14, rules_, again, textAgain, threads).end, RunEnd::Completed);
    EXPECT_TRUE(textAgain == text) << threads;
    EXPECT_TRUE(ReadFile(dir_ / "changes.csv") == changesCsv) << threads;
  }
}

TEST_F(CompareRunTest, AnAddedRuleGivesGainsOnly) {
  std::string added = rules_;
  const std::size_t end = added.find("CFGRuleSetEnd");
  ASSERT_NE(end, std::string::npos);
  const std::size_t r05 = added.find("&& [ R05 ]");
  ASSERT_NE(r05, std::string::npos);
  std::string line = added.substr(r05, added.find('\n', r05) + 1 - r05);
  line.replace(line.find("R05"), 3, "R99");
  line.replace(line.find("v n"), 3, "v v");
  added.insert(end, line);

  const auto old = TableOf(rules_, "old.csv");
  const auto now = TableOf(added, "new.csv");
  Recorder ui;
  std::string text;
  const RunResult result = Compare(added, rules_, ui, text);
  ASSERT_EQ(result.end, RunEnd::Completed);
  EXPECT_TRUE(result.changed);
  const auto changes = ReadChanges(dir_ / "changes.csv");
  ExpectChangesAsTheTablesSay(changes, old, now);
  EXPECT_FALSE(changes.empty());
  for (const auto& [key, change] : changes) {
    SCOPED_TRACE(key.second);
    EXPECT_TRUE(change.lost.empty());
    EXPECT_TRUE(change.rulesLost.empty());
    EXPECT_FALSE(change.gained.empty());
    ASSERT_FALSE(change.rulesGained.empty());
    EXPECT_NE(std::find(change.rulesGained.begin(), change.rulesGained.end(), "R99 NP -> v v"),
              change.rulesGained.end());
  }
}

TEST_F(CompareRunTest, TheSameRulesGiveADiagonalTableAndNoChanges) {
  for (const bool sameFile : {false, true}) {
    SCOPED_TRACE(sameFile);
    Recorder ui;
    std::string text;
    WriteFile(dir_ / "rules.txt", rules_);
    RunOptions options;
    options.compareRules = sameFile ? "rules.txt" : "baseline.txt";
    WriteFile(dir_ / "baseline.txt", rules_);
    options.changesCsv = "changes.csv";
    options.comparisonText = [&text](std::string_view piece) {
      text += piece;
      return true;
    };
    const RunResult result = RunAnalysis(dir_.string(), ui, options);
    ASSERT_EQ(result.end, RunEnd::Completed);
    EXPECT_EQ(result.errorMessages, 0);
    EXPECT_TRUE(result.compared);
    EXPECT_FALSE(result.changed);
    EXPECT_EQ(ReadFile(dir_ / "changes.csv"), std::string(kBom) + kChangesHeader + "\r\n");
    EXPECT_NE(text.find("\nNo judgement changed.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nNo other set of parses changed.\n"), std::string::npos);
    // Every count of each table is on its diagonal.
    std::size_t rows = 0;
    for (const std::string& line : Split(text, "\n")) {
      const std::vector<std::string> names = {"cannot_combine", "one_way", "overt", "covert",
                                              "added"};
      for (std::size_t from = 0; from < names.size(); ++from) {
        if (line.rfind("  " + names[from] + " ", 0) != 0) continue;
        ++rows;
        std::vector<std::string> counts;
        for (const std::string& word : Split(line.substr(2 + names[from].size()), " "))
          if (!word.empty()) counts.push_back(word);
        ASSERT_EQ(counts.size(), 5u) << line;
        for (std::size_t to = 0; to < 5; ++to) {
          if (to != from && !(from == 4 && to == 4)) {
            EXPECT_EQ(counts[to], "0") << line;
          }
        }
      }
    }
    EXPECT_EQ(rows, 10u) << text;
  }
}

TEST_F(CompareRunTest, ABaselineWithErrorsIsToldWithItsFileAndAMissingOneEndsTheRun) {
  Recorder ui;
  std::string text;
  const RunResult result =
      Compare(rules_, RulesWith("[ R14 ]", "&& [ 14 ] NP -> VP u<x> :: <TREE> = y\n"), ui, text);
  ASSERT_EQ(result.end, RunEnd::Completed);
  ASSERT_GE(result.errorMessages, 1);
  EXPECT_EQ(ui.places.front(), "baseline.txt");
  EXPECT_TRUE(result.compared);

  Recorder missing;
  RunOptions options;
  options.compareRules = "absent.txt";
  options.changesCsv = "changes.csv";
  fs::remove(dir_ / "changes.csv");
  fs::remove(dir_ / "report.txt");
  EXPECT_EQ(RunAnalysis(dir_.string(), missing, options).end, RunEnd::OpenFailed);
  ASSERT_EQ(missing.messages.size(), 1u);
  EXPECT_NE(missing.messages[0].find("absent.txt"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "changes.csv"));
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));

  // Without a baseline there is no table of changes to write.
  Recorder plain;
  RunOptions withoutBaseline;
  withoutBaseline.changesCsv = "changes.csv";
  EXPECT_EQ(RunAnalysis(dir_.string(), plain, withoutBaseline).end, RunEnd::Completed);
  EXPECT_FALSE(fs::exists(dir_ / "changes.csv"));

  // The table of changes may not overwrite the baseline.
  Recorder clash;
  options.compareRules = "baseline.txt";
  options.changesCsv = "baseline.txt";
  const std::string baseline = ReadFile(dir_ / "baseline.txt");
  EXPECT_EQ(RunAnalysis(dir_.string(), clash, options).end, RunEnd::OpenFailed);
  EXPECT_EQ(ReadFile(dir_ / "baseline.txt"), baseline);
}

// A comparison's text as a table baseline gives it, without its title line:
// R14, which the current rules no longer have, is named without its title
// and so after the rules of the file; the rules of a line are sorted here.
std::string AsFromATable(const std::string& text) {
  std::string out;
  for (std::string line : Split(text.substr(text.find('\n') + 1), "\n")) {
    for (std::size_t at; (at = line.find("R14 NP -> VP")) != std::string::npos;) line.erase(at, 4);
    const std::size_t colon = line.find(": ");
    if (line.rfind("    rules ", 0) == 0 && colon != std::string::npos) {
      auto rules = Split(line.substr(colon + 2), "; ");
      std::sort(rules.begin(), rules.end());
      line.erase(colon + 2);
      for (std::size_t k = 0; k < rules.size(); ++k) line += (k ? "; " : "") + rules[k];
    }
    out += line + "\n";
  }
  return out;
}

std::map<Key, Change> AsFromATable(std::map<Key, Change> changes) {
  for (auto& [key, change] : changes) {
    for (auto* rules : {&change.rulesGained, &change.rulesLost}) {
      for (std::string& rule : *rules)
        if (rule.rfind("R14 ", 0) == 0) rule.erase(0, 4);
      std::sort(rules->begin(), rules->end());
    }
  }
  return changes;
}

// The run of the rules of config.ini compared with the table `baseline`.
RunResult CompareWithTable(const fs::path& dir, const std::string& baseline, Recorder& ui,
                           std::string& text, const std::string& csv = "") {
  RunOptions options;
  options.baselineCsv = baseline;
  options.csvTable = csv;
  options.changesCsv = "changes.csv";
  options.comparisonText = [&text](std::string_view piece) {
    text += piece;
    return true;
  };
  return RunAnalysis(dir.string(), ui, options);
}

TEST_F(CompareRunTest, ATableBaselineGivesWhatTheRulesFileThatWroteItGives) {
  std::string added = rules_;
  const std::size_t r05 = added.find("&& [ R05 ]");
  ASSERT_NE(r05, std::string::npos);
  std::string line = added.substr(r05, added.find('\n', r05) + 1 - r05);
  line.replace(line.find("R05"), 3, "R99");
  line.replace(line.find("v n"), 3, "v v");
  added.insert(added.find("CFGRuleSetEnd"), line);
  for (const std::string& rules : {RulesWith("[ R14 ]", ""), added, rules_}) {
    Recorder byRules;
    std::string expected;
    ASSERT_EQ(Compare(rules, rules_, byRules, expected).end, RunEnd::Completed);
    const auto expectedChanges = ReadChanges(dir_ / "changes.csv");

    TableOf(rules_, "old.csv");
    WriteFile(dir_ / "rules.txt", rules);
    Recorder ui;
    std::string text;
    const RunResult result = CompareWithTable(dir_, "old.csv", ui, text);
    ASSERT_EQ(result.end, RunEnd::Completed);
    EXPECT_EQ(result.errorMessages, 0);
    EXPECT_TRUE(result.compared);
    EXPECT_EQ(result.changed, rules != rules_);
    // The same text and table, but for the title and for R14, which the
    // current rules file no longer has to name it.
    ASSERT_EQ(text.rfind("Comparison with the baseline CSV file ", 0), 0u) << text;
    EXPECT_NE(text.find("old.csv\n"), std::string::npos);
    EXPECT_EQ(AsFromATable(text), AsFromATable(expected));
    EXPECT_EQ(AsFromATable(ReadChanges(dir_ / "changes.csv")), AsFromATable(expectedChanges));
  }
}

TEST_F(CompareRunTest, PatternsOfATableOnOneSideOnlyAreAddedOrRemoved) {
  // Without the tag d, the permutations with d are gone and nothing else
  // changes; back with d, they are added.
  const std::string tags = ReadFile(dir_ / "tags.txt");
  std::string withoutD = tags;
  const std::size_t d = withoutD.find(" d ,");
  ASSERT_NE(d, std::string::npos);
  withoutD.erase(d, 4);
  const auto full = TableOf(rules_, "full.csv");
  WriteFile(dir_ / "tags.txt", withoutD);
  TableOf(rules_, "less.csv");

  std::set<Key> withD;
  std::size_t tagsetRows = 0;
  for (const auto& [key, row] : full) {
    tagsetRows += key.first == "tagset";
    const auto items = Split(key.second, " ");
    if (key.first == "tagset" && std::find(items.begin(), items.end(), "d") != items.end())
      withD.insert(key);
  }
  ASSERT_FALSE(withD.empty());
  for (const bool removing : {true, false}) {
    SCOPED_TRACE(removing);
    WriteFile(dir_ / "tags.txt", removing ? withoutD : tags);
    Recorder ui;
    std::string text;
    const RunResult result = CompareWithTable(dir_, removing ? "full.csv" : "less.csv", ui, text);
    ASSERT_EQ(result.end, RunEnd::Completed);
    EXPECT_TRUE(result.changed);
    const auto changes = ReadChanges(dir_ / "changes.csv");
    std::set<Key> listed;
    for (const auto& [key, change] : changes) {
      listed.insert(key);
      EXPECT_EQ((removing ? change.newJudgement : change.oldJudgement), "") << key.second;
      EXPECT_EQ((removing ? change.oldJudgement : change.newJudgement), full.at(key).judgement);
    }
    EXPECT_EQ(listed, withD);
    // The transition table counts them in the column "removed" or the row
    // "added".
    const std::string count = std::to_string(withD.size());
    EXPECT_NE(
        text.find("tagset: " + std::to_string(tagsetRows) + " patterns, " + count + " changed\n"),
        std::string::npos)
        << text.substr(0, 400);
  }
}

TEST_F(CompareRunTest, ARunComparesWithItsOwnTableAndThenReplacesIt) {
  // A line twice in the sequences file: each is matched with its own row.
  WriteFile(dir_ / "sequences.txt", ReadFile(dir_ / "sequences.txt") + Gbk("v n u<的> n\n"));
  TableOf(rules_, "results.csv");
  const std::string withoutR14 = RulesWith("[ R14 ]", "");
  const auto expected = TableOf(withoutR14, "expected.csv");
  Recorder ui;
  std::string text;
  const RunResult result = CompareWithTable(dir_, "results.csv", ui, text, "results.csv");
  ASSERT_EQ(result.end, RunEnd::Completed);
  EXPECT_EQ(result.errorMessages, 0);
  EXPECT_TRUE(result.changed);
  EXPECT_TRUE(result.csvTableWritten);
  const std::string vn = "sequences  v n u<的> n  overt -> one_way  parses 2 -> 1\n";
  const std::size_t first = text.find(vn);
  ASSERT_NE(first, std::string::npos) << text;
  EXPECT_NE(text.find(vn, first + 1), std::string::npos);
  EXPECT_EQ(text.find("(added)"), std::string::npos);
  EXPECT_EQ(text.find("(removed)"), std::string::npos);
  EXPECT_TRUE(ReadFile(dir_ / "results.csv") == ReadFile(dir_ / "expected.csv"));
  // Another output may not overwrite the baseline.
  Recorder clash;
  RunOptions options;
  options.baselineCsv = "results.csv";
  options.htmlReport = "results.csv";
  const std::string before = ReadFile(dir_ / "results.csv");
  EXPECT_EQ(RunAnalysis(dir_.string(), clash, options).end, RunEnd::OpenFailed);
  EXPECT_TRUE(ReadFile(dir_ / "results.csv") == before);
}

TEST_F(CompareRunTest, ATableThatIsNotOursEndsTheRunNamingItsLine) {
  const std::string header = std::string(kBom) + "source,items,judgement,parses,roots,trees\r\n";
  const std::string row = "sequences,v n,one_way,1,VP,\"(VP:述宾(v,n))\"\r\n";
  struct Case {
    std::string bytes;
    int line;
    std::string reason;
  };
  const std::vector<Case> cases = {
      {"", 1, "the file is empty"},
      {"a,b,c\r\n", 1, "the header is not"},
      {std::string(kBom) + "source,items,judgement,parse,root,tree\r\n", 1, "table of parses"},
      {header + row + "sequences,n n,one_way,1,NP", 3, "ends within a row"},
      {header + row + "sequences,n n,one_way,1\r\n", 3, "the row has 4 fields, the header 6"},
      {header + "tagset,n n,maybe,1,NP,\"(NP:定中(n,n))\"\r\n", 2, "the judgement"},
      {header + "tagset,n n,overt,1,NP,\"(NP:定中(n,n))\"\r\n", 2, "does not fit the judgement"},
      {header + "tagset,n n,one_way,x1,NP,\"(NP:定中(n,n))\"\r\n", 2, "not a whole number"},
      {header + "tagset,n n,covert,2,NP,\"(NP:定中(n,n))\"\r\n", 2, "not as many as the parses"},
      {header + Gbk("tagset,n n,one_way,1,NP,\"(NP:定中(n,n))\"\r\n"), 2, "not UTF-8"},
      {header + row + row + "tagset,\"n n,one_way,1,NP,x\r\n", 4, "within a quoted field"},
      {header + "dictionary,n n,one_way,1,NP,\"(NP:定中(n,n))\"\r\n", 2, "neither tagset"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    WriteFile(dir_ / "old.csv", c.bytes);
    Recorder ui;
    std::string text;
    EXPECT_EQ(CompareWithTable(dir_, "old.csv", ui, text, "new.csv").end, RunEnd::OpenFailed);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.places.front(), "old.csv");
    EXPECT_NE(ui.messages[0].find("old.csv, line " + std::to_string(c.line) + ": "),
              std::string::npos)
        << ui.messages[0];
    EXPECT_NE(ui.messages[0].find(c.reason), std::string::npos) << ui.messages[0];
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(NamesBesideDataFiles(dir_), std::set<std::string>{"old.csv"});
  }
  // A table that is fine but for a missing byte-order mark and an extra
  // column is taken.
  WriteFile(dir_ / "old.csv", header.substr(3, header.size() - 5) + ",divergences\r\n" +
                                  row.substr(0, row.size() - 2) + ",\r\n");
  Recorder ui;
  std::string text;
  const RunResult taken = CompareWithTable(dir_, "old.csv", ui, text);
  EXPECT_EQ(taken.end, RunEnd::Completed);
  EXPECT_EQ(taken.errorMessages, 0) << ui.messages.front();
  EXPECT_TRUE(taken.compared);
  // Both baselines at once are refused before anything is written.
  Recorder both;
  RunOptions options;
  options.baselineCsv = "old.csv";
  options.compareRules = "rules.txt";
  fs::remove(dir_ / "report.txt");
  EXPECT_EQ(RunAnalysis(dir_.string(), both, options).end, RunEnd::OpenFailed);
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

// Stops the run at its first progress report.
class StoppingRecorder : public Recorder {
 public:
  explicit StoppingRecorder(std::stop_source& stop) : stop_(stop) {}
  void Progress(std::int64_t done, std::int64_t) override {
    if (done > 0) stop_.request_stop();
  }

 private:
  std::stop_source& stop_;
};

TEST_F(CompareRunTest, AStopWritesNoneOfTheComparison) {
  WriteDataConfig(dir_, "long");
  WriteFile(dir_ / "changes.csv", "earlier");
  WriteFile(dir_ / "report.html", "earlier page");
  std::stop_source stop;
  StoppingRecorder ui(stop);
  std::string text;
  WriteFile(dir_ / "baseline.txt", RulesWith("[ R14 ]", ""));
  RunOptions options;
  options.compareRules = "baseline.txt";
  options.changesCsv = "changes.csv";
  options.htmlReport = "report.html";  // with its section 变化
  options.stop = stop.get_token();
  options.comparisonText = [&text](std::string_view piece) {
    text += piece;
    return true;
  };
  const RunResult result = RunAnalysis(dir_.string(), ui, options);
  EXPECT_EQ(result.end, RunEnd::Stopped);
  EXPECT_FALSE(result.compared);
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(ReadFile(dir_ / "changes.csv"), "earlier");
  EXPECT_EQ(ReadFile(dir_ / "report.html"), "earlier page");
  EXPECT_FALSE(fs::exists(dir_ / "report.txt"));
}

// The workbench's way: every run keeps its table beside the report and
// compares with the one the last run kept, which may be missing or spoilt
// (then no comparison and no message); the comparison comes as data.
TEST_F(CompareRunTest, AKeptTableIsComparedWhenItCanBeAndReplacedEachRun) {
  const std::string withoutR14 = RulesWith("[ R14 ]", "");
  TableOf(withoutR14, "expected.csv");
  auto keptRun = [&](const std::string& rules, Recorder& ui,
                     std::optional<ComparisonResult>& data) {
    WriteFile(dir_ / "rules.txt", rules);
    RunOptions options;
    options.keptCsvTable = "report.results.csv";
    options.baselineCsv = "report.results.csv";
    options.baselineCsvOptional = true;
    options.csvTable = "report.csv";
    options.comparisonResult = [&data](const ComparisonResult& made) { data = made; };
    return RunAnalysis(dir_.string(), ui, options);
  };
  // Missing, then spoilt: the run completes without a message and without
  // a comparison, and keeps its own table.
  for (const std::string& spoilt : {std::string(), std::string("a,b,c\r\n")}) {
    SCOPED_TRACE(spoilt);
    if (!spoilt.empty()) WriteFile(dir_ / "report.results.csv", spoilt);
    Recorder ui;
    std::optional<ComparisonResult> data;
    const RunResult first = keptRun(rules_, ui, data);
    ASSERT_EQ(first.end, RunEnd::Completed);
    EXPECT_EQ(first.errorMessages, 0) << ui.messages.front();
    EXPECT_FALSE(first.compared);
    EXPECT_FALSE(data.has_value());
    EXPECT_NE(first.baselineNotTaken.find(spoilt.empty() ? "could not be opened"
                                                         : "report.results.csv, line 1: "),
              std::string::npos)
        << first.baselineNotTaken;
    EXPECT_TRUE(first.csvTableWritten);
    // The export asked for and the kept table are the same table.
    EXPECT_TRUE(ReadFile(dir_ / "report.results.csv") == ReadFile(dir_ / "report.csv"));
  }
  // Without R14: compared with the kept table, which is then this run's.
  Recorder ui;
  std::optional<ComparisonResult> data;
  const RunResult second = keptRun(withoutR14, ui, data);
  ASSERT_EQ(second.end, RunEnd::Completed);
  EXPECT_EQ(second.errorMessages, 0);
  EXPECT_TRUE(second.compared);
  EXPECT_TRUE(second.baselineNotTaken.empty());
  EXPECT_TRUE(ReadFile(dir_ / "report.results.csv") == ReadFile(dir_ / "expected.csv"));
  ASSERT_TRUE(data.has_value());
  const ComparisonResult& result = *data;
  const SourceComparison& sequences = result.sources[1];
  EXPECT_TRUE(sequences.present);
  constexpr auto kOvert = static_cast<std::size_t>(PermutationClass::Overt);
  constexpr auto kOneWay = static_cast<std::size_t>(PermutationClass::OneWay);
  EXPECT_GE(sequences.transitions[kOvert][kOneWay], 1u);
  EXPECT_EQ(result.leftOut, 0u);
  EXPECT_EQ(result.changes.size(), result.sources[0].changed + sequences.changed);
  // Judgement changes first; every change lost the parses that used R14.
  bool parsesOnly = false;
  const ChangedPattern* vn = nullptr;
  for (const ChangedPattern& change : result.changes) {
    ASSERT_TRUE(change.old && change.now);
    const bool judgement = change.old->cls != change.now->cls;
    EXPECT_EQ(change.judgementChanged, judgement);
    EXPECT_FALSE(parsesOnly && judgement) << change.now->items;
    parsesOnly = parsesOnly || !judgement;
    EXPECT_TRUE(change.gained.empty());
    EXPECT_FALSE(change.lost.empty());
    // A table's parses are named by the current rules, which lack R14.
    EXPECT_NE(std::find(change.rulesLost.begin(), change.rulesLost.end(), Gbk("NP -> VP u<的>")),
              change.rulesLost.end());
    if (change.source == ReportKind::kSequences && change.now->items == Gbk("v n u<的> n"))
      vn = &change;
  }
  ASSERT_NE(vn, nullptr);
  EXPECT_EQ(vn->old->cls, PermutationClass::Overt);
  EXPECT_EQ(vn->now->cls, PermutationClass::OneWay);
  EXPECT_EQ(vn->old->parses.size(), 2u);
  EXPECT_EQ(vn->lost,
            std::vector<std::string>{Gbk("(NP:定中(NP:的字结构(VP:述宾(v,n),u<的>),n))")});

  // A stopped run leaves the kept table as it was, and does not name it.
  std::stop_source stop;
  StoppingRecorder stopping(stop);
  const std::string kept = ReadFile(dir_ / "report.results.csv");
  WriteFile(dir_ / "rules.txt", rules_);
  RunOptions options;
  options.keptCsvTable = "report.results.csv";
  options.baselineCsv = "report.results.csv";
  options.baselineCsvOptional = true;
  options.stop = stop.get_token();
  EXPECT_EQ(RunAnalysis(dir_.string(), stopping, options).end, RunEnd::Stopped);
  EXPECT_TRUE(ReadFile(dir_ / "report.results.csv") == kept);
  for (const std::string& message : stopping.messages)
    EXPECT_EQ(message.find("results"), std::string::npos) << message;
}

TEST_F(CompareRunTest, AChangeListHoldsTheFirstChangesJudgementChangesFirst) {
  const RuleSet rules;
  Comparison comparison(rules, rules);
  ChangeList list(2);
  comparison.AddSink(&list);
  auto pattern = [](const char* items, PermutationClass cls, std::vector<std::string> parses) {
    PatternResult p;
    p.items = items;
    p.cls = cls;
    p.count = parses.size();
    p.parses = std::move(parses);
    return p;
  };
  const PatternResult a = pattern("a", PermutationClass::OneWay, {"(X:t(a))"});
  const PatternResult a2 = pattern("a", PermutationClass::OneWay, {"(Y:t(a))"});
  const PatternResult b = pattern("b", PermutationClass::OneWay, {"(X:t(b))"});
  const PatternResult b2 = pattern("b", PermutationClass::CannotCombine, {});
  comparison.Compare(ReportKind::kTagSet, &a, &a2);  // parses alone changed
  comparison.Compare(ReportKind::kTagSet, &a, &a);   // no change
  comparison.Compare(ReportKind::kSequences, &b, &b2);
  comparison.Compare(ReportKind::kSequences, nullptr, &a);  // added: beyond the limit
  const ComparisonResult result = list.Take(comparison);
  ASSERT_EQ(result.changes.size(), 2u);
  EXPECT_EQ(result.leftOut, 1u);
  EXPECT_EQ(result.changes[0].now->items, "b");
  EXPECT_TRUE(result.changes[0].judgementChanged);
  EXPECT_EQ(result.changes[0].lost, std::vector<std::string>{"(X:t(b))"});
  EXPECT_EQ(result.changes[1].now->items, "a");
  EXPECT_EQ(result.changes[1].gained, std::vector<std::string>{"(Y:t(a))"});
  EXPECT_EQ(result.sources[0].changed, 1u);
  EXPECT_EQ(result.sources[1].changed, 2u);
  EXPECT_EQ(result.sources[1].transitions[SourceComparison::kAbsent][1], 1u);

  // A limit of bytes holds what fits.
  Comparison again(rules, rules);
  ChangeList small(10, sizeof(ChangedPattern) + 200);
  again.AddSink(&small);
  const PatternResult many =
      pattern("a", PermutationClass::Covert, std::vector<std::string>(3, std::string(60, 'x')));
  again.Compare(ReportKind::kTagSet, &a, &a2);
  again.Compare(ReportKind::kTagSet, &a, &many);
  const ComparisonResult held = small.Take(again);
  ASSERT_EQ(held.changes.size(), 1u);
  EXPECT_EQ(held.changes[0].gained, std::vector<std::string>{"(Y:t(a))"});
  EXPECT_EQ(held.leftOut, 1u);
}

}  // namespace
}  // namespace marvolen
