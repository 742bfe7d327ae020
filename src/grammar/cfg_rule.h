// Rules of the context-free grammar and the table that holds them.
//
// A CfgRule is an immutable value: its right side is split into items once,
// when the rule is made, so the search never re-scans the text.
#ifndef MARVOLEN_GRAMMAR_CFG_RULE_H_
#define MARVOLEN_GRAMMAR_CFG_RULE_H_

#include <string>
#include <string_view>
#include <vector>

namespace marvolen {

// Field widths of a rule record, in bytes of text (GBK).
inline constexpr std::size_t kTitleWidth = 9;
inline constexpr std::size_t kLeftTagWidth = 4;
inline constexpr std::size_t kRightSideWidth = 79;
inline constexpr std::size_t kTreeTitleWidth = 24;

class CfgRule {
 public:
  CfgRule() = default;
  CfgRule(std::string title, std::string leftTag, std::string rightSide, std::string treeTitle);

  const std::string& title() const { return title_; }
  const std::string& leftTag() const { return leftTag_; }
  // The right-side items as one text, each item followed by a blank (a
  // bracketed item by two).
  const std::string& rightSide() const { return rightSide_; }
  const std::string& treeTitle() const { return treeTitle_; }
  // The right side's items: the runs of non-blank bytes, in order (all of
  // them, not only the first five).
  const std::vector<std::string>& items() const { return items_; }

 private:
  std::string title_;
  std::string leftTag_;
  std::string rightSide_;
  std::string treeTitle_;
  std::vector<std::string> items_;
};

// Split a right-side text into items. Separators are the ASCII white-space
// bytes (blank, tab, LF, VT, FF, CR); a byte of 0x80 or more never is one.
std::vector<std::string> SplitRightSide(std::string_view rightSide);

// The j-th item (counted from 1) of the rule's right side, or the empty text
// when it has fewer than j items.
std::string_view RuleItemAt(const CfgRule& rule, int j);

// The number of items of the rule's right side, counting at most five.
int CountRuleItems(const CfgRule& rule);

// The rule table of one run: at most 300 records, in file order.
struct RuleSet {
  static constexpr int kCapacity = 300;
  std::vector<CfgRule> rules;
  // The line of each record's rule in its file (the line of its "&&"), by
  // record, when the table was read from a file; empty otherwise.
  std::vector<int> lines;
  int count() const { return static_cast<int>(rules.size()); }
  // The line of record k, or 0 when not known.
  int LineOf(int k) const {
    return k >= 0 && k < static_cast<int>(lines.size()) ? lines[static_cast<std::size_t>(k)] : 0;
  }
};

}  // namespace marvolen

#endif  // MARVOLEN_GRAMMAR_CFG_RULE_H_
