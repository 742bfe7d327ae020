// Reading the rules file.
//
// The file is "CFGRuleSetBegin", then rules, then "CFGRuleSetEnd". A rule is
//   && <skipped> title <skipped> leftTag -> items end
// where an item is an optional "!" (dropped), a tag and optionally a bracketed
// word "<" word {"|" alternative} closing-token, and the end is either "&&"
// or "::", four skipped tokens and the tree title (or "~" and the tree title).
// A rule with bracketed words makes one record per combination of words.
#include "datafiles/rule_set_reader.h"

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "datafiles/lexer.h"
#include "grammar/permutation.h"
#include "platform/gbk.h"

namespace marvolen {

namespace {

constexpr char kFormatError[] = "Format Error in Rules_File file       ";
constexpr char kTitleError[] = "the title of rules must be a identifier!       ";
constexpr char kLeftTagError[] = "the left tag of rules must be a identifier!       ";
constexpr char kInvalidFormat[] = "Invalid Rules_File format!       ";

// One right-side item as written: its tag and, for a bracketed item, its
// words (the word itself, then its alternatives in file order) and the text
// of its closing token.
struct RuleItem {
  std::string tag;
  bool bracketed = false;
  std::vector<std::string> words;
  std::string closing;

  // The item as it stands in a right side, with its word number `w`.
  std::string Text(std::size_t w) const {
    return bracketed ? tag + "<" + words[w] + closing : tag;
  }
};

// A rule as read, before it is turned into records.
struct ParsedRule {
  std::string title;
  std::string leftTag;
  std::vector<RuleItem> items;
  std::string treeTitle;
};

// The right side of one record: every item followed by a blank, a bracketed
// item by two. `choice` holds the word number of each bracketed item.
std::string BuildRightSide(const std::vector<RuleItem>& items,
                           const std::vector<std::size_t>& choice) {
  std::string rightSide;
  std::size_t b = 0;
  for (const RuleItem& item : items) {
    if (item.bracketed) {
      rightSide += item.Text(choice[b++]);
      rightSide += ' ';
    } else {
      rightSide += item.tag;
    }
    rightSide += ' ';
  }
  return rightSide;
}

// Reads the rules, keeping the one token that the format works on. Every
// method that returns bool returns false after it has shown the message that
// ends the reader.
class RuleSetReader {
 public:
  RuleSetReader(RuleSet& ruleSet, InputStream& in, UserInterface& ui)
      : ruleSet_(ruleSet), in_(in), ui_(ui) {}

  void Read();

 private:
  // Read the next token; at the end of input show `message` and fail.
  bool Next(const char* message) {
    if (GetToken(in_, token_) >= 0) return true;
    return Fail(message);
  }

  bool Fail(const std::string& message) {
    ui_.ShowMessage(message);
    return false;
  }

  // Fail with "<what> longer than <width> bytes in Rules_File: <text>" when
  // `text` does not fit its field.
  bool CheckWidth(const std::string& text, std::size_t width, const char* what) {
    if (text.size() <= width) return true;
    return Fail(std::string(what) + " longer than " + std::to_string(width) +
                " bytes in Rules_File: " + GbkToUtf8(text));
  }

  // Read one rule starting at its "&&" (the current token); on return the
  // current token is the one that ended it ("&&", or the tree title).
  bool ReadRule(ParsedRule& rule);
  // Read the items of the right side up to the "&&" or "::" that ends it.
  bool ReadRightSide(std::vector<RuleItem>& items);
  // Read a bracketed word after its "<" (the current token); the token after
  // the closing token is current on return.
  bool ReadBracketedWord(RuleItem& item);
  // Store one record per combination of the rule's words, or none.
  bool StoreRecords(const ParsedRule& rule);

