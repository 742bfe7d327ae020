// Judging the permutations of a report, then writing its sections.
#include "analysis/report_writer.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <utility>

#include "analysis/ordered_jobs.h"
#include "analysis/report_builder.h"
#include "encoding/gbk.h"

namespace marvolen {

namespace {

// Permutations a thread judges or lists at a time, unless told otherwise.
constexpr std::int64_t kChunkPermutations = 2048;
// Parses a thread lists at a time, unless told otherwise; a permutation with
// more is listed by the calling thread straight into the report.
constexpr std::uint64_t kChunkParses = 16384;
// The most parses of an ambiguous permutation that the listing builds as
// trees all at once, to find its points and hand them to the preparers;
// one with more has its trees visited one at a time.
constexpr std::uint64_t kTreesAtOnce = 1000;
// Permutations with parses too many to list that are named one by one; the
// rest are counted in one message at the end of the judging.
constexpr int kUnlistedMessages = 10;
// Lines written between two looks at the stop token.
constexpr std::int64_t kLinesBetweenStopChecks = 4096;

// The judgement of a permutation as kept: its class, and this bit when its
// parses are too many to list.
constexpr std::uint8_t kUnlistedBit = 0x80;

PermutationClass ClassOf(std::uint8_t judgement) {
  return static_cast<PermutationClass>(judgement & ~kUnlistedBit);
}

// Ends a report that stopped on an error of its own, its message shown.
struct StoppedOnError {};
// Ends a report on a stop request.
struct StopRequested {};

// The texts that read the same in both reports, GBK: the "none" texts of
// the category sections, the line of parses too many to list, the last four
// counts of the summary.
struct SharedTexts {
  std::string cannotCombine = Gbk("\t没有不能组合的格式!!!");
  std::string combinable = Gbk("\t没有能组合的格式!!!");
  std::string oneWay = Gbk("\t没有[无歧义格式]!!!");
  std::string overt = Gbk("\t没有外显型歧义格式!!!");
  std::string covert = Gbk("\t没有内含型歧义格式!!!");
  TextPattern unlisted{"\t\t共有%s种组合方式，超出上限%s种，未逐一列出\n"};
  // The last four counts of the summary.
  TextPattern summary[4] = {TextPattern("\n\n\t其中只有一种组合关系的排列:%d个\n"),
                            TextPattern("\n\n\t其中有两种以上组合关系的排列:%d个\n"),
                            TextPattern("\n\n\t\t其中有外显型歧义的排列:%d个\n"),
                            TextPattern("\n\n\t\t其中有内含型歧义的排列:%d个\n")};
};

const SharedTexts& GetSharedTexts() {
  static const SharedTexts texts;
  return texts;
}

// The items of a permutation for a message to the person: UTF-8, one blank
// between items.
std::string ItemsForMessage(const Permutation& permutation) {
  std::string items;
  for (int k = 0; k < std::clamp(permutation.currentItemCount, 0, kMaxItems); ++k) {
    if (k > 0) items += ' ';
    items += permutation.items[k];
  }
  return GbkToUtf8(items);
}

std::string CountForMessage(std::uint64_t count) {
  return count == kManyParses ? std::to_string(count) + " or more" : std::to_string(count);
}

// The permutations and parses of one chunk of a listing, kept until the
// calling thread takes them. Cleared, it keeps its memory for the next
// chunk.
class Transcript : public ParseSink {
 public:
  void Reserve(std::int64_t permutations) {
    permutations_.reserve(static_cast<std::size_t>(permutations));
  }
  void Clear() {
    runOpen_ = false;
    permutations_.clear();
    points_.clear();
    text_.clear();
    parses_.clear();
    prepared_.clear();
    preparedEnds_.clear();
  }
  void BeginPermutation(const ListedPermutation& p) override {
    Entry& entry = Add(p, false);
    if (p.points) {
      entry.points = points_.size();
      points_.push_back(*p.points);
    }
    if (p.preparedByObserver) {
      for (std::string_view prepared : *p.preparedByObserver) {
        prepared_ += prepared;
        preparedEnds_.push_back(prepared_.size());
      }
    }
  }
  void Parse(std::string_view bracketed, std::string_view rootLabel) override {
    text_ += bracketed;
    parses_.push_back({text_.size(), rootLabel.size()});
  }
  // A permutation left for whoever replays the transcript to list: one whose
  // parses would make the transcript too large.
  void Defer(const ListedPermutation& p) { Add(p, true); }
  // Permutation `number`, which cannot combine, added to the run of such
  // that ends with it, or begun; what each of `observers` observers makes of
  // it is to be appended to its text in the run returned.
  std::vector<std::string>& ExtendRun(std::int64_t number, std::size_t observers) {
    if (!runOpen_ || permutations_.back().runEnd != number) {
      CloseRun();
      permutations_.push_back({number, 0, parses_.size(), preparedEnds_.size(), kNoPoints,
                               PermutationClass::CannotCombine, true, false, false});
      permutations_.back().runEnd = number;
      runTexts_.resize(observers);
      for (std::string& text : runTexts_) text.clear();
      runOpen_ = true;
    }
    ++permutations_.back().runEnd;
    return runTexts_;
  }
  // End the run being gathered; call before the transcript is replayed.
  void CloseRun() {
    if (!runOpen_) return;
    runOpen_ = false;
    for (const std::string& text : runTexts_) {
      prepared_ += text;
      preparedEnds_.push_back(prepared_.size());
    }
  }
  std::size_t parses() const { return parses_.size(); }

