// Rules of the grammar: splitting right sides into items.
#include "grammar/cfg_rule.h"

#include <algorithm>

namespace marvolen {

namespace {

bool IsRightSideSeparator(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

CfgRule::CfgRule(std::string title, std::string leftTag, std::string rightSide,
                 std::string treeTitle)
    : title_(std::move(title)),
      leftTag_(std::move(leftTag)),
      rightSide_(std::move(rightSide)),
      treeTitle_(std::move(treeTitle)),
      items_(SplitRightSide(rightSide_)) {}

std::vector<std::string> SplitRightSide(std::string_view rightSide) {
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i < rightSide.size()) {
    while (i < rightSide.size() && IsRightSideSeparator(rightSide[i])) ++i;
    const std::size_t start = i;
    while (i < rightSide.size() && !IsRightSideSeparator(rightSide[i])) ++i;
    if (i > start) items.emplace_back(rightSide.substr(start, i - start));
  }
  return items;
}

std::string_view RuleItemAt(const CfgRule& rule, int j) {
  if (j < 1 || j > static_cast<int>(rule.items().size())) return {};
  return rule.items()[j - 1];
}

int CountRuleItems(const CfgRule& rule) {
  return std::min<int>(5, static_cast<int>(rule.items().size()));
}

}  // namespace marvolen
