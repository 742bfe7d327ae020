// Finding cycles of one-item rules: the strongly connected components of the
// graph whose vertices are the tags and whose edges are the one-item rules.
#include "grammar/unary_cycles.h"

#include <algorithm>
#include <functional>
#include <map>
#include <string_view>

#include "encoding/gbk.h"

namespace marvolen {

namespace {

// Tarjan's algorithm over a small graph given by adjacency lists; returns the
// component number of every vertex.
std::vector<int> StronglyConnectedComponents(const std::vector<std::vector<int>>& edges) {
  const int n = static_cast<int>(edges.size());
  std::vector<int> index(n, -1), low(n, 0), component(n, -1);
  std::vector<bool> onStack(n, false);
  std::vector<int> stack;
  int nextIndex = 0, nextComponent = 0;

  std::function<void(int)> visit = [&](int v) {
    index[v] = low[v] = nextIndex++;
    stack.push_back(v);
    onStack[v] = true;
    for (int w : edges[v]) {
      if (index[w] < 0) {
        visit(w);
        low[v] = std::min(low[v], low[w]);
      } else if (onStack[w]) {
        low[v] = std::min(low[v], index[w]);
      }
    }
    if (low[v] == index[v]) {
      int w;
      do {
        w = stack.back();
        stack.pop_back();
        onStack[w] = false;
        component[w] = nextComponent;
      } while (w != v);
      ++nextComponent;
    }
  };
  for (int v = 0; v < n; ++v) {
    if (index[v] < 0) visit(v);
  }
  return component;
}

}  // namespace

std::vector<std::vector<int>> FindUnaryRuleCycles(const RuleSet& rules) {
  std::map<std::string_view, int> vertexOf;
  auto vertex = [&](std::string_view tag) {
    return vertexOf.emplace(tag, static_cast<int>(vertexOf.size())).first->second;
  };
  struct Edge {
    int rule, from, to;
  };
  std::vector<Edge> unary;
  for (int i = 0; i < rules.count(); ++i) {
    const CfgRule& rule = rules.rules[i];
    if (CountRuleItems(rule) != 1) continue;
    // Applying the rule turns a symbol labelled with its item into its left tag.
    const int from = vertex(RuleItemAt(rule, 1));
    const int to = vertex(rule.leftTag());
    unary.push_back({i, from, to});
  }
  std::vector<std::vector<int>> edges(vertexOf.size());
  for (const Edge& e : unary) edges[e.from].push_back(e.to);
  const std::vector<int> component = StronglyConnectedComponents(edges);

  // A rule lies on a cycle when both its ends are in one component (a rule
  // whose item is its own left tag included).
  std::map<int, std::vector<int>> groupOfComponent;
  std::vector<int> order;  // components in the order of their first rule
  for (const Edge& e : unary) {
    if (component[e.from] != component[e.to]) continue;
    auto [it, added] = groupOfComponent.try_emplace(component[e.from]);
    if (added) order.push_back(component[e.from]);
    it->second.push_back(e.rule);
  }
  std::vector<std::vector<int>> groups;
  for (int c : order) groups.push_back(std::move(groupOfComponent[c]));
  return groups;
}

std::optional<std::string> DescribeUnaryRuleCycles(const RuleSet& rules) {
  const std::vector<std::vector<int>> groups = FindUnaryRuleCycles(rules);
  if (groups.empty()) return std::nullopt;
  std::string text = groups.size() == 1 ? "One-item rules in Rules_File form a cycle:\n"
                                        : "One-item rules in Rules_File form " +
                                              std::to_string(groups.size()) + " cycles:\n";
  for (const std::vector<int>& group : groups) {
    text += " ";
    for (std::size_t k = 0; k < group.size(); ++k) {
      const CfgRule& rule = rules.rules[group[k]];
      text += k == 0 ? " " : ", ";
      text += "[" + GbkToUtf8(rule.title()) + "] " + GbkToUtf8(rule.leftTag()) + " -> " +
              GbkToUtf8(RuleItemAt(rule, 1));
    }
    text += "\n";
  }
  text +=
      "To keep the analysis finite, a one-item rule is not applied to a phrase whose chain of "
      "one-item rules already holds its left tag.";
  return text;
}

}  // namespace marvolen
