// Fuzz target: the rules reader over any bytes, then the check for cycles of
// one-item rules on what it stored.
//
// The reader must keep to the 300 records and to every field width, store
// only complete rules and show at most one short message, in UTF-8.
#include <cstddef>
#include <cstdint>
#include <string>

#include "datafiles/rule_set_reader.h"
#include "datafiles/user_interface.h"
#include "fuzz/fuzz_check.h"
#include "grammar/cfg_rule.h"
#include "grammar/unary_cycles.h"
#include "platform/text_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvolen;
  auto in = InputStream::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
  RecordingUserInterface ui;
  RuleSet ruleSet;
  ruleSet.rules.emplace_back("stale", "S", "x ", "");  // the reader starts from an empty table
  ReadRuleSet(ruleSet, *in, ui);

  FuzzCheck(ruleSet.count() <= RuleSet::kCapacity, "more than 300 records");
  FuzzCheck(ui.messages.size() <= 1, "more than one message");
  FuzzCheck(!ui.messages.empty() || ruleSet.count() > 0, "no rule and no message");
  CheckReaderMessages(ui.messages);
  for (const CfgRule& rule : ruleSet.rules) {
    FuzzCheck(!rule.title().empty() && rule.title().size() <= kTitleWidth, "title width");
    FuzzCheck(!rule.leftTag().empty() && rule.leftTag().size() <= kLeftTagWidth, "left tag width");
    FuzzCheck(rule.rightSide().size() <= kRightSideWidth, "right side width");
    FuzzCheck(rule.treeTitle().size() <= kTreeTitleWidth, "tree title width");
    FuzzCheck(rule.items() == SplitRightSide(rule.rightSide()), "items of the right side");
    for (const std::string& item : rule.items()) {
      FuzzCheck(item.size() <= kRightSideWidth, "item width");
    }
  }

  const std::vector<std::vector<int>> cycles = FindUnaryRuleCycles(ruleSet);
  for (const std::vector<int>& group : cycles) {
    FuzzCheck(!group.empty(), "empty cycle");
    for (int r : group) {
      FuzzCheck(r >= 0 && r < ruleSet.count() && CountRuleItems(ruleSet.rules[r]) == 1,
                "cycle names a rule that is not a one-item rule");
    }
  }
  if (const auto text = DescribeUnaryRuleCycles(ruleSet)) {
    FuzzCheck(!cycles.empty() && IsValidUtf8(*text), "cycle message");
  }
  return 0;
}
