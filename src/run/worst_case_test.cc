// The worst case the limits allow, through a whole run with the search the
// reports use by default: 300 rule records over six tags, so dense that
// every node of every tree has five rules to choose from, and lines of five
// items with thousands of parses each. The run must finish and list every
// parse: the report holds exactly as many parses as a count made without
// searching. The time and peak memory are printed, never asserted.
//
// MARVOLEN_WORST_CASE_LINES sets the number of lines (default 20, at most
// 500) for measuring the full case by hand.
#ifdef _WIN32
// windows.h declares the types psapi.h uses, so it comes first.
#include <windows.h>

#include <psapi.h>
#else
#include <sys/resource.h>
#endif

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "encoding/gbk.h"
#include "grammar/cfg_rule.h"
#include "run/run.h"
#include "testing/temp_dir.h"

namespace marvolen {
namespace {

// The most memory this process has held, in megabytes.
double PeakMemoryMegabytes() {
#ifdef _WIN32
  PROCESS_MEMORY_COUNTERS counters{};
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return counters.PeakWorkingSetSize / 1048576.0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
#endif
}

namespace fs = std::filesystem;

const std::vector<std::string> kTags = {"a", "X1", "X2", "X3", "X4", "X5"};

struct Rule {
  std::string left;
  std::vector<std::string> right;
};

// Every X over every pair of tags (180 records), and every X over the first
// 24 triples of tags (120 records).
std::vector<Rule> DenseRules() {
  std::vector<Rule> rules;
  for (int l = 1; l < 6; ++l) {
    for (const std::string& b : kTags) {
      for (const std::string& c : kTags) rules.push_back({kTags[l], {b, c}});
    }
  }
  for (int l = 1; l < 6; ++l) {
    int triples = 0;
    for (const std::string& b : kTags) {
      for (const std::string& c : kTags) {
        for (const std::string& d : kTags) {
          if (triples++ < 24) rules.push_back({kTags[l], {b, c, d}});
        }
      }
    }
  }
  return rules;
}

std::string RulesFile(const std::vector<Rule>& rules) {
  std::string text = "CFGRuleSetBegin\r\n";
  for (std::size_t r = 0; r < rules.size(); ++r) {
    text += "&& [ R" + std::to_string(r + 1) + " ] " + rules[r].left + " ->";
    for (const std::string& item : rules[r].right) text += " " + item;
    text += " &&\r\n";
  }
  return text + "CFGRuleSetEnd\r\n";
}

// The number of parses of `items`, counted over spans without searching
// (the rules are pairwise different and have no one-item rule).
double CountParses(const std::vector<std::string>& items, const std::vector<Rule>& rules) {
  const std::size_t n = items.size();
  std::vector<std::vector<std::map<std::string, double>>> count(
      n + 1, std::vector<std::map<std::string, double>>(n + 1));
  for (std::size_t i = 0; i < n; ++i) count[i][i + 1][items[i]] = 1;
  for (std::size_t length = 2; length <= n; ++length) {
    for (std::size_t i = 0; i + length <= n; ++i) {
      const std::size_t j = i + length;
      for (const Rule& rule : rules) {
        const auto& r = rule.right;
        double sum = 0;
        for (std::size_t a = i + 1; a < j; ++a) {
          if (r.size() == 2) {
            sum += count[i][a][r[0]] * count[a][j][r[1]];
          } else {
            for (std::size_t b = a + 1; b < j; ++b) {
              sum += count[i][a][r[0]] * count[a][b][r[1]] * count[b][j][r[2]];
            }
          }
        }
        count[i][j][rule.left] += sum;
      }
    }
  }
  double total = 0;
  for (const auto& [tag, c] : count[0][n]) total += c;
  return total;
}

std::size_t Occurrences(const std::string& text, const std::string& what, std::size_t from) {
  std::size_t found = 0;
  for (std::size_t at = text.find(what, from); at != std::string::npos;
       at = text.find(what, at + what.size())) {
    ++found;
  }
  return found;
}

TEST(WorstCaseTest, FiveItemLinesOverThreeHundredDenseRulesListEveryParse) {
  int lineCount = 20;
  if (const char* env = std::getenv("MARVOLEN_WORST_CASE_LINES")) {
    lineCount = std::max(1, std::min(500, std::atoi(env)));
  }
  const std::vector<Rule> rules = DenseRules();
  ASSERT_EQ(rules.size(), static_cast<std::size_t>(RuleSet::kCapacity));

  // Distinct lines of five tags; the first is five a's.
  std::mt19937 random(6);
  std::set<std::vector<std::string>> seen;
  std::string sequences;
  double expectedParses = 0, fewest = 1e300;
  std::vector<std::string> items(5, "a");
  while (static_cast<int>(seen.size()) < lineCount) {
    if (seen.insert(items).second) {
      for (const std::string& item : items) sequences += item + " ";
      sequences += "\r\n";
      const double parses = CountParses(items, rules);
      expectedParses += parses;
      fewest = std::min(fewest, parses);
    }
    for (std::string& item : items) item = kTags[random() % kTags.size()];
  }
  EXPECT_GE(fewest, 1000);

  const fs::path tmpl = MakeTempDirForTest("marvolen_worst_");
  ASSERT_FALSE(tmpl.empty());
  const fs::path dir = fs::canonical(tmpl);
  auto write = [&](const char* name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  };
  write("config.ini",
        "[DATA]\r\nTAGS=tags.txt\r\nSEQUENCES=sequences.txt\r\nRULES=rules.txt\r\n"
        "RESULT=report.txt\r\n");
  write("tags.txt", "TagSetBegin a , X1 , X2 , X3 , X4 , X5 TagSetEnd\r\n");
  write("rules.txt", RulesFile(rules));
  write("sequences.txt", sequences);

  RecordingUserInterface ui;
  const auto start = std::chrono::steady_clock::now();
  const RunResult result = RunAnalysis(dir.string(), ui);
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double peakMegabytes = PeakMemoryMegabytes();

  EXPECT_EQ(result.end, RunEnd::Completed);
  EXPECT_EQ(result.errorMessages, 0) << (ui.messages.empty() ? "" : ui.messages.front());
  std::string report;
  {
    std::ifstream in(dir / "report.txt", std::ios::binary);
    report.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // Every parse of an ambiguous line is on a line of its own, "\t\t[k](...)".
  const std::size_t sequencesReport = report.find(Gbk("sequences.txt文件中共有排列:"));
  ASSERT_NE(sequencesReport, std::string::npos);
  EXPECT_EQ(static_cast<double>(Occurrences(report, "\r\n\t\t[", sequencesReport)), expectedParses);
  EXPECT_NE(report.find(Gbk("其中有外显型歧义的排列:") + std::to_string(lineCount) + Gbk("个")),
            std::string::npos);

  std::printf(
      "worst case: %d lines of five items, %.0f parses (%.0f to a line at least), "
      "300 rules: %.2f s, peak memory %.0f MB, report %.1f MB\n",
      lineCount, expectedParses, fewest, seconds, peakMegabytes, report.size() / 1048576.0);
  std::error_code ec;
  fs::current_path(fs::temp_directory_path(), ec);
  fs::remove_all(dir, ec);
}

}  // namespace
}  // namespace marvolen
