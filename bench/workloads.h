// The benchmark's workloads: data files (tag set, rules, sequences and
// config.ini, GBK) made the same way on every run.
//
// (a) "realistic": 40 tags, Chinese word classes and phrase tags, about 300
//     rule records, mostly two-item rules with some one- and three-item rules,
//     tree titles and a few alternative words; 500 sequence lines.
// (b) "dense": a small, highly ambiguous grammar; its five-item lines have
//     hundreds of parses each.
#ifndef MARVOLEN_BENCH_WORKLOADS_H_
#define MARVOLEN_BENCH_WORKLOADS_H_

#include <optional>
#include <string>
#include <vector>

namespace marvolen {
namespace bench {

// The four files of one workload, as bytes on disk.
struct WorkloadFiles {
  std::string tags;       // tags.txt
  std::string rules;      // rules.txt
  std::string sequences;  // sequences.txt
  std::string config;     // config.ini (RESULT=report.txt)
};

// Workload (a). `tagCount` (1 to 40) keeps only the first tags of the tag set
// (the rules stay the same), for smaller runs of the same grammar.
WorkloadFiles RealisticWorkload(bool longMode, int tagCount = 40);

// Workload (b): its tag-set report covers its three tags a, b and X, its
// sequences report every line of three to five items a and b (the five-item
// lines last).
WorkloadFiles DenseWorkload(bool longMode);

// The cases whose reports are large or whose parses explode, for measuring
// memory and stopping:
// Long tags: 40 tags of 19 bytes in long mode, every permutation of which
//   combines in several ways (a report of about 530 MB).
WorkloadFiles LongTagsWorkload();

// `rules` rules S -> S S, each with its own tree title, and 500 lines
// "S S S S S" (five rules: 8,750 parses a line, a report of 196 MB; ten:
// 140,000 a line, 3.8 GB).
WorkloadFiles SelfJoinWorkload(int rules);

// 300 rule records over six tags so dense that every node has five rules to
// choose from, and 500 distinct lines of five tags with at least 8,750
// parses each (4.46 million in all, a report of 175 MB).
WorkloadFiles DenseWorstWorkload();

// 342 bytes of rules whose parses explode: for each X of A, B, C, D the rules
// X -> X X and X -> Y for every other Y; the tag A alone (its permutation
// A A A has 146,432 parses) and the lines "A A A" and "A A A A A" (far more
// than a run lists).
WorkloadFiles ExplosiveWorkload();

// Write the files into the existing directory `dir`; false on failure.
bool WriteWorkload(const WorkloadFiles& files, const std::string& dir);

// Workload (a) in its two modes, each with a title to print and a folder
// name to write it to.
struct RealisticCase {
  std::string title, name;
  WorkloadFiles files;
};
std::vector<RealisticCase> RealisticCases();

// The options of a benchmark of the realistic workloads: --runs=N,
// --keep=DIR (the folder the workloads are written to, kept afterwards;
// else a folder of `program`'s own under the system's temporary folder),
// --before-binary=PATH (another marvolen-report, run alternately with this
// one, side by side) and --no-paint (html-bench: leave out Chromium). The
// folder is emptied first. Null after a usage message on stderr.
struct BenchOptions {
  int runs = 1;
  std::string base;
  bool keep = false;  // --keep: leave the folder afterwards
  std::string before;
  bool paint = true;
};
std::optional<BenchOptions> ParseBenchOptions(int argc, char** argv, const char* program,
                                              int defaultRuns);

}  // namespace bench
}  // namespace marvolen

#endif  // MARVOLEN_BENCH_WORKLOADS_H_