  // Hand everything to `sink`, the permutations' items made from `source`
  // and their points' groups `groups`; a deferred permutation to
  // listDeferred(permutation), which lists it; a run of permutations that
  // cannot combine to takeRun(first, last, what each observer made of them).
  template <typename ListDeferred, typename TakeRun>
  void Replay(const PermutationSource& source, const RuleGroups* groups, ParseSink& sink,
              ListDeferred listDeferred, TakeRun takeRun) const {
    Permutation permutation;
    std::vector<std::string_view> prepared;
    std::size_t parse = 0, textAt = 0, preparedAt = 0;
    for (std::size_t p = 0; p < permutations_.size(); ++p) {
      const Entry& entry = permutations_[p];
      const std::size_t preparedEnd =
          p + 1 < permutations_.size() ? permutations_[p + 1].firstPrepared : preparedEnds_.size();
      if (entry.runEnd >= 0) {
        prepared.clear();
        for (std::size_t k = entry.firstPrepared; k < preparedEnd; ++k) {
          prepared.emplace_back(prepared_.data() + preparedAt, preparedEnds_[k] - preparedAt);
          preparedAt = preparedEnds_[k];
        }
        takeRun(entry.number, entry.runEnd, prepared);
        continue;
      }
      ListedPermutation info;
      info.number = entry.number;
      info.cls = entry.cls;
      info.count = entry.count;
      info.listed = entry.listed;
      info.parsesFollow = entry.parsesFollow;
      source.Build(info.number, permutation);
      info.permutation = &permutation;
      if (entry.deferred) {
        listDeferred(info);
        continue;
      }
      if (entry.points != kNoPoints) {
        info.points = &points_[entry.points];
        info.groups = groups;
      }
      if (preparedEnd > entry.firstPrepared) {
        prepared.clear();
        for (std::size_t k = entry.firstPrepared; k < preparedEnd; ++k) {
          prepared.emplace_back(prepared_.data() + preparedAt, preparedEnds_[k] - preparedAt);
          preparedAt = preparedEnds_[k];
        }
        info.preparedByObserver = &prepared;
      }
      sink.BeginPermutation(info);
      const std::size_t end =
          p + 1 < permutations_.size() ? permutations_[p + 1].firstParse : parses_.size();
      for (; parse < end; ++parse) {
        const std::string_view text(text_.data() + textAt, parses_[parse].textEnd - textAt);
        // The root label follows the opening bracket.
        sink.Parse(text, text.substr(1, parses_[parse].rootLength));
        textAt = parses_[parse].textEnd;
      }
    }
  }
  void Replay(const PermutationSource& source, ParseSink& sink) const {
    Replay(
        source, nullptr, sink, [](ListedPermutation&) {},
        [](std::int64_t, std::int64_t, const std::vector<std::string_view>&) {});
  }

