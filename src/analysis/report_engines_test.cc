// The reports are the same byte for byte whichever search makes them and on
// however many threads.
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <random>
#include <string>
#include <thread>

#include "analysis/report_test_util.h"
#include "analysis/report_writer.h"
#include "analysis/reports.h"
#include "grammar/reduction_search.h"

namespace marvolen {
namespace {

using testing_util::ProgressRecorder;
using testing_util::R;
using testing_util::ReportFile;
using testing_util::Rules;

// A random data set: `tagCount` tags out of a small alphabet (with repeats,
// GBK and long tags), a grammar over them without one-item cycles, and
// lines of one to five items. The texts are written as UTF-8 here.
struct DataSet {
  TagSet tags;
  RuleSet rules;
  SequenceList sequences;
};

DataSet RandomDataSet(std::mt19937& random, int tagCount) {
  static const std::vector<std::string> tags = {"a",     "n",     "NP",
                                                "u<的>", "c<和>", "averyverylongtagname"};
  static const std::vector<std::string> items = {"a", "n", "NP", "VP", "S", "u<的>", "c<和>"};
  static const std::vector<std::string> lefts = {"NP", "VP", "S"};
  auto pick = [&random](std::size_t n) { return random() % n; };
  DataSet d;
  for (int k = 0; k < tagCount; ++k) d.tags.tags.push_back(Gbk(tags[pick(tags.size())]));
  std::vector<R> rules;
  const int ruleCount = 3 + static_cast<int>(pick(14));
  for (int r = 0; r < ruleCount; ++r) {
    const int length = 1 + static_cast<int>(pick(3));
    const std::string left = lefts[pick(lefts.size())];
    std::string right;
    for (int k = 0; k < length; ++k) {
      // A one-item rule rewrites a word-class tag only: no cycles.
      right += (length == 1 ? items[pick(2)] : items[pick(items.size())]) + " ";
    }
    rules.push_back({left, right, pick(3) == 0 ? "" : "T" + std::to_string(pick(3))});
  }
  if (pick(2) == 0) rules.push_back(rules.front());  // a repeated rule
  d.rules = Rules(rules);
  const int lines = static_cast<int>(pick(20));
  for (int l = 0; l < lines; ++l) {
    std::string line;
    const int count = 1 + static_cast<int>(pick(5));
    for (int k = 0; k < count; ++k) line += items[pick(items.size())] + " ";
    d.sequences.lines.push_back(Gbk(line + "\n"));
  }
  return d;
}

// The tag-set report and then the sequences report, as the run makes them,
// with the options' engines and threads.
std::string BuildBoth(bool threeItemsOnly, const DataSet& d, const ReportOptions& options) {
  ReportFile file;
  RecordingUserInterface ui;
  BuildTagSetReport(threeItemsOnly, d.tags, d.rules, file.stream(), ui, options);
  BuildSequencesReport(d.sequences, d.rules, file.stream(), ui, options);
  // Only a limit below the default gives messages.
  EXPECT_TRUE(ui.messages.empty() || options.maxParses < kDefaultMaxParses);
  return file.Bytes();
}

// The same with one engine on the calling thread.
std::string BuildBoth(bool threeItemsOnly, const DataSet& d, ParseEngine& engine) {
  ReportFile file;
  RecordingUserInterface ui;
  BuildTagSetReport(threeItemsOnly, d.tags, file.stream(), ui, engine);
  BuildSequencesReport(d.sequences, file.stream(), ui, engine);
  EXPECT_TRUE(ui.messages.empty());
  return file.Bytes();
}

ReportOptions Options(SearchEngine engine, int threads, int chunkPermutations,
                      int chunkParses = 0) {
  ReportOptions options;
  options.engine = engine;
  options.threads = threads;
  options.chunkPermutations = chunkPermutations;
  options.chunkParses = chunkParses;
  return options;
}

// The random data sets the engines are compared on. The engines and the
// threads are the same code on every system; where each set costs many
// times more (the Windows build, whose tests run under an emulator, and a
// build with ThreadSanitizer), the first ten sets are enough to show that
// the system's threads and files give the same reports.
#if defined(_WIN32) || defined(__SANITIZE_THREAD__)
constexpr int kDataSets = 10;
#else
constexpr int kDataSets = 40;
#endif

TEST(ReportEnginesTest, EveryEngineThreadCountAndChunkSizeGivesTheSameReport) {
  std::mt19937 random(515);
  int ambiguous = 0;
  for (int set = 0; set < kDataSets; ++set) {
    const DataSet d =
        RandomDataSet(random, 1 + static_cast<int>(random() % (set % 4 == 0 ? 8 : 5)));
    for (const bool threeItemsOnly : {true, false}) {
      // The permutations one after the other with the literal search, all
      // in one chunk.
      const std::string reference =
          BuildBoth(threeItemsOnly, d, Options(SearchEngine::kLiteral, 1, 1 << 30, 1 << 30));
      LiteralParseEngine literal(d.rules);
      EXPECT_TRUE(BuildBoth(threeItemsOnly, d, literal) == reference) << "data set " << set;
      // Chunks that end in the middle of the permutations, on several
      // threads; chunks of so few parses that most ambiguous permutations
      // are listed by the calling thread.
      for (const ReportOptions& options :
           {Options(SearchEngine::kChart, 1, 0), Options(SearchEngine::kChart, 2, 7, 3),
            Options(SearchEngine::kChart, 3, 64, 1), Options(SearchEngine::kLiteral, 2, 5),
            Options(SearchEngine::kChart, 0, 1, 2)}) {
        EXPECT_TRUE(BuildBoth(threeItemsOnly, d, options) == reference)
            << "data set " << set << (threeItemsOnly ? ", three items" : ", long mode")
            << ", threads " << options.threads << ", chunks of " << options.chunkPermutations
            << " permutations, " << options.chunkParses << " parses";
      }
      if (reference.find("[2]") != std::string::npos) ++ambiguous;
    }
  }
  EXPECT_GT(ambiguous, kDataSets * 12 / 40);
}

// Records what a report hands on.
class RecordingObserver : public ReportObserver {
 public:
  struct Seen {
    ListedPermutation info;
    std::vector<std::string> items;
    std::vector<std::string> parses, roots;
    bool hasPoints = false;
    DivergencePoints points;
  };
  void BeginReport(ReportKind kind, std::int64_t permutations) override {
    kinds.push_back(kind);
    expected.push_back(permutations);
    seen.emplace_back();
  }
  void BeginPermutation(const ListedPermutation& p) override {
    Seen s;
    s.info = p;
    s.hasPoints = p.points != nullptr;
    if (p.points) s.points = *p.points;
    for (int k = 0; k < p.permutation->currentItemCount; ++k) {
      s.items.push_back(p.permutation->items[k]);
    }
    seen.back().push_back(s);
  }
  void Parse(std::string_view bracketed, std::string_view rootLabel) override {
    seen.back().back().parses.emplace_back(bracketed);
    seen.back().back().roots.emplace_back(rootLabel);
  }
  void EndReport(const ReportSummary& summary) override { summaries.push_back(summary); }

