// Making the benchmark's data files.
#include "bench/workloads.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <vector>

#include "encoding/gbk.h"
#include "platform/replace_file.h"

namespace marvolen {
namespace bench {

namespace {

// One rule as written in the rules file: left tag, right-side items (an item
// may hold a bracketed word with alternatives, "c<和|与>"), tree title (UTF-8;
// empty for none).
struct RuleText {
  std::string left;
  std::vector<std::string> items;
  std::string title;
};

std::string TagFile(const std::vector<std::string>& tags) {
  std::string text = "TagSetBegin\r\n";
  for (std::size_t k = 0; k < tags.size(); ++k) {
    text += tags[k];
    if (k + 1 < tags.size()) text += (k + 1) % 10 == 0 ? " ,\r\n" : " , ";
  }
  return text + "\r\nTagSetEnd\r\n";
}

std::string RuleFile(const std::vector<RuleText>& rules) {
  std::string text = "CFGRuleSetBegin\r\n\r\n";
  for (std::size_t k = 0; k < rules.size(); ++k) {
    char title[32];
    std::snprintf(title, sizeof title, "R%03zu", k + 1);
    text += "&& [ " + std::string(title) + " ] " + rules[k].left + " ->";
    for (const std::string& item : rules[k].items) text += " " + Gbk(item);
    if (rules[k].title.empty()) {
      text += " &&\r\n";  // ends the rule; the next rule's own "&&" follows
    } else {
      text += " :: <TREE> = " + Gbk(rules[k].title) + "\r\n";
    }
  }
  return text + "\r\nCFGRuleSetEnd\r\n";
}

std::string ConfigFile(bool longMode) {
  return "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
         "RESULT=report.txt\r\nITEMLENGTH=" +
         std::string(longMode ? "long" : "") + "\r\n";
}

// The tags of workload (a): word classes, the particle and the conjunction of
// the long-mode patterns, and phrase tags.
const std::vector<std::string>& RealisticTags() {
  static const std::vector<std::string> tags = {
      // Word classes: nouns (common, person, place, organisation, other
      // proper), verbal and adjectival nouns, verbs, adverbial verbs,
      // adjectives, adverbial adjectives, distinguishing words, state words,
      // adverbs, numerals, measure words, pronouns, prepositions, locality
      // words, time words, place words, conjunctions, modal particles,
      // interjections.
      "n", "nr", "ns", "nt", "nz", "vn", "an", "v", "vd", "a", "ad", "b", "z", "d", "m", "q", "r",
      "p", "f", "t", "s", "c", "y", "e",
      // The particle and the conjunction (GBK).
      "u<\xB5\xC4>", "c<\xBA\xCD>",
      // Phrases: noun, verb, adjective, adverb, preposition, numeral-measure,
      // locality, time, place phrases, clause, verb-object, verb-complement,
      // 的 phrase, coordination.
      "NP", "VP", "AP", "DP", "PP", "MP", "LP", "TP", "SP", "S", "VO", "VC", "DE", "CP"};
  return tags;
}

// The rules of workload (a). A fixed random choice thins out the cross
// products of modifiers and heads, so that not every pair combines.
std::vector<RuleText> RealisticRules() {
  std::mt19937 random(1998);
  std::vector<RuleText> rules;
  auto cross = [&](const std::string& left, const std::vector<std::string>& firsts,
                   const std::vector<std::string>& seconds, const std::string& title,
                   unsigned keepPercent) {
    for (const std::string& a : firsts) {
      for (const std::string& b : seconds) {
        if (random() % 100 < keepPercent) rules.push_back({left, {a, b}, title});
      }
    }
  };
  // Modifier-head noun phrases, and the same pairs read as coordination or
  // apposition now and then.
  cross("NP",
        {"a", "an", "b", "z", "n", "nr", "ns", "nt", "vn", "r", "MP", "AP", "DE", "NP", "TP", "SP"},
        {"n", "nz", "vn", "an", "NP"}, "定中", 80);
  cross("NP", {"LP"}, {"n", "NP"}, "定中", 100);
  cross("NP", {"m", "q"}, {"n", "NP"}, "定中", 100);
  cross("NP", {"CP"}, {"n", "NP"}, "联合", 100);
  cross("NP", {"n", "nr", "NP"}, {"n", "nr", "NP"}, "同位", 40);
  // Verb phrases: adverbials, verb-object, verb-complement.
  cross("VP", {"d", "ad", "DP", "PP", "TP", "SP", "a", "vd", "AP"}, {"v", "VP", "VO", "VC"}, "状中",
        70);
  cross("VO", {"v", "VP"}, {"n", "nr", "ns", "nt", "nz", "vn", "NP", "r", "DE", "MP"}, "述宾", 70);
  cross("VC", {"v", "VP"}, {"a", "AP", "MP", "v", "q"}, "述补", 60);
  cross("VC", {"v", "VP"}, {"LP", "SP"}, "述补", 75);
  cross("VC", {"VP", "VO"}, {"TP", "MP"}, "述补", 70);
  // Aspect particles (tagged words that the tag set does not list).
  cross("VP", {"v", "VP"}, {"u<了>", "u<过>", "u<着>"}, "附加", 100);
  // A verb before a noun: verb-object, or modifier-head.
  rules.push_back({"NP", {"v", "n"}, "定中"});
  rules.push_back({"NP", {"v", "NP"}, "定中"});
  cross("AP", {"d", "DP"}, {"a", "z", "AP"}, "状中", 90);
  cross("DP", {"d"}, {"d", "DP"}, "状中", 100);
  cross("PP", {"p"}, {"n", "nr", "ns", "nt", "r", "NP", "SP", "LP", "TP", "s", "t", "vn"}, "介宾",
        85);
  cross("MP", {"m"}, {"q", "m"}, "数量", 100);
  cross("LP", {"n", "ns", "NP", "s", "SP", "r", "t", "TP", "VP"}, {"f"}, "方位", 80);
  cross("TP", {"t", "TP", "MP"}, {"t", "f"}, "定中", 60);
  cross("SP", {"s", "ns", "SP"}, {"s", "f"}, "定中", 60);
  cross("DE", {"n", "r", "a", "v", "NP", "VP", "AP", "VO", "S", "vn", "b", "nr"}, {"u<的>"},
        "的字结构", 85);
  cross("S", {"n", "nr", "ns", "nt", "r", "NP", "DE", "vn", "TP"},
        {"v", "VP", "VO", "VC", "a", "AP"}, "主谓", 85);
  // Clauses with adverbials and topics, serial verbs, clauses as objects.
  cross("S", {"TP", "PP", "SP", "DP", "d"}, {"S"}, "状中", 80);
  cross("S", {"NP", "n", "r"}, {"S"}, "主谓", 70);
  cross("VP", {"v", "VP"}, {"v", "VP", "VO"}, "连动", 50);
  cross("VO", {"v"}, {"S"}, "述宾", 100);
  cross("S", {"S", "VP"}, {"y"}, "语气", 100);
  cross("S", {"S"}, {"S"}, "联合", 100);
  cross("CP", {"n", "NP"}, {"c"}, "连词", 50);
  // Three-item rules: coordination (with alternative conjunctions) and
  // phrases with 的, 地 and 得.
  rules.push_back({"NP", {"n", "c<和|与|跟>", "n"}, "联合"});
  rules.push_back({"NP", {"NP", "c<和>", "NP"}, "联合"});
  rules.push_back({"NP", {"NP", "c<和>", "n"}, "联合"});
  rules.push_back({"NP", {"n", "c<和>", "NP"}, "联合"});
  rules.push_back({"NP", {"nr", "c<和|与>", "nr"}, "联合"});
  rules.push_back({"VP", {"v", "c<和|与>", "v"}, "联合"});
  rules.push_back({"VP", {"VP", "c<和>", "VP"}, "联合"});
  rules.push_back({"AP", {"a", "c<和|而>", "a"}, "联合"});
  rules.push_back({"AP", {"AP", "c<和>", "AP"}, "联合"});
  rules.push_back({"NP", {"a", "u<的>", "n"}, "定中"});
  rules.push_back({"NP", {"r", "u<的>", "n"}, "定中"});
  rules.push_back({"NP", {"n", "u<的>", "n"}, "定中"});
  rules.push_back({"NP", {"NP", "u<的>", "NP"}, "定中"});
  rules.push_back({"NP", {"v", "u<的>", "n"}, "定中"});
  rules.push_back({"NP", {"VP", "u<的>", "NP"}, "定中"});
  rules.push_back({"NP", {"AP", "u<的>", "NP"}, "定中"});
  rules.push_back({"NP", {"S", "u<的>", "NP"}, "定中"});
  rules.push_back({"VP", {"a", "u<地>", "v"}, "状中"});
  rules.push_back({"VP", {"AP", "u<地>", "VP"}, "状中"});
  rules.push_back({"VC", {"v", "u<得>", "a"}, "述补"});
  rules.push_back({"VC", {"v", "u<得>", "AP"}, "述补"});
  rules.push_back({"VO", {"v", "r", "n"}, "双宾"});
  rules.push_back({"VO", {"v", "r", "NP"}, "双宾"});
  rules.push_back({"S", {"NP", "VP", "y"}, "主谓"});
  rules.push_back({"PP", {"p", "NP", "f"}, "介宾"});
  // One-item rules: a word of a class stands as a phrase of its own (no
  // cycles).
  for (const char* noun : {"n", "nr", "ns", "nt", "nz", "r"}) rules.push_back({"NP", {noun}, ""});
  rules.push_back({"VP", {"v"}, ""});
  rules.push_back({"AP", {"a"}, ""});
  rules.push_back({"AP", {"z"}, ""});
  rules.push_back({"DP", {"d"}, ""});
  rules.push_back({"TP", {"t"}, ""});
  rules.push_back({"SP", {"s"}, ""});
  return rules;
}

}  // namespace

WorkloadFiles RealisticWorkload(bool longMode, int tagCount) {
  std::vector<std::string> tags = RealisticTags();
  if (tagCount >= 1 && tagCount < static_cast<int>(tags.size())) tags.resize(tagCount);
  WorkloadFiles files;
  files.tags = TagFile(tags);
  files.rules = RuleFile(RealisticRules());
  // 500 lines of three to five items over the whole tag set.
  const std::vector<std::string>& all = RealisticTags();
  std::mt19937 random(2024);
  for (int line = 0; line < 500; ++line) {
    const int count = 3 + static_cast<int>(random() % 3);
    for (int k = 0; k < count; ++k) {
      files.sequences += all[random() % all.size()];
      files.sequences += k + 1 < count ? " " : "\r\n";
    }
  }
  files.config = ConfigFile(longMode);
  return files;
}

WorkloadFiles DenseWorkload(bool longMode) {
  // Two phrase tags over a and b, each pair of a, b, X, Y read several ways,
  // some with two tree titles; a few three-item and one-item rules.
  std::vector<RuleText> rules;
  const std::vector<std::string> parts = {"a", "b", "X", "Y"};
  std::mt19937 random(7);
  for (const char* left : {"X", "Y"}) {
    for (const std::string& first : parts) {
      for (const std::string& second : parts) {
        if (random() % 100 < 45) rules.push_back({left, {first, second}, "T1"});
        if (random() % 100 < 10) rules.push_back({left, {first, second}, "T2"});
      }
    }
  }
  rules.push_back({"X", {"a", "b", "a"}, "T3"});
  rules.push_back({"Y", {"X", "a", "X"}, "T3"});
  rules.push_back({"Y", {"a"}, ""});
  rules.push_back({"X", {"b"}, ""});
  WorkloadFiles files;
  files.tags = TagFile({"a", "b", "X"});
  files.rules = RuleFile(rules);
  // Every line of three, four and five items over a and b, in order of
  // length: 8 + 16 + 32 lines.
  for (int count = 3; count <= 5; ++count) {
    for (int bits = 0; bits < (1 << count); ++bits) {
      for (int k = 0; k < count; ++k) {
        files.sequences += (bits >> (count - 1 - k)) & 1 ? "b" : "a";
        files.sequences += k + 1 < count ? " " : "\r\n";
      }
    }
  }
  files.config = ConfigFile(longMode);
  return files;
}

WorkloadFiles LongTagsWorkload() {
  std::vector<std::string> tags;
  for (int k = 0; k < 40; ++k) {
    std::string tag = "T" + std::to_string(k / 10) + std::to_string(k % 10);
    tag.resize(19, 'x');
    tags.push_back(tag);
  }
  // Every tag is a noun; nouns join in pairs and around 的 and 和; a noun
  // may stand as any of four phrases.
  std::vector<RuleText> rules;
  for (const std::string& tag : tags) rules.push_back({"N", {tag}, ""});
  rules.push_back({"N", {"N", "N"}, "定中"});
  rules.push_back({"N", {"N", "u<的>", "N"}, "的字结构"});
  rules.push_back({"N", {"N", "c<和>", "N"}, "联合"});
  for (const char* phrase : {"NP", "VP", "AP", "S"}) {
    rules.push_back({phrase, {"N"}, std::string(phrase) + "N"});
  }
  WorkloadFiles files;
  files.tags = TagFile(tags);
  files.rules = RuleFile(rules);
  files.sequences = tags[0] + " " + tags[1] + "\r\n";
  files.config = ConfigFile(true);
  return files;
}

WorkloadFiles SelfJoinWorkload(int ruleCount) {
  std::vector<RuleText> rules;
  for (int k = 1; k <= ruleCount; ++k) rules.push_back({"S", {"S", "S"}, "T" + std::to_string(k)});
  WorkloadFiles files;
  files.tags = TagFile({"S"});
  files.rules = RuleFile(rules);
  for (int line = 0; line < 500; ++line) files.sequences += "S S S S S\r\n";
  files.config = ConfigFile(false);
  return files;
}

WorkloadFiles DenseWorstWorkload() {
  const std::vector<std::string> tags = {"a", "X1", "X2", "X3", "X4", "X5"};
  // Every X over every pair of tags (180 records), and every X over the
  // first 24 triples of tags (120 records).
  std::vector<RuleText> rules;
  for (int l = 1; l < 6; ++l) {
    for (const std::string& b : tags) {
      for (const std::string& c : tags) rules.push_back({tags[l], {b, c}, ""});
    }
  }
  for (int l = 1; l < 6; ++l) {
    for (int triple = 0; triple < 24; ++triple) {
      rules.push_back({tags[l], {tags[triple / 36], tags[triple / 6 % 6], tags[triple % 6]}, ""});
    }
  }
  // Distinct lines of five tags; the first is five a's.
  std::mt19937 random(6);
  std::set<std::vector<std::string>> seen;
  std::vector<std::string> items(5, "a");
  WorkloadFiles files;
  while (seen.size() < 500) {
    if (seen.insert(items).second) {
      for (const std::string& item : items) files.sequences += item + " ";
      files.sequences += "\r\n";
    }
    for (std::string& item : items) item = tags[random() % tags.size()];
  }
  files.tags = TagFile(tags);
  files.rules = RuleFile(rules);
  files.config = ConfigFile(false);
  return files;
}

WorkloadFiles ExplosiveWorkload() {
  const std::vector<std::string> tags = {"A", "B", "C", "D"};
  std::vector<RuleText> rules;
  for (const std::string& x : tags) {
    rules.push_back({x, {x, x}, ""});
    for (const std::string& y : tags) {
      if (y != x) rules.push_back({x, {y}, ""});
    }
  }
  WorkloadFiles files;
  files.tags = TagFile({"A"});
  files.rules = RuleFile(rules);
  files.sequences = "A A A\r\nA A A A A\r\n";
  files.config = ConfigFile(false);
  return files;
}

bool WriteWorkload(const WorkloadFiles& files, const std::string& dir) {
  const std::pair<const char*, const std::string*> named[] = {{"tags.txt", &files.tags},
                                                              {"rules.txt", &files.rules},
                                                              {"sequences.txt", &files.sequences},
                                                              {"config.ini", &files.config}};
  for (const auto& [name, bytes] : named) {
    if (!ReplaceFileContents(dir + "/" + name, *bytes)) return false;
  }
  return true;
}

std::vector<RealisticCase> RealisticCases() {
  return {
      {"workload (a), long mode: 40 tags, 512,000 permutations", "a-long", RealisticWorkload(true)},
      {"workload (a), three-item mode: 64,000 permutations", "a-three", RealisticWorkload(false)},
  };
}

std::optional<BenchOptions> ParseBenchOptions(int argc, char** argv, const char* program,
                                              int defaultRuns) {
  BenchOptions options;
  options.runs = defaultRuns;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--runs=", 0) == 0) {
      options.runs = std::max(1, std::atoi(arg.c_str() + 7));
    } else if (arg.rfind("--keep=", 0) == 0) {
      options.base = arg.substr(7);
      options.keep = true;
    } else if (arg.rfind("--before-binary=", 0) == 0) {
      options.before = arg.substr(16);
    } else if (arg == "--no-paint") {
      options.paint = false;
    } else {
      std::fprintf(stderr,
                   "usage: %s [--runs=%d] [--keep=DIR] [--before-binary=PATH] [--no-paint]\n",
                   program, defaultRuns);
      return std::nullopt;
    }
  }
  namespace fs = std::filesystem;
  if (options.base.empty())
    options.base = (fs::temp_directory_path() / (std::string("marvolen-") + program)).string();
  fs::remove_all(options.base);
  return options;
}

}  // namespace bench
}  // namespace marvolen
