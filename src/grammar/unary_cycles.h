// Checking a rule set for one-item rules that form a cycle (X -> X, or
// X -> Y and Y -> X, ...), with which a symbol could be rewritten forever.
#ifndef MARVOLEN_GRAMMAR_UNARY_CYCLES_H_
#define MARVOLEN_GRAMMAR_UNARY_CYCLES_H_

#include <optional>
#include <string>
#include <vector>

#include "grammar/cfg_rule.h"

namespace marvolen {

// The groups of one-item rules that lie on a cycle: each group holds the
// indexes (into rules.rules, ascending) of the one-item rules whose left tag
// and item rewrite into each other. Groups are ordered by their first rule.
std::vector<std::vector<int>> FindUnaryRuleCycles(const RuleSet& rules);

// One message (UTF-8) naming the rules of every cycle by title, left tag and
// right side, or nothing when there is no cycle.
std::optional<std::string> DescribeUnaryRuleCycles(const RuleSet& rules);

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_UNARY_CYCLES_H_
