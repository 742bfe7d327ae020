// The interface of a search that finds every distinct parse of a permutation.
//
// The report builders take an engine as a parameter, so that a faster search
// can stand in for the literal one; every engine returns the same list for
// the same permutation and rules.
#ifndef MARVOLEN_GRAMMAR_PARSE_ENGINE_H_
#define MARVOLEN_GRAMMAR_PARSE_ENGINE_H_

#include <memory>
#include <vector>

#include "grammar/cfg_rule.h"
#include "grammar/parse_tree.h"
#include "grammar/permutation.h"

namespace marvolen {

// The distinct complete parses of one permutation, as root trees (no
// siblings), the most recently completed first.
using ParseList = std::vector<std::unique_ptr<ParseTreeNode>>;

class ParseEngine {
 public:
  virtual ~ParseEngine() = default;

  // Every distinct parse of the first permutation.currentItemCount items
  // under `rules`. Throws std::bad_alloc when memory runs out.
  virtual ParseList FindDistinctParses(const Permutation& permutation,
                                       const RuleSet& rules) = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PARSE_ENGINE_H_
