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

#include <string>

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

// Write the files into the existing directory `dir`; false on failure.
bool WriteWorkload(const WorkloadFiles& files, const std::string& dir);

}  // namespace bench
}  // namespace marvolen

#endif  // MARVOLEN_BENCH_WORKLOADS_H_