 private:
  // What a permutation's listing said of it, but its items (made again from
  // the source) and the texts kept beside; or a run of permutations that
  // cannot combine, number to runEnd - 1.
  struct Entry {
    std::int64_t number;
    std::uint64_t count;
    std::size_t firstParse;
    std::size_t firstPrepared;  // into preparedEnds_
    std::size_t points;         // into points_, or kNoPoints
    PermutationClass cls;
    bool listed, parsesFollow, deferred;
    std::int64_t runEnd = -1;  // a run's end; -1 for one permutation
  };
  Entry& Add(const ListedPermutation& p, bool deferred) {
    CloseRun();
    permutations_.push_back({p.number, p.count, parses_.size(), preparedEnds_.size(), kNoPoints,
                             p.cls, p.listed, p.parsesFollow, deferred});
    return permutations_.back();
  }
  static constexpr std::size_t kNoPoints = SIZE_MAX;
  struct ParseEnd {
    std::size_t textEnd;
    std::size_t rootLength;
  };
  std::vector<Entry> permutations_;
  // The texts by observer of the run being gathered, kept apart until it
  // ends.
  bool runOpen_ = false;
  std::vector<std::string> runTexts_;
  std::vector<DivergencePoints> points_;
  std::string text_;
  std::vector<ParseEnd> parses_;
  // What the observers' preparers made, one after another, and where each
  // ends.
  std::string prepared_;
  std::vector<std::size_t> preparedEnds_;
};

// What the judging of one chunk found, in report order; with observers in
// report order, the chunk's permutations as listed for them.
struct Judged {
  std::vector<std::uint8_t> judgements;
  ClassCounters counters;
  DegreeLists lists;
  std::vector<std::pair<std::int64_t, std::uint64_t>> unlisted;  // number, count
  bool tooManyItems = false;  // its last permutation has too many items
  std::optional<Transcript> listing;
};

// Hands judged permutations to a sink, each ambiguous one with its
// divergence points and each with what the preparers make of it. One per
// thread: the finder, the preparers' runs and the buffers are reused from
// one permutation to the next.
class PermutationLister {
 public:
  // Without groups and preparers: the permutations and their parses only.
  explicit PermutationLister(const RuleGroups* divergences = nullptr,
                             const std::vector<const PermutationPreparer*>& preparers = {})
      : groups_(divergences) {
    if (divergences) finder_.emplace(*divergences);
    for (const PermutationPreparer* preparer : preparers)
      runs_.push_back(preparer ? preparer->Begin() : nullptr);
  }

  // `listed`, which cannot combine, added to the transcript's run of such.
  void ListCannotCombine(ListedPermutation& listed, Transcript& transcript) {
    std::vector<std::string>& texts = transcript.ExtendRun(listed.number, runs_.size());
    for (std::size_t k = 0; k < runs_.size(); ++k) {
      if (runs_[k]) runs_[k]->Prepare(listed, nullptr, texts[k]);
    }
  }

  // `listed` as judged. `engine` has just counted its parses when it is
  // listed and combines, and is null otherwise; its parses follow it.
  void List(ListedPermutation& listed, ParseEngine* engine, ParseSink& sink) {
    if (engine == nullptr) {
      Begin(listed, nullptr, sink);
      return;
    }
    DivergencePoints points;
    ParseList trees;
    if (finder_ &&
        (listed.cls == PermutationClass::Overt || listed.cls == PermutationClass::Covert)) {
      if (!runs_.empty() && listed.count <= kTreesAtOnce) {
        // The trees serve the points and the preparers alike.
        trees = engine->FirstDistinctParses(listed.count);
        for (const auto& tree : trees) finder_->Add(*tree);
        points = finder_->Finish();
        listed.trees = &trees;
      } else {
        points = FindDivergences(*engine, listed.cls, *finder_);
      }
      listed.points = &points;
      listed.groups = groups_;
    }
    if (!Begin(listed, engine, sink)) return;
    engine->PrintDistinctParses(
        [&sink](std::string_view text, std::string_view root) { sink.Parse(text, root); });
  }

 private:
  // Hand `listed` to the sink; true when its parses' texts are to follow:
  // an observer without a preparer, or a preparer, still needs them.
  bool Begin(ListedPermutation& listed, ParseEngine* engine, ParseSink& sink) {
    bool parsesNeeded = runs_.empty();
    if (!runs_.empty()) {
      preparedText_.clear();
      preparedEnds_.clear();
      for (const auto& run : runs_) {
        if (!run || run->Prepare(listed, engine, preparedText_)) parsesNeeded = true;
        preparedEnds_.push_back(preparedText_.size());
      }
      prepared_.clear();
      std::size_t at = 0;
      for (std::size_t end : preparedEnds_) {
        prepared_.emplace_back(preparedText_.data() + at, end - at);
        at = end;
      }
      listed.preparedByObserver = &prepared_;
    }
    listed.parsesFollow = parsesNeeded || engine == nullptr;
    sink.BeginPermutation(listed);
    return parsesNeeded;
  }

