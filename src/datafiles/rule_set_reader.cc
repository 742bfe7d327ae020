// Reading the rules file.
//
// The file is "CFGRuleSetBegin", then rules, then "CFGRuleSetEnd". A rule is
//   && <skipped> title <skipped> leftTag -> items end
// where an item is an optional "!" (dropped), a tag and optionally a bracketed
// word "<" word {"|" alternative} closing-token, and the end is either "&&"
// or "::", four skipped tokens and the tree title (or "~" and the tree title).
// A rule with bracketed words makes one record per combination of words.
//
// Nothing here grows with the input: once a rule is known to be refused
// (its right side longer than the field, or more records than the table
// holds) the reader goes on reading and checking its tokens, so that the
// message is the one the whole rule earns, but keeps only what that message
// quotes.
#include "datafiles/rule_set_reader.h"

#include <algorithm>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "datafiles/lexer.h"
#include "encoding/gbk.h"
#include "grammar/permutation.h"

namespace marvolen {

namespace {

constexpr char kFormatError[] = "Format Error in Rules_File file       ";
constexpr char kTitleError[] = "the title of rules must be a identifier!       ";
constexpr char kLeftTagError[] = "the left tag of rules must be a identifier!       ";
constexpr char kInvalidFormat[] = "Invalid Rules_File format!       ";

// The most records a rule is counted to make: one more than the table holds.
constexpr std::size_t kTooManyRecords = RuleSet::kCapacity + 1;

static_assert(kTokenKeep > kRightSideWidth, "a cut token must never fit a field");

// One right-side item as written: its tag and, for a bracketed item, its
// words (the word itself, then its alternatives in file order) and the text
// of its closing token.
struct RuleItem {
  std::string tag;
  bool bracketed = false;
  std::vector<std::string> words;  // all of them, or the first alone (below)
  std::size_t wordCount = 0;       // of the words as written
  std::string closing;
  int line = 0;  // of its tag

  // The item as it stands in a right side, with `word` in its brackets.
  std::string TextWith(std::string_view word) const {
    return bracketed ? tag + "<" + std::string(word) + closing : tag;
  }
  // The same with its word number `w`.
  std::string Text(std::size_t w) const { return bracketed ? TextWith(words[w]) : tag; }
};

// A rule as read, before it is turned into records.
struct ParsedRule {
  int line = 0;  // of its "&&"
  std::string title;
  std::string leftTag;
  // The items: all of them, or, when the rule as written is longer than a
  // right side can be, those up to the one that makes it too long.
  std::vector<RuleItem> items;
  // The records the rule makes (the product of the word counts), counted up
  // to kTooManyRecords. With more than the table holds, the items keep their
  // first words alone.
  std::size_t records = 1;
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
    return Fail(message, 0);
  }

  // Show `message` as about the text on `line`; 0 leaves the line to the
  // caller's stream (the end of input, for an unfinished rule).
  bool Fail(const std::string& message, int line) {
    ui_.ShowMessageAt(message, {{}, line});
    return false;
  }
  // A message about the current token.
  bool Fail(const std::string& message) { return Fail(message, token_.line); }

  // Fail with "<what> longer than <width> bytes in Rules_File: <text>" when
  // `text`, written on `line`, does not fit its field.
  bool CheckWidth(const std::string& text, std::size_t width, const char* what, int line) {
    if (text.size() <= width) return true;
    return Fail(std::string(what) + " longer than " + std::to_string(width) +
                    " bytes in Rules_File: " + GbkForMessage(text),
                line);
  }

  // Read one rule starting at its "&&" (the current token); on return the
  // current token is the one that ended it ("&&", or the tree title).
  bool ReadRule(ParsedRule& rule);
  // Read the items of the right side up to the "&&" or "::" that ends it.
  bool ReadRightSide(ParsedRule& rule);
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
  rule.line = token_.line;

  if (!Next(kTitleError) || !Next(kTitleError)) return false;
  if (token_.kind != Identifier) return Fail(kTitleError);
  rule.title = token_.text;
  if (!CheckWidth(rule.title, kTitleWidth, "Title", token_.line)) return false;

  if (!Next(kLeftTagError) || !Next(kLeftTagError)) return false;
  if (token_.kind != Identifier) return Fail(kLeftTagError);
  rule.leftTag = token_.text;
  if (!CheckWidth(rule.leftTag, kLeftTagWidth, "Left tag", token_.line)) return false;

  if (!Next(kInvalidFormat)) return false;
  if (token_.kind != Arrow) return Fail(kInvalidFormat);