  RuleSet& ruleSet_;
  InputStream& in_;
  UserInterface& ui_;
  Token token_;
};

void RuleSetReader::Read() {
  if (GetToken(in_, token_) < 0 || token_.text != "CFGRuleSetBegin") {
    Fail("Invalid Rules_File format!    ");
    return;
  }
  ruleSet_.rules.reserve(RuleSet::kCapacity);
  if (!Next(kFormatError)) return;
  if (token_.text == "CFGRuleSetEnd") {
    Fail("No Rules in Rules_File file!       ");
    return;
  }
  for (;;) {
    ParsedRule rule;
    if (!ReadRule(rule) || !StoreRecords(rule)) return;
    if (!Next(kFormatError)) return;
    if (token_.text == "CFGRuleSetEnd") return;
  }
}

bool RuleSetReader::ReadRule(ParsedRule& rule) {
  if (token_.kind != AndAnd) return Fail(kFormatError);

  if (!Next(kTitleError) || !Next(kTitleError)) return false;
  if (token_.kind != Identifier) return Fail(kTitleError);
  rule.title = token_.text;
  if (!CheckWidth(rule.title, kTitleWidth, "Title")) return false;

  if (!Next(kLeftTagError) || !Next(kLeftTagError)) return false;
  if (token_.kind != Identifier) return Fail(kLeftTagError);
  rule.leftTag = token_.text;
  if (!CheckWidth(rule.leftTag, kLeftTagWidth, "Left tag")) return false;

  if (!Next(kInvalidFormat)) return false;
  if (token_.kind != Arrow) return Fail(kInvalidFormat);

  if (!ReadRightSide(rule.items)) return false;

  if (token_.kind == ColonColon) {
    for (int i = 0; i < 5; ++i) {
      if (!Next(kInvalidFormat)) return false;
    }
    if (token_.kind == Tilde && !Next(kInvalidFormat)) return false;
    rule.treeTitle = token_.text;
    if (!CheckWidth(rule.treeTitle, kTreeTitleWidth, "Tree title")) return false;
  }
  return true;
}

bool RuleSetReader::ReadRightSide(std::vector<RuleItem>& items) {
  if (!Next(kInvalidFormat)) return false;
  while (token_.kind != AndAnd && token_.kind != ColonColon) {
    if (token_.kind == Bang && !Next(kInvalidFormat)) return false;
    if (token_.kind != Identifier) return Fail(kInvalidFormat);
    RuleItem item;
    item.tag = token_.text;
    if (!Next(kInvalidFormat)) return false;
    if (token_.kind == LeftAngle && !ReadBracketedWord(item)) return false;
    if (!item.bracketed && !CheckWidth(item.tag, kItemWidth, "Item")) return false;
    items.push_back(std::move(item));
  }
  return true;
}

bool RuleSetReader::ReadBracketedWord(RuleItem& item) {
  item.bracketed = true;
  if (!Next(kInvalidFormat)) return false;
  item.words.push_back(token_.text);
  if (!Next(kInvalidFormat)) return false;
  while (token_.kind == Bar) {
    if (!Next(kInvalidFormat)) return false;
    item.words.push_back(token_.text);
    if (!Next(kInvalidFormat)) return false;
  }
  item.closing = token_.text;
  for (std::size_t w = 0; w < item.words.size(); ++w) {
    if (!CheckWidth(item.Text(w), kItemWidth, "Item")) return false;
  }
  return Next(kInvalidFormat);
}

bool RuleSetReader::StoreRecords(const ParsedRule& rule) {
  // The number of records is the product of the word counts; stop counting
  // once it is past what the table can hold.
  std::size_t records = 1;
  for (const RuleItem& item : rule.items) {
    if (!item.bracketed) continue;
    records *= item.words.size();
    if (records > RuleSet::kCapacity) break;
  }
  if (ruleSet_.rules.size() + records > RuleSet::kCapacity) {
    return Fail("Too many rules in Rules_File ... ");
  }

  // Odometer over the bracketed items, the last one changing fastest, so
  // that the first record is the rule as written.
  std::vector<const RuleItem*> bracketed;
  for (const RuleItem& item : rule.items) {
    if (item.bracketed) bracketed.push_back(&item);
  }
  std::vector<std::size_t> choice(bracketed.size(), 0);
  std::vector<CfgRule> made;
  made.reserve(records);
  for (;;) {
    std::string rightSide = BuildRightSide(rule.items, choice);
    if (!CheckWidth(rightSide, kRightSideWidth, "Right side")) return false;
    made.emplace_back(rule.title, rule.leftTag, std::move(rightSide), rule.treeTitle);
    std::size_t b = choice.size();
    while (b > 0 && ++choice[b - 1] == bracketed[b - 1]->words.size()) {
      choice[--b] = 0;
    }
    if (b == 0) break;
  }
  // The table's room was reserved up front, so moving the records in cannot
  // fail half-way.
  for (CfgRule& record : made) ruleSet_.rules.push_back(std::move(record));
  return true;
}

}  // namespace

void ReadRuleSet(RuleSet& ruleSet, InputStream& in, UserInterface& ui) {
  ruleSet.rules.clear();
  try {
    RuleSetReader(ruleSet, in, ui).Read();
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(" Memory allocation error!    ");
  }
}

}  // namespace marvolen