  const RuleGroups* groups_;
  std::optional<DivergenceFinder> finder_;
  std::vector<std::unique_ptr<PermutationPreparer::Run>> runs_;
  std::string preparedText_;
  std::vector<std::size_t> preparedEnds_;
  std::vector<std::string_view> prepared_;
};

// Writes one of the one-way, overt and covert sections' entries: the item
// line, then the parse ("\t\t" tree) or the numbered parses ("\t\t[k]"
// tree), or the line that stands for parses too many to list.
class SectionSink : public ParseSink {
 public:
  SectionSink(const PermutationSource& source, std::uint64_t limit, OutputStream& out)
      : source_(source), limit_(limit), out_(out) {}

  void BeginPermutation(const ListedPermutation& p) override {
    line_ = '\t';
    source_.AppendItems(p.number, line_);
    line_ += '\n';
    if (!p.listed) line_ += UnlistedParsesLine(p.count, limit_);
    out_.Write(line_);
    numbered_ = p.cls != PermutationClass::OneWay;
    k_ = 0;
  }
  void Parse(std::string_view bracketed, std::string_view) override {
    line_ = "\t\t";
    if (numbered_) {
      line_ += '[';
      line_ += std::to_string(++k_);
      line_ += ']';
    }
    line_ += bracketed;
    line_ += '\n';
    out_.Write(line_);
  }

 private:
  const PermutationSource& source_;
  std::uint64_t limit_;
  OutputStream& out_;
  std::string line_;
  bool numbered_ = false;
  int k_ = 0;
};

// Hands everything on to every observer, each with what its preparer
// made, and to `first` before them.
class ObserversSink : public ParseSink {
 public:
  explicit ObserversSink(const std::vector<ReportObserver*>& observers, ParseSink* first = nullptr)
      : observers_(observers), first_(first) {
    for (ReportObserver* o : observers_) prepares_.push_back(o->Preparer() != nullptr);
  }
  void BeginPermutation(const ListedPermutation& p) override {
    if (first_ != nullptr) first_->BeginPermutation(p);
    if (p.preparedByObserver == nullptr) {
      for (ReportObserver* o : observers_) o->BeginPermutation(p);
      return;
    }
    ListedPermutation own = p;
    own.preparedByObserver = nullptr;
    for (std::size_t k = 0; k < observers_.size(); ++k) {
      own.hasPrepared = prepares_[k];
      own.prepared = k < p.preparedByObserver->size() ? (*p.preparedByObserver)[k] : "";
      observers_[k]->BeginPermutation(own);
    }
  }
  void Parse(std::string_view bracketed, std::string_view rootLabel) override {
    if (first_ != nullptr) first_->Parse(bracketed, rootLabel);
    for (ReportObserver* o : observers_) o->Parse(bracketed, rootLabel);
  }
  // A run of permutations that cannot combine, with what each observer's
  // preparer made of them (none when no observer has a preparer).
  void CannotCombine(const PermutationSource& source, std::int64_t first, std::int64_t last,
                     const std::vector<std::string_view>& prepared) {
    for (std::size_t k = 0; k < observers_.size(); ++k) {
      observers_[k]->CannotCombine(source, first, last,
                                   k < prepared.size() ? prepared[k] : std::string_view());
    }
  }

 private:
  const std::vector<ReportObserver*>& observers_;
  ParseSink* first_;
  std::vector<bool> prepares_;
};

class Writer {
 public:
  Writer(const ReportPlan& plan, const std::vector<ParseEngine*>& engines, OutputStream& out,
         UserInterface& ui, const ReportOptions& options)
      : source_(*plan.source),
        texts_(*plan.texts),
        plan_(plan),
        engines_(engines),
        workers_(engines.size() > 1 ? static_cast<int>(engines.size()) - 1 : 1),
        out_(out),
        ui_(ui),
        options_(options),
        limit_(std::max<std::uint64_t>(1, options.maxParses)),
        chunkPermutations_(options.chunkPermutations > 0 ? options.chunkPermutations
                                                         : kChunkPermutations),
        chunkParses_(options.chunkParses > 0 ? static_cast<std::uint64_t>(options.chunkParses)
                                             : kChunkParses),
        progress_(ui, source_.count()) {
    for (ReportObserver* o : options_.observers)
      (o->InReportOrder() ? ordered_ : unordered_).push_back(o);
  }

  void Judge();
  void Write();