  std::vector<ReportKind> kinds;
  std::vector<std::int64_t> expected;
  std::vector<std::vector<Seen>> seen;
  std::vector<ReportSummary> summaries;
};

// Observers receive every permutation of each report in report order, with
// the judgement, the count and the parses of the text report, whatever the
// threads, and then the summary; a permutation over the limit comes with
// its count alone. Asked for them, each listed ambiguous permutation comes
// with its divergence points, the same on any number of threads.
TEST(ReportObserverTest, SeesEveryPermutationInOrderWithItsParses) {
  std::mt19937 random(77);
  for (int set = 0; set < 12; ++set) {
    const DataSet d = RandomDataSet(random, 1 + static_cast<int>(random() % 4));
    const bool threeItemsOnly = set % 2 == 0;
    RecordingObserver observer;
    ReportOptions options = Options(SearchEngine::kChart, 1 + set % 3, 1 + set % 5, 1 + set % 4);
    options.maxParses = set % 3 == 0 ? 1 : kDefaultMaxParses;
    options.observers = {&observer};
    const RuleGroups groups(d.rules);
    const bool explained = set % 4 != 3;
    if (explained) options.divergences = &groups;
    const std::string withObserver = BuildBoth(threeItemsOnly, d, options);
    options.observers.clear();
    options.divergences = nullptr;
    EXPECT_TRUE(withObserver == BuildBoth(threeItemsOnly, d, options)) << set;

    ASSERT_EQ(observer.kinds,
              (std::vector<ReportKind>{ReportKind::kTagSet, ReportKind::kSequences}));
    ASSERT_EQ(observer.summaries.size(), 2u);
    LiteralParseEngine literal(d.rules);
    for (int r = 0; r < 2; ++r) {
      const auto& seen = observer.seen[r];
      ASSERT_EQ(static_cast<std::int64_t>(seen.size()), observer.expected[r]);
      ClassCounters counters;
      std::size_t ambiguous = 0;
      for (std::size_t k = 0; k < seen.size(); ++k) {
        const RecordingObserver::Seen& s = seen[k];
        ASSERT_EQ(s.info.number, static_cast<std::int64_t>(k));
        Permutation p;
        for (std::size_t i = 0; i < s.items.size(); ++i) p.items[i] = s.items[i];
        p.currentItemCount = static_cast<int>(s.items.size());
        const ParseList parses = literal.FindDistinctParses(p);
        EXPECT_EQ(s.info.cls, ClassifyParses(parses));
        EXPECT_EQ(s.info.count, parses.size());
        EXPECT_EQ(s.info.listed, parses.size() <= options.maxParses);
        std::vector<std::string> texts, roots;
        if (s.info.listed) {
          for (const auto& tree : parses) {
            texts.emplace_back();
            PrintTree(tree.get(), texts.back());
            roots.push_back(tree->label);
          }
        }
        EXPECT_EQ(s.parses, texts);
        EXPECT_EQ(s.roots, roots);
        const bool hasPoints = explained && s.info.listed && parses.size() >= 2;
        EXPECT_EQ(s.hasPoints, hasPoints);
        if (hasPoints) {
          EXPECT_EQ(s.points, FindDivergences(parses, groups));
        }
        counters.Count(s.info.cls);
        ambiguous += parses.size() >= 2;
      }
      const ReportSummary& summary = observer.summaries[r];
      EXPECT_EQ(summary.counters.combinableCount, counters.combinableCount);
      EXPECT_EQ(summary.counters.covertCount, counters.covertCount);
      EXPECT_EQ(summary.covertRecords.size() + summary.overtRecords.size(), ambiguous);
      for (std::size_t k = 1; k < summary.covertRecords.size(); ++k) {
        EXPECT_GE(summary.covertRecords[k - 1].count, summary.covertRecords[k].count);
      }
    }
  }
}

// An observer whose preparer makes what it needs of each permutation (here
// the number of parses the engine prints) and, as asked, says whether it
// still wants the parses' texts.
class PreparingObserver : public RecordingObserver {
 public:
  explicit PreparingObserver(bool wantsParses) : preparer_(wantsParses) {}
  const PermutationPreparer* Preparer() const override { return &preparer_; }
  void BeginPermutation(const ListedPermutation& p) override {
    RecordingObserver::BeginPermutation(p);
    prepared.back().emplace_back(p.prepared);
    follows.back().push_back(p.parsesFollow);
  }
  void BeginReport(ReportKind kind, std::int64_t permutations) override {
    RecordingObserver::BeginReport(kind, permutations);
    prepared.emplace_back();
    follows.emplace_back();
  }
  // What was made of a run, one "0" after another, split among its
  // permutations.
  void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                     std::string_view made) override {
    EXPECT_EQ(made, std::string(static_cast<std::size_t>(last - first), '0'));
    Permutation permutation;
    ListedPermutation p;
    p.permutation = &permutation;
    for (p.number = first; p.number < last; ++p.number) {
      source.Build(p.number, permutation);
      p.prepared = made.substr(static_cast<std::size_t>(p.number - first), 1);
      BeginPermutation(p);
    }
  }
  std::vector<std::vector<std::string>> prepared;
  std::vector<std::vector<bool>> follows;

