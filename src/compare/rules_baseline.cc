// The baseline's thread and the queue that hands its patterns over.
#include "compare/rules_baseline.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/text_stream.h"

namespace marvolen {

namespace {

// The baseline hands its events over in batches, so that the two threads
// meet once a batch rather than once a pattern: a batch ends after this many
// events or parses, and it may run this many batches ahead.
constexpr std::size_t kBatchEvents = 256;
constexpr std::size_t kBatchParses = 4096;
constexpr std::size_t kQueuedBatches = 4;

struct BaselineEvent {
  enum class Kind { kBegin, kPattern, kEnd, kDone };
  Kind kind = Kind::kDone;
  ReportKind source = ReportKind::kTagSet;
  PatternResult pattern;
  SideAverages averages;
  bool complete = false;  // kDone: every report of the baseline was written
};

// The baseline's messages, kept until the current run's thread shows them.
class KeptMessages : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override { ShowMessageAt(text, {}); }
  void ShowMessageAt(const std::string& text, const MessagePlace& place) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.emplace_back(text, place);
  }
  void SetBusy(bool) override {}

  void ShowOn(UserInterface& ui) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [text, place] : messages_) ui.ShowMessageAt(text, place);
    messages_.clear();
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<std::string, MessagePlace>> messages_;
};

}  // namespace

// The events of the baseline in order, and its thread.
class BaselineQueue : public PatternCollector {
 public:
  BaselineQueue(bool threeItemsOnly, const TagSet& tagSet, const SequenceList& sequences,
                const RuleSet& rules, const ReportOptions& options)
      : outerStop_(options.stop, [this] { Close(); }) {
    ReportOptions baselineOptions = options;
    baselineOptions.observers = {this};
    baselineOptions.stop = stop_.get_token();
    thread_ = std::thread([this, threeItemsOnly, &tagSet, &sequences, &rules, baselineOptions] {
      Run(threeItemsOnly, tagSet, sequences, rules, baselineOptions);
    });
  }

  ~BaselineQueue() override {
    Close();
    if (thread_.joinable()) thread_.join();
  }

  // The next event; none once the queue is closed. For the current run's
  // thread only.
  std::optional<BaselineEvent> Pop() {
    if (taken_ == batch_.size()) {
      std::unique_lock<std::mutex> lock(mutex_);
      ready_.wait(lock, [this] { return closed_ || !batches_.empty(); });
      if (closed_) return std::nullopt;
      batch_ = std::move(batches_.front());
      batches_.pop_front();
      taken_ = 0;
      room_.notify_all();
    }
    return std::move(batch_[taken_++]);
  }

