// Why a permutation is ambiguous: the divergence points of its parses, the
// rules that compete at each, and the sources of ambiguity of a report.
//
// Definitions (items numbered from 0 here, from 1 where they are shown):
//
// - The node of a tree over the items [first, end) has its local build: its
//   label, its title, and its children's labels and spans. Nodes with the
//   same local build were made by the same rule over the same split.
// - Rules that a tree cannot tell apart (the same left tag, right side and
//   tree title) build equal nodes; they form one rule group, named by all
//   their titles. A node belongs to the group whose left tag is its label,
//   whose tree title is its title and whose right side is its children's
//   labels.
// - Divergence points of the parses P (two or more) of one permutation:
//   start at the roots. At a position reached, when every parse has the
//   same local build there, go on into each child position (the parses
//   agree on the children's spans, so each child is at the same place in
//   every parse); when some parse differs, the span of the position is a
//   divergence point and nothing below it is looked at. So a point is a
//   smallest span, that of a node, over which the parses' subtrees differ,
//   everything outside the points is shared by every parse, and the points'
//   spans are disjoint (they are children of shared nodes, or the root).
//   Two parses always differ somewhere (they are distinct), so an ambiguous
//   permutation has at least one point; a permutation with one parse or
//   none has none. Independent ambiguous regions give one point each, and
//   when the parses are every combination of their readings, the numbers of
//   readings multiply to the degree.
// - The competing rules of a point: the groups of the nodes at the point
//   (the top of the span) in the different parses, in the order of the
//   first parse (in list order) that has each. When all of them are the
//   same group (one rule over different splits), the groups used below the
//   top in some of the parses and not in all are added, ascending. An item that stands
//   as a parse's top (a lone item as a whole parse) is no rule and adds none.
//
// The parses come one at a time (DivergenceFinder), so that memory grows
// with the size of one tree, not with the number of parses.
#ifndef MARVOLEN_ANALYSIS_DIVERGENCES_H_
#define MARVOLEN_ANALYSIS_DIVERGENCES_H_

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "analysis/permutation_class.h"
#include "grammar/cfg_rule.h"
#include "grammar/parse_engine.h"
#include "grammar/parse_tree.h"

namespace marvolen {

// A rule group's number (from 0, in the order of the groups' first rules),
// or kNoRuleGroup for a node that no rule of the set builds.
inline constexpr int kNoRuleGroup = -1;

// The rules of a rule set by their groups of rules a tree cannot tell apart.
// Immutable once made; may be read from several threads at once.
class RuleGroups {
 public:
  explicit RuleGroups(const RuleSet& rules);

  // The group that builds `node` (not a leaf), or kNoRuleGroup.
  int GroupOf(const ParseTreeNode& node) const {
    std::string key;
    return GroupOf(node, key);
  }
  // The same, the look-up's key made in `key`, whose memory is reused.
  int GroupOf(const ParseTreeNode& node, std::string& key) const;

  int count() const { return static_cast<int>(members_.size()); }
  // The table indexes of the group's rules, ascending.
  const std::vector<int>& Members(int group) const { return members_[group]; }

  // The group's titles joined by "=", each title once (GBK): "R07", or
  // "R07=R50" for two rules that build equal nodes; "?" for kNoRuleGroup.
  std::string Titles(int group) const;
  // Titles, then " LEFT -> RIGHT" (GBK): "R07 NP -> n NP".
  std::string Describe(int group) const;

 private:
  std::vector<std::vector<int>> members_;
  std::vector<std::string> titles_, rules_;
  std::unordered_map<std::string, int> byKey_;
};

// One divergence point.
struct DivergencePoint {
  int first = 0;  // the first item of the span, from 0
  int end = 0;    // one past its last item
  // The competing rule groups, as in the definition above.
  std::vector<int> groups;

  bool operator==(const DivergencePoint&) const = default;
};

using DivergencePoints = std::vector<DivergencePoint>;

// Finds the divergence points of one permutation's parses, given one at a
// time. Reusable: Finish starts it afresh.
class DivergenceFinder {
 public:
  explicit DivergenceFinder(const RuleGroups& groups) : groups_(groups) {}

  // One parse (a root without siblings), over the same items as the others.
  void Add(const ParseTreeNode& root);
  // The points, by their spans from left to right; none for fewer than two
  // parses.
  DivergencePoints Finish();

