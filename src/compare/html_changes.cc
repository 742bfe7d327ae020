// Writing the section 变化 of the HTML report.
#include "compare/html_changes.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "analysis/degree_records.h"

namespace marvolen {

namespace {

// A block is written when it holds this many changes, or bytes.
constexpr int kBlockChanges = 512;
constexpr std::size_t kBlockBytes = 1 << 18;

void AppendSide(const PatternResult* side, std::string& json) {
  if (side == nullptr) {
    json += "null";
    return;
  }
  // The count as decimal text: it may be past what a script's number holds.
  json += '[' + std::to_string(static_cast<int>(side->cls)) + ",\"" + std::to_string(side->count) +
          "\"]";
}

// The side's parses (at most kHtmlParses), then the indexes of those in
// `marked` (the parses lost, or gained).
void AppendParses(const PatternResult* side, const std::vector<std::string>& marked,
                  Utf8Converter& utf8, std::string& json, std::string& indexes) {
  json += '[';
  indexes = "[";
  if (side != nullptr) {
    const std::unordered_set<std::string_view> set(marked.begin(), marked.end());
    const std::size_t shown = std::min<std::size_t>(side->parses.size(), kHtmlParses);
    for (std::size_t k = 0; k < shown; ++k) {
      if (k > 0) json += ',';
      AppendJsonString(utf8.Convert(side->parses[k]), json);
      if (set.count(side->parses[k]) > 0) {
        if (indexes.size() > 1) indexes += ',';
        indexes += std::to_string(k);
      }
    }
  }
  json += ']';
  indexes += ']';
}

void AppendRules(const std::vector<std::string>& rules, Utf8Converter& utf8, std::string& json) {
  json += '[';
  for (std::size_t k = 0; k < rules.size(); ++k) {
    if (k > 0) json += ',';
    AppendJsonString(utf8.Convert(rules[k]), json);
  }
  json += ']';
}

std::string Average(const std::optional<double>& average) {
  return average ? "\"" + FormatAverage(*average) + "\"" : "null";
}

}  // namespace

void HtmlChangesWriter::Changed(const PatternChange& change) {
  const PatternResult& some = change.now ? *change.now : *change.old;
  if (!block_.empty()) block_ += ',';
  block_ += "{\"s\":\"";
  block_ += SourceName(change.source);
  block_ += "\",\"i\":";
  AppendJsonString(utf8_.Convert(some.items), block_);
  block_ += ",\"o\":";
  AppendSide(change.old, block_);
  block_ += ",\"n\":";
  AppendSide(change.now, block_);
  std::string indexes;
  block_ += ",\"op\":";
  AppendParses(change.old, change.lost, utf8_, block_, indexes);
  block_ += ",\"l\":" + indexes + ",\"np\":";
  AppendParses(change.now, change.gained, utf8_, block_, indexes);
  block_ += ",\"g\":" + indexes + ",\"rg\":";
  AppendRules(change.rulesGained, utf8_, block_);
  block_ += ",\"rl\":";
  AppendRules(change.rulesLost, utf8_, block_);
  block_ += change.parsesComparable ? ",\"cmp\":true}" : ",\"cmp\":false}";
  if (++changesInBlock_ >= kBlockChanges || block_.size() >= kBlockBytes) WriteBlock();
}

void HtmlChangesWriter::WriteBlock() {
  if (changesInBlock_ == 0) return;
  page_.WriteSectionData("{\"k\":\"c\",\"c\":[" + block_ + "]}");
  block_.clear();
  changesInBlock_ = 0;
}

void HtmlChangesWriter::Finish(const Comparison* comparison, const std::string& baseline) {
  if (comparison == nullptr) {
    block_.clear();
    changesInBlock_ = 0;
    return;
  }
  WriteBlock();
  std::string json = "{\"k\":\"ct\",\"base\":";
  AppendJsonString(baseline, json);
  json += ",\"src\":[";
  bool first = true;
  for (const ReportKind source : {ReportKind::kTagSet, ReportKind::kSequences}) {
    const SourceComparison& side = comparison->Of(source);
    if (!side.present) continue;
    if (!first) json += ',';
    first = false;
    json += "{\"s\":\"";
    json += SourceName(source);
    json += "\",\"t\":[";
    for (std::size_t from = 0; from < side.transitions.size(); ++from) {
      if (from > 0) json += ',';
      json += '[';
      for (std::size_t to = 0; to < side.transitions[from].size(); ++to) {
        if (to > 0) json += ',';
        json += std::to_string(side.transitions[from][to]);
      }
      json += ']';
    }
    json += "],\"n\":" + std::to_string(side.patterns) + ",\"ch\":" + std::to_string(side.changed) +
            ",\"oa\":[" + Average(side.oldAverages.covert) + ',' + Average(side.oldAverages.overt) +
            "],\"na\":[" + Average(side.newAverages.covert) + ',' +
            Average(side.newAverages.overt) + "]}";
  }
  json += "]}";
  page_.WriteSectionData(json);
}

}  // namespace marvolen