 private:
  class CountingPreparer : public PermutationPreparer {
   public:
    explicit CountingPreparer(bool wantsParses) : wantsParses_(wantsParses) {}
    class Run : public PermutationPreparer::Run {
     public:
      explicit Run(bool wantsParses) : wantsParses_(wantsParses) {}
      bool Prepare(const ListedPermutation&, ParseEngine* engine, std::string& out) override {
        int printed = 0;
        if (engine)
          engine->PrintDistinctParses([&](std::string_view, std::string_view) { ++printed; });
        out += std::to_string(printed);
        return wantsParses_;
      }

     private:
      bool wantsParses_;
    };
    std::unique_ptr<PermutationPreparer::Run> Begin() const override {
      return std::make_unique<Run>(wantsParses_);
    }

   private:
    bool wantsParses_;
  };
  CountingPreparer preparer_;
};

// The parses' texts are left out of the listing when every observer's
// preparer made all it needed, and given when any observer still wants
// them; each observer always gets what its preparer made, and the count,
// whatever the threads and chunk sizes (small chunks of parses send
// permutations to the writing thread to list).
TEST(ReportObserverTest, ParsesFollowOnlyWhenAnObserverWantsThem) {
  std::mt19937 random(91);
  for (int set = 0; set < 6; ++set) {
    const DataSet d = RandomDataSet(random, 2 + set % 3);
    for (const bool another : {false, true}) {
      PreparingObserver preparing(false);
      PreparingObserver wanting(true);
      ReportOptions options =
          Options(SearchEngine::kChart, 1 + set % 3, 1 + set % 4, set % 2 == 0 ? 0 : 2);
      options.observers = {&preparing};
      if (another) options.observers.push_back(&wanting);
      BuildBoth(set % 2 == 0, d, options);
      std::size_t combining = 0;
      for (std::size_t r = 0; r < preparing.seen.size(); ++r) {
        for (std::size_t k = 0; k < preparing.seen[r].size(); ++k) {
          const RecordingObserver::Seen& s = preparing.seen[r][k];
          const bool searched = s.info.listed && s.info.cls != PermutationClass::CannotCombine;
          combining += searched;
          // What its preparer made: every parse, printed on an analysing
          // thread (or the writing thread for a permutation it listed).
          EXPECT_EQ(preparing.prepared[r][k], std::to_string(searched ? s.info.count : 0));
          EXPECT_EQ(preparing.follows[r][k], another || !searched);
          EXPECT_EQ(s.parses.size(), another && searched ? s.info.count : 0u);
          if (another) {
            EXPECT_EQ(wanting.seen[r][k].parses, s.parses);
            EXPECT_EQ(wanting.prepared[r][k], preparing.prepared[r][k]);
          }
        }
      }
      EXPECT_GT(combining, 0u) << set;
    }
  }
}

// Takes the runs of permutations that cannot combine itself, checking the
// item codes of each against its items.
class RunRecordingObserver : public RecordingObserver {
 public:
  void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                     std::string_view prepared) override {
    EXPECT_TRUE(prepared.empty());
    EXPECT_LT(first, last);
    ++runs;
    Permutation permutation;
    std::array<int, kMaxItems> codes{};
    ListedPermutation p;
    p.permutation = &permutation;
    for (p.number = first; p.number < last; ++p.number) {
      ASSERT_TRUE(source.Build(p.number, permutation));
      const int count = source.ItemCodes(p.number, codes);
      if (count > 0) {
        ++coded.back();
        ASSERT_EQ(count, permutation.currentItemCount);
        for (int k = 0; k < count; ++k) EXPECT_EQ(source.ItemText(codes[k]), permutation.items[k]);
      }
      RecordingObserver::BeginPermutation(p);
    }
  }
  void BeginReport(ReportKind kind, std::int64_t permutations) override {
    RecordingObserver::BeginReport(kind, permutations);
    coded.push_back(0);
  }
  int runs = 0;
  std::vector<std::int64_t> coded;  // by report
};

