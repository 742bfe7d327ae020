// Finding where the parses of a permutation part, and which rules compete
// there.
#include "analysis/divergences.h"

#include <algorithm>
#include <iterator>

namespace marvolen {

namespace {

// Append `text` to a key with its length first, so that no two different
// lists of texts make the same key.
void AppendKeyPart(std::string_view text, std::string& key) {
  const std::size_t size = text.size();
  for (int shift = 0; shift < 32; shift += 8) key += static_cast<char>((size >> shift) & 0xFF);
  key += text;
}

// Insert `value` into the ascending `values` unless it is there.
void InsertSorted(std::vector<int>& values, int value) {
  const auto at = std::lower_bound(values.begin(), values.end(), value);
  if (at == values.end() || *at != value) values.insert(at, value);
}

}  // namespace

RuleGroups::RuleGroups(const RuleSet& rules) {
  for (int r = 0; r < rules.count(); ++r) {
    const CfgRule& rule = rules.rules[static_cast<std::size_t>(r)];
    std::string key;
    AppendKeyPart(rule.leftTag(), key);
    AppendKeyPart(rule.treeTitle(), key);
    for (const std::string& item : rule.items()) AppendKeyPart(item, key);
    const auto [at, added] = byKey_.emplace(std::move(key), count());
    if (added) {
      members_.emplace_back();
      titles_.emplace_back();
      std::string text = rule.leftTag() + " ->";
      for (const std::string& item : rule.items()) text += " " + item;
      rules_.push_back(std::move(text));
    }
    const int group = at->second;
    members_[group].push_back(r);
    // Each title once: a rule with alternative words makes several records
    // of one title.
    std::string& titles = titles_[group];
    bool known = false;
    for (const int other : members_[group]) {
      known |= other != r && rules.rules[static_cast<std::size_t>(other)].title() == rule.title();
    }
    if (!known) {
      if (!titles.empty()) titles += '=';
      titles += rule.title();
    }
  }
}

int RuleGroups::GroupOf(const ParseTreeNode& node, std::string& key) const {
  key.clear();
  AppendKeyPart(node.label, key);
  AppendKeyPart(node.title, key);
  for (const ParseTreeNode* child = node.firstChild.get(); child;
       child = child->nextSibling.get()) {
    AppendKeyPart(child->label, key);
  }
  const auto at = byKey_.find(key);
  return at == byKey_.end() ? kNoRuleGroup : at->second;
}

std::string RuleGroups::Titles(int group) const {
  return group >= 0 && group < count() ? titles_[group] : "?";
}

std::string RuleGroups::Describe(int group) const {
  return group >= 0 && group < count() ? titles_[group] + " " + rules_[group] : "?";
}

void DivergenceFinder::Flatten(const ParseTreeNode& node, int& nextLeaf) {
  const int at = static_cast<int>(flat_.size());
  const bool leaf = node.firstChild == nullptr;
  flat_.push_back({&node.label, &node.title, leaf,
                   leaf ? kNoRuleGroup : groups_.GroupOf(node, key_), nextLeaf, nextLeaf, -1, -1,
                   0});
  if (leaf) {
    ++nextLeaf;
  } else {
    int previous = -1;
    for (const ParseTreeNode* child = node.firstChild.get(); child;
         child = child->nextSibling.get()) {
      const int childAt = static_cast<int>(flat_.size());
      Flatten(*child, nextLeaf);
      if (previous < 0) {
        flat_[at].firstChild = childAt;
      } else {
        flat_[previous].nextSibling = childAt;
      }
      previous = childAt;
    }
  }
  flat_[at].end = nextLeaf;
  flat_[at].subtreeEnd = static_cast<int>(flat_.size());
}

void DivergenceFinder::Add(const ParseTreeNode& root) {
  flat_.clear();
  int leaves = 0;
  Flatten(root, leaves);
  if (parses_++ == 0) {
    // The positions of the permutation before are reused, their storage kept.
    skeleton_.resize(flat_.size());
    for (std::size_t k = 0; k < flat_.size(); ++k) {
      const Flat& f = flat_[k];
      Position& p = skeleton_[k];
      p.label = *f.label;
      p.title = *f.title;
      p.leaf = f.leaf;
      p.first = f.first;
      p.end = f.end;
      p.firstChild = f.firstChild;
      p.nextSibling = f.nextSibling;
      p.visits = 0;
      p.point = false;
      p.tops.clear();
      p.belowAny.clear();
      p.belowEvery.clear();
    }
  }
  Visit(0, 0);
}

void DivergenceFinder::Visit(int position, int flat) {
  Position& p = skeleton_[static_cast<std::size_t>(position)];
  const Flat& f = flat_[static_cast<std::size_t>(flat)];
  if (!f.leaf && std::find(p.tops.begin(), p.tops.end(), f.group) == p.tops.end()) {
    p.tops.push_back(f.group);
  }
  // The groups below the node in this parse.
  std::vector<int>& below = below_;  // reused: nothing below reads it
  below.clear();
  for (int k = flat + 1; k < f.subtreeEnd; ++k) {
    if (!flat_[static_cast<std::size_t>(k)].leaf) InsertSorted(below, flat_[k].group);
  }
  if (p.visits++ == 0) {
    p.belowEvery = below;
  } else {
    std::erase_if(p.belowEvery, [&below](int group) {
      return !std::binary_search(below.begin(), below.end(), group);
    });
  }
  for (const int group : below) InsertSorted(p.belowAny, group);
  if (p.point) return;

  // The same local build: label, title, and the children's labels and spans.
  bool same = p.label == *f.label && p.title == *f.title && p.leaf == f.leaf;
  int pc = p.firstChild, fc = f.firstChild;
  while (same && pc >= 0 && fc >= 0) {
    const Position& a = skeleton_[static_cast<std::size_t>(pc)];
    const Flat& b = flat_[static_cast<std::size_t>(fc)];
    same = a.label == *b.label && a.leaf == b.leaf && a.end == b.end;
    pc = a.nextSibling;
    fc = b.nextSibling;
  }
  if (!same || pc >= 0 || fc >= 0) {
    p.point = true;
    return;
  }
  for (pc = p.firstChild, fc = f.firstChild; pc >= 0;
       pc = skeleton_[static_cast<std::size_t>(pc)].nextSibling,
      fc = flat_[static_cast<std::size_t>(fc)].nextSibling) {
    Visit(pc, fc);
  }
}

void DivergenceFinder::Collect(int position, DivergencePoints& out) const {
  const Position& p = skeleton_[static_cast<std::size_t>(position)];
  if (p.point) {
    DivergencePoint point;
    point.first = p.first;
    point.end = p.end;
    point.groups = p.tops;
    if (p.tops.size() <= 1) {
      // One rule over different splits: what the parses use below it in
      // some of them only.
      std::set_difference(p.belowAny.begin(), p.belowAny.end(), p.belowEvery.begin(),
                          p.belowEvery.end(), std::back_inserter(point.groups));
      std::sort(point.groups.begin(), point.groups.end());
      point.groups.erase(std::unique(point.groups.begin(), point.groups.end()), point.groups.end());
    }
    out.push_back(std::move(point));
    return;
  }
  for (int c = p.firstChild; c >= 0; c = skeleton_[static_cast<std::size_t>(c)].nextSibling) {
    Collect(c, out);
  }
}

DivergencePoints DivergenceFinder::Finish() {
  DivergencePoints points;
  if (parses_ >= 2) Collect(0, points);
  parses_ = 0;
  return points;
}

namespace {

void AppendSpanned(const ParseTreeNode& node, int& nextLeaf, std::vector<SpannedNode>& out) {
  const std::size_t at = out.size();
  out.push_back({&node, nextLeaf, nextLeaf, 0});
  if (node.firstChild == nullptr) ++nextLeaf;
  for (const ParseTreeNode* child = node.firstChild.get(); child; child = child->nextSibling.get())
    AppendSpanned(*child, nextLeaf, out);
  out[at].end = nextLeaf;
  out[at].subtreeEnd = static_cast<int>(out.size());
}

}  // namespace

std::vector<SpannedNode> SpannedNodes(const ParseTreeNode& root) {
  std::vector<SpannedNode> nodes;
  int leaves = 0;
  AppendSpanned(root, leaves, nodes);
  return nodes;
}

std::vector<int> PointNodes(const std::vector<SpannedNode>& nodes, const DivergencePoints& points,
                            const RuleGroups& groups) {
  std::vector<int> result;
  for (const DivergencePoint& point : points) {
    int found = -1, fallback = -1;
    for (std::size_t i = 0; i < nodes.size() && found < 0; ++i) {
      if (nodes[i].first != point.first || nodes[i].end != point.end) continue;
      if (fallback < 0) fallback = static_cast<int>(i);
      if (nodes[i].node->firstChild != nullptr &&
          std::find(point.groups.begin(), point.groups.end(), groups.GroupOf(*nodes[i].node)) !=
              point.groups.end())
        found = static_cast<int>(i);
    }
    result.push_back(found >= 0 ? found : fallback);
  }
  return result;
}

std::vector<int> PointNodes(const ParseTreeNode& root, const DivergencePoints& points,
                            const RuleGroups& groups) {
  return PointNodes(SpannedNodes(root), points, groups);
}

std::vector<bool> PointMarks(const ParseTreeNode& root, const DivergencePoints& points,
                             const RuleGroups& groups) {
  const std::vector<SpannedNode> nodes = SpannedNodes(root);
  std::vector<bool> marks(nodes.size(), false);
  for (const int node : PointNodes(nodes, points, groups))
    if (node >= 0) marks[static_cast<std::size_t>(node)] = true;
  return marks;
}

DivergencePoints FindDivergences(const ParseList& parses, const RuleGroups& groups) {
  DivergenceFinder finder(groups);
  for (const auto& parse : parses) finder.Add(*parse);
  return finder.Finish();
}

DivergencePoints FindDivergences(ParseEngine& engine, PermutationClass judgement,
                                 DivergenceFinder& finder) {
  if (judgement != PermutationClass::Overt && judgement != PermutationClass::Covert) return {};
  engine.VisitDistinctParses([&finder](const ParseTreeNode& root) { finder.Add(root); });
  return finder.Finish();
}

DivergencePoints FindDivergences(ParseEngine& engine, PermutationClass judgement,
                                 const RuleGroups& groups) {
  DivergenceFinder finder(groups);
  return FindDivergences(engine, judgement, finder);
}

std::string SpanText(const DivergencePoint& point) {
  return std::to_string(point.first + 1) + "-" + std::to_string(point.end);
}

std::string ShortDivergences(const DivergencePoints& points, const RuleGroups& groups) {
  std::string text;
  for (const DivergencePoint& point : points) {
    if (!text.empty()) text += ' ';
    text += SpanText(point);
    text += ':';
    for (std::size_t g = 0; g < point.groups.size(); ++g) {
      if (g > 0) text += '|';
      text += groups.Titles(point.groups[g]);
    }
  }
  return text;
}

std::string CompetingRules(const DivergencePoint& point, const RuleGroups& groups) {
  std::string text;
  for (std::size_t g = 0; g < point.groups.size(); ++g) {
    if (g > 0) text += " | ";
    text += groups.Describe(point.groups[g]);
  }
  return text;
}

void AmbiguitySources::Add(std::int64_t number, PermutationClass judgement, std::uint64_t degree,
                           const DivergencePoints& points) {
  for (std::size_t k = 0; k < points.size(); ++k) {
    bool counted = false;
    for (std::size_t j = 0; j < k; ++j) {
      counted |= std::is_permutation(points[j].groups.begin(), points[j].groups.end(),
                                     points[k].groups.begin(), points[k].groups.end());
    }
    if (counted) continue;
    std::vector<int> key = points[k].groups;
    std::sort(key.begin(), key.end());
    auto [at, added] = sources_.try_emplace(key);
    Source& source = at->second;
    if (added) {
      source.groups = std::move(key);
      source.firstSeen = number;
    }
    if (judgement == PermutationClass::Overt) {
      ++source.overt;
    } else {
      ++source.covert;
    }
    source.degreeSum += static_cast<double>(degree);
    if (source.examples.size() < kExamples) source.examples.push_back(number);
  }
}

std::vector<AmbiguitySources::Source> AmbiguitySources::Ranked() const {
  std::vector<Source> ranked;
  ranked.reserve(sources_.size());
  for (const auto& entry : sources_) ranked.push_back(entry.second);
  std::sort(ranked.begin(), ranked.end(), [](const Source& a, const Source& b) {
    return a.count() != b.count() ? a.count() > b.count() : a.firstSeen < b.firstSeen;
  });
  return ranked;
}

}  // namespace marvolen
