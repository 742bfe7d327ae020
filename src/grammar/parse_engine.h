// The interface of a search that finds every distinct parse of a permutation.
//
// The report builders take engines as parameters, so that a faster search
// can stand in for the literal one; every engine gives the same parses in
// the same order for the same permutation and rules. An engine is made for
// one rule set (which it compiles once, as it needs) and serves one thread
// at a time.
//
// A report never holds a permutation's parses as trees: it asks first how
// many there are (CountDistinctParses, which builds no more trees than a
// limit allows), then has them printed one at a time (PrintDistinctParses).
//
// Stopping: an engine made with a std::stop_token checks it at every parse
// it prints and while it searches (the literal search at every state), and
// throws SearchStopped once a stop is requested. All engines throw
// std::bad_alloc when memory runs out.
#ifndef MARVOLEN_GRAMMAR_PARSE_ENGINE_H_
#define MARVOLEN_GRAMMAR_PARSE_ENGINE_H_

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "grammar/cfg_rule.h"
#include "grammar/parse_count.h"
#include "grammar/parse_tree.h"
#include "grammar/permutation.h"

namespace marvolen {

// The distinct complete parses of one permutation, as root trees (no
// siblings), the most recently completed first.
using ParseList = std::vector<std::unique_ptr<ParseTreeNode>>;

// What a search knows of a permutation's distinct parses before it lists
// them.
struct ParseSummary {
  // How many there are; kManyParses means at least that many.
  std::uint64_t count = 0;
  // Whether two of them have different root labels.
  bool rootsDiffer = false;
};

// Thrown by an engine when the stop it was given is requested.
class SearchStopped : public std::exception {
 public:
  const char* what() const noexcept override { return "the search was stopped"; }
};

// Receives one printed parse: its bracketed text and its root label.
using PrintedParse = std::function<void(std::string_view bracketed, std::string_view rootLabel)>;

// Receives one parse as a tree, valid only during the call.
using VisitedParse = std::function<void(const ParseTreeNode& root)>;

class ParseEngine {
 public:
  virtual ~ParseEngine() = default;

  // Count the distinct parses of the first permutation.currentItemCount
  // items and compare their root labels. When there are at most
  // `listLimit`, PrintDistinctParses can then print them; when there are
  // more, no more trees are built than a fixed budget, however many parses
  // there are.
  virtual ParseSummary CountDistinctParses(const Permutation& permutation,
                                           std::uint64_t listLimit) = 0;

  // Pass the bracketed text (as PrintTree writes it) and the root label of
  // every distinct parse of the permutation last counted, which must have
  // had at most its `listLimit`, to `take`, one at a time in list order.
  // The texts are only valid during the call.
  virtual void PrintDistinctParses(const PrintedParse& take) = 0;

  // Pass every distinct parse of the permutation last counted, which must
  // have had at most its `listLimit`, to `take` as a tree, one at a time in
  // list order: only one tree is held at a time, however many there are.
  virtual void VisitDistinctParses(const VisitedParse& take) = 0;

  // The first `count` distinct parses (all when there are fewer) of the
  // permutation last counted, which must have had at most its `listLimit`,
  // as trees in list order: a drawing of a few of very many parses.
  virtual ParseList FirstDistinctParses(std::size_t count) = 0;

  // Every distinct parse as a tree, in list order. There is no limit: for
  // a permutation that may have very many parses, count them first.
  virtual ParseList FindDistinctParses(const Permutation& permutation) = 0;
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_PARSE_ENGINE_H_