// The permutations that cannot combine come in runs to an observer that
// takes them so, and one at a time to one that does not, in the same order
// among the others; the tag-set report gives every item a code standing for
// its text, the sequences report none.
TEST(ReportObserverTest, PermutationsThatCannotCombineComeInRuns) {
  std::mt19937 random(23);
  for (int set = 0; set < 6; ++set) {
    const DataSet d = RandomDataSet(random, 1 + set % 4);
    RecordingObserver single;
    RunRecordingObserver runs;
    ReportOptions options = Options(SearchEngine::kChart, 1 + set % 3, 1 + set % 5 * 7, 0);
    options.observers = {&single, &runs};
    BuildBoth(set % 2 == 0, d, options);
    ASSERT_EQ(runs.seen.size(), 2u);
    for (std::size_t r = 0; r < 2; ++r) {
      ASSERT_EQ(runs.seen[r].size(), single.seen[r].size());
      std::int64_t cannotCombine = 0;
      for (std::size_t k = 0; k < single.seen[r].size(); ++k) {
        const auto& one = single.seen[r][k];
        const auto& run = runs.seen[r][k];
        EXPECT_EQ(run.info.number, one.info.number);
        EXPECT_EQ(run.items, one.items);
        EXPECT_EQ(run.info.cls, one.info.cls);
        EXPECT_EQ(run.info.count, one.info.count);
        EXPECT_EQ(run.parses, one.parses);
        cannotCombine += one.info.cls == PermutationClass::CannotCombine;
      }
      EXPECT_EQ(runs.coded[r], r == 0 ? cannotCombine : 0) << set;
    }
    EXPECT_GT(runs.runs, 0) << set;
  }
}

