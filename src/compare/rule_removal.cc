// The patterns of an earlier run without some of its rules.
#include "compare/rule_removal.h"

#include <memory>
#include <string_view>

#include "analysis/degree_records.h"

namespace marvolen {

namespace {

// How often the comparison looks at the stop.
constexpr std::uint64_t kRowsBetweenStops = 1024;

// The root label of a bracketed parse: "(NP:定中(...))" gives "NP".
std::string_view RootLabel(std::string_view parse) {
  if (!parse.empty() && parse.front() == '(') parse.remove_prefix(1);
  return parse.substr(0, parse.find_first_of(":(),"));
}

// The judgement of a pattern with `parses`, as the analysis judges it.
PermutationClass JudgementOf(const std::vector<std::string>& parses) {
  if (parses.empty()) return PermutationClass::CannotCombine;
  if (parses.size() == 1) return PermutationClass::OneWay;
  const std::string_view first = RootLabel(parses.front());
  for (const std::string& parse : parses) {
    if (RootLabel(parse) != first) return PermutationClass::Overt;
  }
  return PermutationClass::Covert;
}

}  // namespace

RuleSet RulesWithout(const RuleSet& rules, const std::set<int>& removed) {
  RuleSet kept;
  for (int k = 0; k < rules.count(); ++k) {
    if (removed.count(k) > 0) continue;
    kept.rules.push_back(rules.rules[static_cast<std::size_t>(k)]);
    if (k < static_cast<int>(rules.lines.size()))
      kept.lines.push_back(rules.lines[static_cast<std::size_t>(k)]);
  }
  if (kept.lines.size() != kept.rules.size()) kept.lines.clear();
  return kept;
}

RuleRemoval::RuleRemoval(const RuleSet& rules, const std::set<int>& removed)
    : index_(rules), comparison_(rules, RulesWithout(rules, removed)) {
  std::set<std::string> kept;
  for (int k = 0; k < rules.count(); ++k) {
    const std::string key = RuleKeyOf(rules.rules[static_cast<std::size_t>(k)]);
    (removed.count(k) > 0 ? removedKeys_ : kept).insert(key);
  }
  // A kept rule still makes the nodes of a removed one alike.
  for (const std::string& key : kept) removedKeys_.erase(key);
}

const PatternResult* RuleRemoval::ComparePattern(ReportKind source, const PatternResult& old) {
  if (!old.listed || old.partial || old.parses.size() != old.count) return nullptr;
  now_.items = old.items;
  now_.count = 0;
  now_.listed = true;
  now_.partial = false;
  now_.parses.clear();
  bool lost = false;
  for (const std::string& parse : old.parses) {
    keys_.clear();
    if (!index_.AddRulesOf(parse, keys_)) return nullptr;
    bool survives = true;
    for (const std::string& key : keys_) {
      if (removedKeys_.count(key) > 0) {
        survives = false;
        break;
      }
    }
    if (survives) {
      now_.parses.push_back(parse);
    } else {
      lost = true;
    }
  }
  if (!lost) {
    // Nothing changes: the pattern is compared with itself.
    comparison_.Compare(source, &old, &old);
    return &old;
  }
  now_.count = now_.parses.size();
  now_.cls = JudgementOf(now_.parses);
  parsesLost_[Side(source)] += old.count - now_.count;
  comparison_.Compare(source, &old, &now_);
  return &now_;
}

bool RuleRemoval::Run(const std::string& path, const std::stop_token& stop,
                      CsvBaselineError* error) {
  std::unique_ptr<CsvBaseline> table = CsvBaseline::Open(path, stop, error);
  if (!table) return false;
  bool stopped = false;
  for (ReportKind source : {ReportKind::kTagSet, ReportKind::kSequences}) {
    if (!table->Has(source)) continue;
    DegreeLists degrees;
    std::int64_t number = 0;
    const bool read = table->TakeRest(source, [&](PatternResult& old) {
      if (stopped || (number % kRowsBetweenStops == 0 && stop.stop_requested())) {
        stopped = true;
        return;
      }
      if (const PatternResult* now = ComparePattern(source, old)) {
        RecordDegree(degrees, now->cls, number, now->count);
      } else {
        ++notComputed_[Side(source)];
      }
      ++number;
    });
    if (stopped) {
      *error = {CsvBaselineError::Kind::kStopped, 0, ""};
      return false;
    }
    if (!read) {
      *error = {CsvBaselineError::Kind::kNotATable, 0, "the file could not be read again"};
      return false;
    }
    SideAverages after;
    if (notComputed_[Side(source)] == 0) {
      after = {AverageDegree(degrees.overtRecords).average,
               AverageDegree(degrees.covertRecords).average};
    }
    comparison_.SetAverages(source, table->Averages(source), after);
  }
  return true;
}

}  // namespace marvolen