 private:
  // A node of the parse being added, in preorder; its subtree is the nodes
  // [index, subtreeEnd).
  struct Flat {
    const std::string* label;
    const std::string* title;
    bool leaf;
    int group;  // kNoRuleGroup for a leaf
    int first, end;
    int firstChild, nextSibling;  // -1 for none
    int subtreeEnd;
  };

  // A position of the first parse, with what every parse has there so far.
  struct Position {
    std::string label, title;
    bool leaf;
    int first, end;
    int firstChild, nextSibling;
    int visits = 0;               // parses that came here
    bool point = false;           // some parse differs in its local build
    std::vector<int> tops;        // the groups of the nodes here, as met
    std::vector<int> belowAny;    // groups used below the node in some parse
    std::vector<int> belowEvery;  // ... and in every parse that came here
  };

  void Flatten(const ParseTreeNode& node, int& nextLeaf);
  void Visit(int position, int flat);
  void Collect(int position, DivergencePoints& out) const;

  const RuleGroups& groups_;
  int parses_ = 0;
  std::vector<Flat> flat_;          // the parse being added, in preorder
  std::vector<Position> skeleton_;  // the first parse's positions
  std::vector<int> below_;          // the groups below one node, as met
  std::string key_;                 // for RuleGroups::GroupOf
};

// The points of a list of parses (a convenience for whole lists).
DivergencePoints FindDivergences(const ParseList& parses, const RuleGroups& groups);

// A node of a parse in preorder, with the items it covers, [first, end),
// and the end of its subtree in preorder.
struct SpannedNode {
  const ParseTreeNode* node;
  int first, end, subtreeEnd;
};
std::vector<SpannedNode> SpannedNodes(const ParseTreeNode& root);

// The node (in preorder) at the top of each of `points` in the parse
// `root`: the first node over the point's span built by one of its rules,
// else the first node over its span; -1 when there is none.
std::vector<int> PointNodes(const std::vector<SpannedNode>& nodes, const DivergencePoints& points,
                            const RuleGroups& groups);
std::vector<int> PointNodes(const ParseTreeNode& root, const DivergencePoints& points,
                            const RuleGroups& groups);
// The same as one mark per node in preorder, true at the points' tops.
std::vector<bool> PointMarks(const ParseTreeNode& root, const DivergencePoints& points,
                             const RuleGroups& groups);

// The points of the permutation `engine` counted last (listed, with its
// parses visited one at a time); none unless it is ambiguous.
DivergencePoints FindDivergences(ParseEngine& engine, PermutationClass judgement,
                                 const RuleGroups& groups);
// The same with a finder of one's own, reused from one permutation to the
// next.
DivergencePoints FindDivergences(ParseEngine& engine, PermutationClass judgement,
                                 DivergenceFinder& finder);

// "1-3" (items from 1): the point's span as shown.
std::string SpanText(const DivergencePoint& point);

// The short form of the points (GBK): each "1-3:R07|R08" (groups by their
// titles, "|" between two), one blank between two points; empty for none.
std::string ShortDivergences(const DivergencePoints& points, const RuleGroups& groups);

// The long form of one point's rules (GBK): "R07 NP -> n NP | R08 NP -> NP n".
std::string CompetingRules(const DivergencePoint& point, const RuleGroups& groups);

// The sources of ambiguity of a report: for each set of competing rules
// met at some point, the ambiguous permutations with a point of that set.
// Memory grows with the number of distinct sets, not with the report.
class AmbiguitySources {
 public:
  static constexpr int kExamples = 3;

  struct Source {
    std::vector<int> groups;  // the competing rule groups, ascending
    std::int64_t overt = 0;   // permutations with such a point, by judgement
    std::int64_t covert = 0;
    double degreeSum = 0;  // of their parse counts
    std::int64_t firstSeen = 0;
    std::vector<std::int64_t> examples;  // the first kExamples, by number

    std::int64_t count() const { return overt + covert; }
    double AverageDegree() const { return count() > 0 ? degreeSum / count() : 0; }
  };

  // One ambiguous permutation (`number` in report order) with its points; a
  // set met at several of its points counts once.
  void Add(std::int64_t number, PermutationClass judgement, std::uint64_t degree,
           const DivergencePoints& points);

  // The sources, the most permutations first, equal counts in the order
  // they were first met.
  std::vector<Source> Ranked() const;
  bool empty() const { return sources_.empty(); }

 private:
  std::map<std::vector<int>, Source> sources_;
};

}  // namespace marvolen

#endif  // MARVOLEN_ANALYSIS_DIVERGENCES_H_