  if (!ReadRightSide(rule)) return false;

  if (token_.kind == ColonColon) {
    for (int i = 0; i < 5; ++i) {
      if (!Next(kInvalidFormat)) return false;
    }
    if (token_.kind == Tilde && !Next(kInvalidFormat)) return false;
    rule.treeTitle = token_.text;
    if (!CheckWidth(rule.treeTitle, kTreeTitleWidth, "Tree title", token_.line)) return false;
  }
  return true;
}

bool RuleSetReader::ReadRightSide(ParsedRule& rule) {
  // The bytes of the rule as written (its first record) in the items kept.
  std::size_t firstRecordBytes = 0;
  if (!Next(kInvalidFormat)) return false;
  while (token_.kind != AndAnd && token_.kind != ColonColon) {
    if (token_.kind == Bang && !Next(kInvalidFormat)) return false;
    if (token_.kind != Identifier) return Fail(kInvalidFormat);
    RuleItem item;
    item.tag = token_.text;
    item.line = token_.line;
    if (!Next(kInvalidFormat)) return false;
    if (token_.kind == LeftAngle && !ReadBracketedWord(item)) return false;
    if (!item.bracketed && !CheckWidth(item.tag, kItemWidth, "Item", item.line)) return false;
    if (item.bracketed) {
      rule.records =
          std::min(rule.records * std::min(item.wordCount, kTooManyRecords), kTooManyRecords);
      // The rule is refused for its number of records before any of its
      // right sides is built from the alternatives.
      if (rule.records == kTooManyRecords) item.words.resize(1);
    }
    // Past the width of a right side the first record is refused whatever
    // follows; the items kept show its beginning.
    if (firstRecordBytes <= kRightSideWidth) {
      firstRecordBytes += item.Text(0).size() + (item.bracketed ? 2 : 1);
      rule.items.push_back(std::move(item));
    }
  }
  return true;
}

bool RuleSetReader::ReadBracketedWord(RuleItem& item) {
  item.bracketed = true;
  // With more words than the table has records the rule is refused, so the
  // words past that many are not kept, except each that is longer than all
  // words before it: the first word too long for its item (which the
  // closing text decides) is among those kept.
  std::vector<std::string> longerWords;
  std::size_t longest = 0;
  auto takeWord = [&] {
    const std::string& word = token_.text;
    if (item.words.size() < RuleSet::kCapacity) {
      item.words.push_back(word);
    } else if (word.size() > longest) {
      longerWords.push_back(word);
    }
    longest = std::max(longest, word.size());
    ++item.wordCount;
  };
  if (!Next(kInvalidFormat)) return false;
  takeWord();
  if (!Next(kInvalidFormat)) return false;
  while (token_.kind == Bar) {
    if (!Next(kInvalidFormat)) return false;
    takeWord();
    if (!Next(kInvalidFormat)) return false;
  }
  item.closing = token_.text;
  for (const std::vector<std::string>* words : {&item.words, &longerWords}) {
    for (const std::string& word : *words) {
      if (!CheckWidth(item.TextWith(word), kItemWidth, "Item", item.line)) return false;
    }
  }
  return Next(kInvalidFormat);
}

bool RuleSetReader::StoreRecords(const ParsedRule& rule) {
  const std::size_t records = rule.records;
  if (ruleSet_.rules.size() + records > RuleSet::kCapacity) {
    return Fail("Too many rules in Rules_File ... ", rule.line);
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
    if (!CheckWidth(rightSide, kRightSideWidth, "Right side", rule.line)) return false;
    made.emplace_back(rule.title, rule.leftTag, std::move(rightSide), rule.treeTitle);
    std::size_t b = choice.size();
    while (b > 0 && ++choice[b - 1] == bracketed[b - 1]->words.size()) {
      choice[--b] = 0;
    }
    if (b == 0) break;
  }
  // The table's room was reserved up front, so moving the records in cannot
  // fail half-way.
  ruleSet_.lines.reserve(RuleSet::kCapacity);
  for (CfgRule& record : made) {
    ruleSet_.rules.push_back(std::move(record));
    ruleSet_.lines.push_back(rule.line);
  }
  return true;
}

}  // namespace

void ReadRuleSet(RuleSet& ruleSet, InputStream& in, UserInterface& ui) {
  ruleSet.rules.clear();
  ruleSet.lines.clear();
  try {
    RuleSetReader(ruleSet, in, ui).Read();
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(" Memory allocation error!    ");
  }
}

}  // namespace marvolen
