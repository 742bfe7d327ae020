// Helpers shared by the search tests: rule sets written as left tag, right
// side and tree title; permutations from a list of items; parse lists as
// their bracketed texts.
#ifndef MARVOLEN_GRAMMAR_SEARCH_TEST_UTIL_H_
#define MARVOLEN_GRAMMAR_SEARCH_TEST_UTIL_H_

#include <string>
#include <vector>

#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "grammar/parse_tree.h"
#include "grammar/permutation.h"

namespace marvolen {
namespace search_testing {

struct R {
  std::string left, right, tree;
};

// Rules titled R1, R2, ... in the given order.
inline RuleSet Rules(const std::vector<R>& rules) {
  RuleSet set;
  for (std::size_t i = 0; i < rules.size(); ++i) {
    set.rules.emplace_back("R" + std::to_string(i + 1), rules[i].left, rules[i].right,
                           rules[i].tree);
  }
  return set;
}

inline Permutation Items(const std::vector<std::string>& items) {
  Permutation p;
  for (std::size_t k = 0; k < items.size(); ++k) p.items[k] = items[k];
  p.currentItemCount = static_cast<int>(items.size());
  return p;
}

inline std::vector<std::string> Print(const ParseList& parses) {
  std::vector<std::string> texts;
  for (const auto& tree : parses) {
    std::string text;
    PrintTree(tree.get(), text);
    texts.push_back(text);
  }
  return texts;
}

}  // namespace search_testing
}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_SEARCH_TEST_UTIL_H_