 private:
  // A run of the permutations [begin, end) of a listing, with the records
  // of the first ambiguous ones among them; `onCaller` for one permutation
  // of very many parses, listed by the calling thread.
  struct ListJob {
    std::int64_t begin, end;
    std::size_t overt, covert;  // indexes into the record lists
    bool onCaller;
  };

  void CheckStop() const {
    if (options_.stop.stop_requested()) throw StopRequested();
  }
  void TakeJudged(Judged&& judged);
  void WriteSummary();
  // The item lines of every permutation, of those that cannot combine, or
  // of those that can; `none` when there are none (and `none` is given).
  enum class ItemLines { kAll, kCannotCombine, kCombinable };
  void WriteItemSection(const std::string& heading, ItemLines which, const std::string* none);
  // List the permutations of class `only` into `sink`, in report order,
  // counting them in the progress.
  void List(PermutationClass only, ParseSink& sink);
  void ListRange(const ListJob& job, PermutationClass only, ParseEngine& engine, ParseSink& sink,
                 PermutationLister& lister) const;
  void WriteDegreeList(const std::string& title, std::vector<DegreeRecord>& records,
                       const TextPattern& average, const std::string& none);

  const PermutationSource& source_;
  const ReportTexts& texts_;
  const ReportPlan& plan_;
  const std::vector<ParseEngine*>& engines_;
  const int workers_;
  OutputStream& out_;
  UserInterface& ui_;
  const ReportOptions& options_;
  const std::uint64_t limit_;
  const std::int64_t chunkPermutations_;
  const std::uint64_t chunkParses_;
  ProgressMeter progress_;
  std::int64_t done_ = 0;

  std::vector<std::uint8_t> judgements_;  // by permutation
  ClassCounters counters_;
  DegreeLists lists_;
  int unlistedShown_ = 0;
  int unlistedMore_ = 0;