  // Stop the baseline and wake both sides.
  void Close() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      closed_ = true;
    }
    stop_.request_stop();
    ready_.notify_all();
    room_.notify_all();
  }

  void Join() {
    if (thread_.joinable()) thread_.join();
  }

  KeptMessages& messages() { return messages_; }

 protected:
  void SourceBegun(ReportKind kind) override {
    BaselineEvent event;
    event.kind = BaselineEvent::Kind::kBegin;
    event.source = kind;
    Push(std::move(event));
  }
  void PatternDone(ReportKind kind, PatternResult& pattern) override {
    BaselineEvent event;
    event.kind = BaselineEvent::Kind::kPattern;
    event.source = kind;
    event.pattern = std::move(pattern);
    Push(std::move(event));
  }
  void SourceEnded(ReportKind kind, const SideAverages& averages) override {
    BaselineEvent event;
    event.kind = BaselineEvent::Kind::kEnd;
    event.source = kind;
    event.averages = averages;
    Push(std::move(event));
  }

 private:
  void Push(BaselineEvent event) {
    pendingParses_ += event.pattern.parses.size();
    const bool last = event.kind != BaselineEvent::Kind::kPattern;
    pending_.push_back(std::move(event));
    if (!last && pending_.size() < kBatchEvents && pendingParses_ < kBatchParses) return;
    std::unique_lock<std::mutex> lock(mutex_);
    room_.wait(lock, [this] { return closed_ || batches_.size() < kQueuedBatches; });
    if (closed_) return;
    batches_.push_back(std::move(pending_));
    pending_.clear();
    pendingParses_ = 0;
    ready_.notify_all();
  }

  void Run(bool threeItemsOnly, const TagSet& tagSet, const SequenceList& sequences,
           const RuleSet& rules, const ReportOptions& options) {
    BaselineEvent done;
    done.kind = BaselineEvent::Kind::kDone;
    // The baseline's text report is not kept.
    const std::unique_ptr<OutputStream> nowhere = OutputStream::Discarding();
    ReportEnd tagSetEnd = ReportEnd::kWritten, sequencesEnd = ReportEnd::kWritten;
    // Nothing may leave the thread: what the builders do not catch (memory
    // running out in this observer) ends the baseline incomplete.
    try {
      if (tagSet.count() > 0) {
        tagSetEnd = BuildTagSetReport(threeItemsOnly, tagSet, rules, *nowhere, messages_, options);
      }
      if (sequences.count() > 0 && tagSetEnd == ReportEnd::kWritten) {
        sequencesEnd = BuildSequencesReport(sequences, rules, *nowhere, messages_, options);
      }
      done.complete = tagSetEnd == ReportEnd::kWritten && sequencesEnd == ReportEnd::kWritten;
    } catch (const std::bad_alloc&) {
      messages_.ShowMessage("Not enough memory for the analysis of the baseline rules file");
    } catch (const std::exception& e) {
      messages_.ShowMessage(std::string("The analysis of the baseline rules file failed: ") +
                            e.what());
    }
    // The end is handed over even when the queue is full.
    pending_.push_back(std::move(done));
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return;
    batches_.push_back(std::move(pending_));
    pending_.clear();
    ready_.notify_all();
  }

  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::deque<std::vector<BaselineEvent>> batches_;
  bool closed_ = false;
  // The baseline's thread's batch being gathered.
  std::vector<BaselineEvent> pending_;
  std::size_t pendingParses_ = 0;
  // The current run's thread's batch being taken.
  std::vector<BaselineEvent> batch_;
  std::size_t taken_ = 0;
  std::stop_source stop_;
  KeptMessages messages_;
  std::stop_callback<std::function<void()>> outerStop_;
  std::thread thread_;
};

RulesBaselineComparison::RulesBaselineComparison(Comparison& comparison, bool threeItemsOnly,
                                                 const TagSet& tagSet,
                                                 const SequenceList& sequences,
                                                 const RuleSet& baselineRules,
                                                 const ReportOptions& options)
    : comparison_(comparison),
      queue_(std::make_unique<BaselineQueue>(threeItemsOnly, tagSet, sequences, baselineRules,
                                             options)) {}

RulesBaselineComparison::~RulesBaselineComparison() = default;

void RulesBaselineComparison::Break() {
  broken_ = true;
  queue_->Close();
}

void RulesBaselineComparison::SourceBegun(ReportKind kind) {
  if (broken_) return;
  const auto event = queue_->Pop();
  if (!event || event->kind != BaselineEvent::Kind::kBegin || event->source != kind) Break();
}

void RulesBaselineComparison::PatternDone(ReportKind kind, PatternResult& pattern) {
  if (broken_) return;
  const auto event = queue_->Pop();
  if (!event || event->kind != BaselineEvent::Kind::kPattern || event->source != kind ||
      event->pattern.items != pattern.items) {
    Break();
    return;
  }
  comparison_.Compare(kind, &event->pattern, &pattern);
}

void RulesBaselineComparison::SourceEnded(ReportKind kind, const SideAverages& averages) {
  if (broken_) return;
  const auto event = queue_->Pop();
  if (!event || event->kind != BaselineEvent::Kind::kEnd || event->source != kind) {
    Break();
    return;
  }
  comparison_.SetAverages(kind, event->averages, averages);
}

bool RulesBaselineComparison::Finish(UserInterface& ui) {
  if (!broken_) {
    const auto event = queue_->Pop();
    if (!event || event->kind != BaselineEvent::Kind::kDone || !event->complete) broken_ = true;
  }
  queue_->Close();
  queue_->Join();
  queue_->messages().ShowOn(ui);
  return !broken_;
}

}  // namespace marvolen