class ThreadRecorder : public ProgressRecorder {
 public:
  void Progress(std::int64_t done, std::int64_t total) override {
    ProgressRecorder::Progress(done, total);
    if (std::this_thread::get_id() != caller) ++fromOtherThreads;
  }
  std::thread::id caller = std::this_thread::get_id();
  int fromOtherThreads = 0;
};

TEST(ReportEnginesTest, ProgressOnManyThreadsIsReportedInOrderFromTheCallingThread) {
  std::mt19937 random(3);
  const DataSet d = RandomDataSet(random, 20);  // 64,000 permutations in long mode
  ReportFile file;
  ThreadRecorder ui;
  BuildTagSetReport(false, d.tags, d.rules, file.stream(), ui, Options(SearchEngine::kChart, 3, 0));
  ASSERT_GE(ui.progress.size(), 20u);
  EXPECT_EQ(ui.fromOtherThreads, 0);
  // The judging of 64,000 permutations, then the listing of those that
  // combine.
  for (std::size_t k = 0; k < ui.progress.size(); ++k) {
    EXPECT_GE(ui.progress[k].second, 64000);
    if (k > 0) {
      EXPECT_GT(ui.progress[k].first, ui.progress[k - 1].first);
      EXPECT_GE(ui.progress[k].second, ui.progress[k - 1].second);
    }
  }
  EXPECT_EQ(ui.progress.back().first, ui.progress.back().second);
  EXPECT_EQ(ui.busyChanges, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace marvolen