  // The observers that take every permutation in report order, and those
  // given the permutations as the sections list them.
  std::vector<ReportObserver*> ordered_, unordered_;
  // For the observers in report order, while the permutations are judged:
  // a lister per thread, the last the calling thread's.
  std::vector<PermutationLister> observerListers_;
  std::optional<ObserversSink> observersSink_;
  // Listings handed on, cleared, for the next chunks (at most as many as
  // chunks are judged at a time).
  std::mutex spareMutex_;
  std::vector<Transcript> spareListings_;
};

void Writer::Judge() {
  const std::int64_t total = source_.count();
  judgements_.reserve(static_cast<std::size_t>(total));
  // The observers in report order are given each permutation as it is
  // judged: the search that judges it lists it for them, on the analysing
  // threads, and the calling thread hands the chunk's listing on.
  const bool observing = !ordered_.empty();
  if (observing) {
    for (ReportObserver* o : ordered_) o->BeginReport(plan_.kind, total);
    std::vector<const PermutationPreparer*> preparers;
    for (ReportObserver* o : ordered_) preparers.push_back(o->Preparer());
    if (std::all_of(preparers.begin(), preparers.end(), [](auto* p) { return p == nullptr; }))
      preparers.clear();
    for (int k = 0; k <= workers_; ++k)
      observerListers_.emplace_back(options_.divergences, preparers);
    observersSink_.emplace(ordered_);
  }
  const std::int64_t chunks = (total + chunkPermutations_ - 1) / chunkPermutations_;
  RunJobsInOrder<Judged>(
      chunks, workers_, 2 * workers_,
      [&](std::int64_t chunk, int worker) {
        ParseEngine& engine = *engines_[worker];
        Judged out;
        const std::int64_t first = chunk * chunkPermutations_;
        const std::int64_t last = std::min(total, first + chunkPermutations_);
        out.judgements.reserve(static_cast<std::size_t>(last - first));
        if (observing) {
          // A listing the calling thread is done with, its memory kept.
          std::lock_guard<std::mutex> lock(spareMutex_);
          if (spareListings_.empty()) {
            out.listing.emplace();
          } else {
            out.listing.emplace(std::move(spareListings_.back()));
            spareListings_.pop_back();
          }
          out.listing->Reserve(last - first);
        }
        Permutation permutation;
        for (std::int64_t number = first; number < last; ++number) {
          if (!source_.Build(number, permutation)) {
            out.tooManyItems = true;
            break;
          }
          const ParseSummary summary = engine.CountDistinctParses(permutation, limit_);
          const PermutationClass cls = ClassifySummary(summary);
          const bool listed = summary.count <= limit_;
          out.judgements.push_back(static_cast<std::uint8_t>(cls) | (listed ? 0 : kUnlistedBit));
          out.counters.Count(cls);
          RecordDegree(out.lists, cls, number, summary.count);
          if (!listed) out.unlisted.emplace_back(number, summary.count);
          if (observing) {
            ListedPermutation p;
            p.number = number;
            p.permutation = &permutation;
            p.source = &source_;
            p.cls = cls;
            p.count = summary.count;
            p.listed = listed;
            const bool searched = listed && cls != PermutationClass::CannotCombine;
            // A chunk holds at most as many parses as a listing's job; the
            // permutations beyond are listed by the calling thread.
            if (cls == PermutationClass::CannotCombine) {
              observerListers_[static_cast<std::size_t>(worker)].ListCannotCombine(p, *out.listing);
            } else if (searched && out.listing->parses() + summary.count > chunkParses_) {
              out.listing->Defer(p);
            } else {
              observerListers_[static_cast<std::size_t>(worker)].List(
                  p, searched ? &engine : nullptr, *out.listing);
            }
          }
        }
        if (observing) out.listing->CloseRun();
        return out;
      },
      [&](std::int64_t, Judged judged) { TakeJudged(std::move(judged)); });
  if (unlistedMore_ > 0) {
    ui_.ShowMessage("Too many parses to list for " + std::to_string(unlistedMore_) +
                    " more permutations; the report gives their number only");
  }
}

void Writer::TakeJudged(Judged&& judged) {
  CheckStop();
  Permutation permutation;
  for (const auto& [number, count] : judged.unlisted) {
    if (unlistedShown_ == kUnlistedMessages) {
      ++unlistedMore_;
      continue;
    }
    ++unlistedShown_;
    source_.Build(number, permutation);
    ui_.ShowMessage("Too many parses to list for " + ItemsForMessage(permutation) + ": " +
                    CountForMessage(count) + ", more than the limit of " + std::to_string(limit_) +
                    "; the report gives their number only");
  }
  if (judged.tooManyItems) {
    ui_.ShowMessage("One permutation contains too many tokens");
    throw StoppedOnError();
  }
  if (judged.listing) {
    judged.listing->Replay(
        source_, options_.divergences, *observersSink_,
        [this](ListedPermutation& deferred) {
          CheckStop();
          ParseEngine& engine = *engines_.back();
          engine.CountDistinctParses(*deferred.permutation, limit_);
          observerListers_.back().List(deferred, &engine, *observersSink_);
        },
        [this](std::int64_t first, std::int64_t last,
               const std::vector<std::string_view>& prepared) {
          observersSink_->CannotCombine(source_, first, last, prepared);
        });
    judged.listing->Clear();
    std::lock_guard<std::mutex> lock(spareMutex_);
    spareListings_.push_back(std::move(*judged.listing));
  }
  judgements_.insert(judgements_.end(), judged.judgements.begin(), judged.judgements.end());
  counters_ += judged.counters;
  auto append = [](std::vector<DegreeRecord>& from, std::vector<DegreeRecord>& to) {
    to.insert(to.end(), from.begin(), from.end());
  };
  append(judged.lists.overtRecords, lists_.overtRecords);
  append(judged.lists.covertRecords, lists_.covertRecords);
  done_ = static_cast<std::int64_t>(judgements_.size());
  progress_.Done(done_);
}

void Writer::WriteSummary() {
  std::string summary = plan_.summaryHead;
  const ClassCounters& c = counters_;
  const int values[7] = {c.cannotCombineCount + c.combinableCount,
                         c.cannotCombineCount,
                         c.combinableCount,
                         c.oneWayCount,
                         c.combinableCount - c.oneWayCount,
                         c.overtCount,
                         c.covertCount};
  for (int k = 0; k < 7; ++k) {
    const TextPattern& text = k < 3 ? texts_.summary[k] : GetSharedTexts().summary[k - 3];
    text.AppendTo(summary, {std::to_string(values[k])});
  }
  out_.Write(summary);
}

void Writer::WriteItemSection(const std::string& heading, ItemLines which,
                              const std::string* none) {
  out_.Write(heading);
  std::string lines;
  int written = 0;
  const std::int64_t total = static_cast<std::int64_t>(judgements_.size());
  for (std::int64_t number = 0; number < total; ++number) {
    if (number % kLinesBetweenStopChecks == 0) CheckStop();
    const bool combines = ClassOf(judgements_[number]) != PermutationClass::CannotCombine;
    if ((which == ItemLines::kCannotCombine && combines) ||
        (which == ItemLines::kCombinable && !combines)) {
      continue;
    }
    lines += '\t';
    source_.AppendItems(number, lines);
    lines += which == ItemLines::kCannotCombine ? texts_.cannotCombineLineEnd : "\n";
    ++written;
    if (lines.size() >= 1 << 16) {
      out_.Write(lines);
      lines.clear();
    }
  }
  if (written == 0 && none != nullptr) lines += *none;
  out_.Write(lines);
}

void Writer::ListRange(const ListJob& job, PermutationClass only, ParseEngine& engine,
                       ParseSink& sink, PermutationLister& lister) const {
  Permutation permutation;
  std::size_t overt = job.overt, covert = job.covert;
  for (std::int64_t number = job.begin; number < job.end; ++number) {
    const std::uint8_t judgement = judgements_[number];
    const PermutationClass cls = ClassOf(judgement);
    std::uint64_t count = cls == PermutationClass::OneWay ? 1 : 0;
    if (cls == PermutationClass::Overt) count = lists_.overtRecords[overt++].count;
    if (cls == PermutationClass::Covert) count = lists_.covertRecords[covert++].count;
    if (cls != only) continue;
    source_.Build(number, permutation);
    ListedPermutation listed;
    listed.number = number;
    listed.permutation = &permutation;
    listed.cls = cls;
    listed.count = count;
    listed.listed = (judgement & kUnlistedBit) == 0;
    if (!listed.listed || cls == PermutationClass::CannotCombine) {
      lister.List(listed, nullptr, sink);
      continue;
    }
    engine.CountDistinctParses(permutation, limit_);
    lister.List(listed, &engine, sink);
  }
}

void Writer::List(PermutationClass only, ParseSink& sink) {
  // Cut the permutations into jobs by the parses they have.
  std::vector<ListJob> jobs;
  std::int64_t members = 0;
  {
    std::size_t overt = 0, covert = 0;
    std::optional<ListJob> open;
    std::uint64_t parses = 0;
    std::int64_t inJob = 0;
    auto close = [&](std::int64_t end) {
      if (open) {
        open->end = end;
        jobs.push_back(*open);
        open.reset();
      }
    };
    const std::int64_t total = static_cast<std::int64_t>(judgements_.size());
    for (std::int64_t number = 0; number < total; ++number) {
      const std::uint8_t judgement = judgements_[number];
      const PermutationClass cls = ClassOf(judgement);
      std::uint64_t count = cls == PermutationClass::OneWay ? 1 : 0;
      const std::size_t overtAt = overt, covertAt = covert;
      if (cls == PermutationClass::Overt) count = lists_.overtRecords[overt++].count;
      if (cls == PermutationClass::Covert) count = lists_.covertRecords[covert++].count;
      if (cls != only) continue;
      ++members;
      if ((judgement & kUnlistedBit) != 0) count = 0;
      if (count > chunkParses_) {
        close(number);
        jobs.push_back({number, number + 1, overtAt, covertAt, true});
        continue;
      }
      if (open && (parses + count > chunkParses_ || inJob == chunkPermutations_)) close(number);
      if (!open) {
        open = ListJob{number, number, overtAt, covertAt, false};
        parses = 0;
        inJob = 0;
      }
      parses += count;
      ++inJob;
    }
    close(total);
  }
  progress_.Extend(members);

  ParseEngine& callerEngine = *engines_.back();
  // One lister per thread; the last is the calling thread's.
  std::vector<PermutationLister> listers;
  for (int k = 0; k <= workers_; ++k) listers.emplace_back();
  RunJobsInOrder<std::optional<Transcript>>(
      static_cast<std::int64_t>(jobs.size()), workers_, 2 * workers_,
      [&](std::int64_t j, int worker) -> std::optional<Transcript> {
        if (jobs[j].onCaller) return std::nullopt;
        Transcript transcript;
        transcript.Reserve(std::min(jobs[j].end - jobs[j].begin, chunkPermutations_));
        ListRange(jobs[j], only, *engines_[worker], transcript,
                  listers[static_cast<std::size_t>(worker)]);
        return transcript;
      },
      [&](std::int64_t j, std::optional<Transcript> transcript) {
        CheckStop();
        if (transcript) {
          transcript->Replay(source_, sink);
        } else {
          ListRange(jobs[j], only, callerEngine, sink, listers.back());
        }
        for (std::int64_t number = jobs[j].begin; number < jobs[j].end; ++number) {
          if (ClassOf(judgements_[number]) == only) ++done_;
        }
        progress_.Done(done_);
      });
}

void Writer::WriteDegreeList(const std::string& title, std::vector<DegreeRecord>& records,
                             const TextPattern& average, const std::string& none) {
  std::string text = title;
  RankDegreeRecords(records);
  for (std::size_t k = 0; k < records.size(); ++k) {
    text += "\t [";
    text += std::to_string(k + 1);
    text += "] ";
    source_.AppendItems(records[k].permutation, text);
    text += texts_.recordItemsEnd;
    text += std::to_string(records[k].count);
    text += '\n';
    if (text.size() >= 1 << 16) {
      out_.Write(text);
      text.clear();
    }
  }
  const DegreeAverage degree = AverageDegree(records);
  if (degree.average) {
    average.AppendTo(text, {FormatAverage(*degree.average)});
  } else {
    text += none;
  }
  out_.Write(text);
}

void Writer::Write() {
  const SharedTexts& none = GetSharedTexts();
  const SectionHeadings& h = texts_.headings;
  WriteSummary();
  WriteItemSection(h.all, ItemLines::kAll, nullptr);
  WriteItemSection(h.cannotCombine, ItemLines::kCannotCombine, &none.cannotCombine);
  WriteItemSection(h.combinable, ItemLines::kCombinable, &none.combinable);
  // Observers that take the permutations in any order are given them as
  // the sections list them (those in report order had them as judged).
  for (ReportObserver* o : unordered_) o->BeginReport(plan_.kind, source_.count());
  SectionSink sectionText(source_, limit_, out_);
  ObserversSink section(unordered_, &sectionText);
  const struct {
    const std::string& heading;
    PermutationClass cls;
    int count;
    const std::string& none;
  } withParses[3] = {{h.oneWay, PermutationClass::OneWay, counters_.oneWayCount, none.oneWay},
                     {h.overt, PermutationClass::Overt, counters_.overtCount, none.overt},
                     {h.covert, PermutationClass::Covert, counters_.covertCount, none.covert}};
  for (const auto& s : withParses) {
    out_.Write(s.heading);
    List(s.cls, section);
    if (s.count == 0) out_.Write(s.none);
  }

  out_.Write(h.degree);
  WriteDegreeList(texts_.covertTitle, lists_.covertRecords, texts_.covertAverage,
                  texts_.covertNone);
  WriteDegreeList(texts_.overtTitle, lists_.overtRecords, texts_.overtAverage, texts_.overtNone);

  if (!options_.observers.empty()) {
    ReportSummary summary;
    summary.kind = plan_.kind;
    summary.source = &source_;
    summary.counters = counters_;
    summary.covertRecords = lists_.covertRecords;
    summary.overtRecords = lists_.overtRecords;
    for (ReportObserver* o : options_.observers) o->EndReport(summary);
  }
}

}  // namespace

void ReportObserver::CannotCombine(const PermutationSource& source, std::int64_t first,
                                   std::int64_t last, std::string_view) {
  Permutation permutation;
  ListedPermutation p;
  p.permutation = &permutation;
  for (p.number = first; p.number < last; ++p.number) {
    source.Build(p.number, permutation);
    BeginPermutation(p);
  }
}

std::string UnlistedParsesLine(std::uint64_t count, std::uint64_t limit) {
  std::string line;
  GetSharedTexts().unlisted.AppendTo(line, {std::to_string(count), std::to_string(limit)});
  return line;
}

ReportEnd WriteReport(const ReportPlan& plan, const std::vector<ParseEngine*>& engines,
                      OutputStream& out, UserInterface& ui, const ReportOptions& options) {
  const std::uint64_t start = out.Position();
  try {
    Writer writer(plan, engines, out, ui, options);
    writer.Judge();
    writer.Write();
    return ReportEnd::kWritten;
  } catch (const StoppedOnError&) {
    // Nothing of the report was written yet.
    return ReportEnd::kStoppedOnError;
  } catch (const std::bad_alloc&) {
    out.TruncateTo(start);
    ui.ShowMessage(kMemoryAllocationError);
    return ReportEnd::kStoppedOnError;
  } catch (const StopRequested&) {
  } catch (const SearchStopped&) {
  }
  out.TruncateTo(start);
  return ReportEnd::kStopped;
}

}  // namespace marvolen
