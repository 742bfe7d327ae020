// Writing the HTML report.
#include "export/html_report.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "analysis/degree_records.h"
#include "analysis/report_writer.h"
#include "export/report_page.h"
#include "grammar/search_engines.h"

namespace marvolen {

namespace {

// A block of data is written when it holds this many records, or bytes.
constexpr int kBlockRecords = 4096;
constexpr std::size_t kBlockBytes = 1 << 18;

const char kDataOpen[] = "<script type=\"application/json\" class=\"mv-data\">";
const char kDataClose[] = "</script>\n";

// The page's text before and after its data: the template with its style
// and script put in.
struct PageText {
  std::string head, tail;
};

const PageText& Page() {
  static const PageText page = [] {
    auto put = [](std::string text, std::string_view marker, const std::string& with) {
      const std::size_t at = text.find(marker);
      if (at != std::string::npos) text.replace(at, marker.size(), with);
      return text;
    };
    const std::string html = ReportPageHtml();
    const std::string_view data = "<!--@DATA-->";
    const std::size_t at = html.find(data);
    PageText text;
    text.head = put(html.substr(0, at), "<!--@STYLE-->",
                    "<style>\n" + std::string(ReportPageCss()) + "</style>");
    text.tail = put(at == std::string::npos ? "" : html.substr(at + data.size()), "<!--@SCRIPT-->",
                    "<script>\n" + std::string(ReportPageScript()) + "</script>");
    return text;
  }();
  return page;
}

char JudgementCode(PermutationClass cls) { return static_cast<char>('0' + static_cast<int>(cls)); }

// A JSON array of UTF-8 strings.
void AppendStrings(const std::vector<std::string>& strings, std::string& out) {
  out += '[';
  for (std::size_t k = 0; k < strings.size(); ++k) {
    if (k > 0) out += ',';
    AppendJsonString(strings[k], out);
  }
  out += ']';
}

std::string Records(const std::vector<DegreeRecord>& records) {
  std::string out;
  for (const DegreeRecord& r : records) {
    if (!out.empty()) out += ';';
    out += std::to_string(r.permutation);
    out += ',';
    out += std::to_string(r.count);
  }
  return out;
}

void AppendNumber(std::uint64_t n, std::string& out) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
  out.append(digits, end);
}

// The trees of a permutation, made on an analysing thread where the page's
// string table is out of reach: "|" then the tree's code (tree_code.h) with
// each string in place of its number, for each tree. A string is written
// whole the first time (a NUL byte, its length in four bytes, its bytes),
// then as byte 1 and the number of its first time (two bytes), so that the
// table is looked up once per string and permutation.
class InlineStrings {
 public:
  void Clear() { seen_.clear(); }
  void Append(std::string_view text, std::string& out) {
    for (std::size_t k = 0; k < seen_.size() && k < 0xFFFF; ++k) {
      if (seen_[k] == text) {
        const std::uint16_t number = static_cast<std::uint16_t>(k);
        char head[1 + sizeof number] = {'\1'};
        std::memcpy(head + 1, &number, sizeof number);
        out.append(head, sizeof head);
        return;
      }
    }
    seen_.push_back(text);
    const std::uint32_t size = static_cast<std::uint32_t>(text.size());
    char head[1 + sizeof size] = {'\0'};
    std::memcpy(head + 1, &size, sizeof size);
    out.append(head, sizeof head);
    out += text;
  }

 private:
  std::vector<std::string_view> seen_;  // valid while the trees are
};

void AppendInlineNode(const ParseTreeNode& node, const std::vector<bool>& marks,
                      std::size_t& preorder, InlineStrings& strings, std::string& out) {
  if (preorder < marks.size() && marks[preorder]) out += '*';
  ++preorder;
  strings.Append(node.label, out);
  if (!node.title.empty()) {
    out += ':';
    strings.Append(node.title, out);
  }
  if (node.firstChild == nullptr) return;
  out += '(';
  for (const ParseTreeNode* child = node.firstChild.get(); child != nullptr;
       child = child->nextSibling.get()) {
    if (child != node.firstChild.get()) out += ',';
    AppendInlineNode(*child, marks, preorder, strings, out);
  }
  out += ')';
}

// Makes the trees of each permutation that is drawn, and marks them.
class TreePreparer : public PermutationPreparer {
 public:
  class TreeRun : public Run {
   public:
    // The parses' texts are needed only where no trees are made: for a
    // permutation of more parses than the page draws.
    bool Prepare(const ListedPermutation& p, ParseEngine* engine, std::string& out) override {
      if (engine == nullptr || !p.listed || p.cls == PermutationClass::CannotCombine) {
        return false;
      }
      if (p.count > kHtmlParses) return true;
      // The listing's own trees, when it built them.
      const bool given = p.trees != nullptr && p.trees->size() == p.count;
      ParseList built;
      if (!given) built = engine->FirstDistinctParses(kHtmlParses);
      const ParseList& trees = given ? *p.trees : built;
      if (trees.size() != p.count) return true;
      // Only the parses of an ambiguity differ.
      const ParseMarks marks = p.cls == PermutationClass::OneWay ? ParseMarks(trees.size())
                                                                 : MarkDifferences(trees, p.cls);
      strings_.Clear();
      for (std::size_t t = 0; t < trees.size(); ++t) {
        out += '|';
        std::size_t preorder = 0;
        AppendInlineNode(*trees[t], marks[t], preorder, strings_, out);
      }
      strings_.Clear();
      return false;
    }

   private:
    InlineStrings strings_;
  };
  std::unique_ptr<Run> Begin() const override { return std::make_unique<TreeRun>(); }
};

std::string Average(const std::vector<DegreeRecord>& records) {
  const DegreeAverage degree = AverageDegree(records);
  return degree.average ? "\"" + FormatAverage(*degree.average) + "\"" : "null";
}

}  // namespace

void AppendJsonString(std::string_view utf8, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  auto plain = [](unsigned char c) {
    return c >= 0x20 && c != '"' && c != '\\' && c != '<' && c != '>' && c != '&' && c != 0xE2;
  };
  out += '"';
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    // Runs that need no escape go at once.
    std::size_t run = i;
    while (run < utf8.size() && plain(static_cast<unsigned char>(utf8[run]))) ++run;
    if (run > i) {
      out.append(utf8, i, run - i);
      i = run;
      if (i == utf8.size()) break;
    }
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == '<' || c == '>' || c == '&') {
      out += "\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else if (c == 0xE2 && i + 2 < utf8.size() && utf8[i + 1] == '\x80' &&
               (utf8[i + 2] == '\xA8' || utf8[i + 2] == '\xA9')) {
      out += utf8[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

HtmlReportWriter::HtmlReportWriter(OutputStream& out, const RuleSet& rules,
                                   const ReportOptions& options, const HtmlReportInfo& info)
    : out_(out), preparer_(std::make_unique<TreePreparer>()) {
  engine_ = std::move(MakeParseEngines(options.engine, rules, 1, options.stop).front());
  ownRun_ = preparer_->Begin();
  out_.Write(Page().head);
  std::vector<std::string> tags;
  for (const std::string& tag : info.tags) tags.push_back(utf8_.Convert(tag));
  std::string json = "{\"k\":\"i\",\"tags\":";
  AppendStrings(tags, json);
  json += ",\"limit\":" + std::to_string(std::max<std::uint64_t>(1, options.maxParses)) + "}";
  WriteData(json);
}

HtmlReportWriter::~HtmlReportWriter() = default;

void HtmlReportWriter::WriteData(const std::string& json) {
  out_.Write(kDataOpen);
  out_.Write(json);
  out_.Write(kDataClose);
}

void HtmlReportWriter::BeginReport(ReportKind kind, std::int64_t permutations) {
  EndPermutation();
  WriteBlock();
  ++report_;
  reportOpen_ = true;
  reportStart_ = out_.Position();
  codeNumbers_.clear();  // the codes are the new source's
  sources_ = AmbiguitySources();
  tableAtReportStart_ = table_.size();
  textsAtReportStart_ = textCount_;
  WriteData("{\"k\":\"b\",\"r\":" + std::to_string(report_) + ",\"kind\":\"" +
            (kind == ReportKind::kTagSet ? "tagset" : "sequences") +
            "\",\"n\":" + std::to_string(permutations) + "}");
}

void HtmlReportWriter::BeginPermutation(const ListedPermutation& p) {
  EndPermutation();
  permutationOpen_ = true;
  permutation_ = p;
  permutation_.permutation = nullptr;
  permutation_.prepared = {};
  permutation_.trees = nullptr;
  permutation_.preparedByObserver = nullptr;
  // Without the texts of its parses, its trees were prepared whole.
  parsesSeen_ = p.parsesFollow ? 0 : p.count;
  texts_.clear();
  trees_.clear();
  record_.assign(1, JudgementCode(p.cls));
  AppendItemNumbers(*p.permutation);
  points_.clear();
  if (p.points && p.groups && !p.points->empty()) {
    groups_ = p.groups;
    sources_.Add(p.number, p.cls, p.count, *p.points);
    points_ = '@';
    for (std::size_t k = 0; k < p.points->size(); ++k) {
      const DivergencePoint& point = (*p.points)[k];
      if (k > 0) points_ += ';';
      points_ += SpanText(point);
      points_ += ':';
      for (std::size_t g = 0; g < point.groups.size(); ++g) {
        if (g > 0) points_ += '.';
        const int group = point.groups[g];
        if (group < 0) {
          AppendNumber(table_.Index(p.groups->Describe(group)), points_);
          continue;
        }
        if (groupNumbers_.size() < static_cast<std::size_t>(p.groups->count()))
          groupNumbers_.resize(static_cast<std::size_t>(p.groups->count()), -1);
        int& number = groupNumbers_[static_cast<std::size_t>(group)];
        if (number < 0) number = table_.Index(p.groups->Describe(group));
        AppendNumber(number, points_);
      }
    }
  }
  // The trees, to draw and to mark, for a permutation with few enough: made
  // on an analysing thread, or else here.
  if (p.hasPrepared) {
    trees_.assign(p.prepared);
  } else if (p.listed && p.cls != PermutationClass::CannotCombine && p.count <= kHtmlParses) {
    engine_->CountDistinctParses(*p.permutation, kHtmlParses);
    ownRun_->Prepare(p, engine_.get(), trees_);
  }
}

void HtmlReportWriter::AppendItemNumbers(const Permutation& permutation) {
  for (int k = 0; k < permutation.currentItemCount && k < kMaxItems; ++k) {
    if (k > 0) record_ += '.';
    // Next permutations mostly share their first items.
    const std::string& item = permutation.items[static_cast<std::size_t>(k)];
    const auto slot = static_cast<std::size_t>(k);
    if (slot >= lastItems_.size()) lastItems_.resize(slot + 1, {std::string(), -1});
    if (lastItems_[slot].second < 0 || lastItems_[slot].first != item) {
      lastItems_[slot] = {item, table_.Index(item)};
    }
    AppendNumber(lastItems_[slot].second, record_);
  }
}

void HtmlReportWriter::CannotCombine(const PermutationSource& source, std::int64_t first,
                                     std::int64_t last, std::string_view) {
  EndPermutation();
  std::array<int, kMaxItems> codes{};
  Permutation permutation;
  for (std::int64_t number = first; number < last; ++number) {
    // Only the judgement and the items.
    record_.assign(1, JudgementCode(PermutationClass::CannotCombine));
    const int count = source.ItemCodes(number, codes);
    if (count == 0) {
      source.Build(number, permutation);
      AppendItemNumbers(permutation);
    }
    for (int k = 0; k < count; ++k) {
      const auto code = static_cast<std::size_t>(codes[static_cast<std::size_t>(k)]);
      if (code >= codeNumbers_.size()) codeNumbers_.resize(code + 1);
      std::string& digits = codeNumbers_[code];
      if (digits.empty()) AppendNumber(table_.Index(source.ItemText(codes[k])), digits);
      if (k > 0) record_ += '.';
      record_ += digits;
    }
    AddRecord();
  }
}

void HtmlReportWriter::Parse(std::string_view bracketed, std::string_view) {
  if (trees_.empty() && parsesSeen_ < kHtmlParses) texts_.emplace_back(bracketed);
  ++parsesSeen_;
}

void HtmlReportWriter::EndPermutation() {
  if (!permutationOpen_) return;
  permutationOpen_ = false;
  // The trees are the permutation's parses, as many as it has.
  const bool drawn = !trees_.empty() && parsesSeen_ == permutation_.count;
  const std::uint64_t shown = drawn ? permutation_.count : texts_.size();
  if (permutation_.count != shown) {
    record_ += '#';
    AppendNumber(permutation_.count, record_);
  }
  if (!permutation_.listed) record_ += '!';
  record_ += points_;
  if (drawn) {
    // The strings in place become their numbers in the table, in order.
    const std::size_t size = trees_.size();
    numbers_.clear();
    for (std::size_t at = 0; at < size;) {
      std::size_t string = at;
      while (string < size && trees_[string] != '\0' && trees_[string] != '\1') ++string;
      record_.append(trees_, at, string - at);
      if (string == size) break;
      if (trees_[string] == '\1') {
        std::uint16_t seen = 0;
        std::memcpy(&seen, trees_.data() + string + 1, sizeof seen);
        AppendNumber(numbers_[seen], record_);
        at = string + 1 + sizeof seen;
        continue;
      }
      std::uint32_t length = 0;
      std::memcpy(&length, trees_.data() + string + 1, sizeof length);
      const std::size_t text = string + 1 + sizeof length;
      numbers_.push_back(table_.Index(std::string_view(trees_).substr(text, length)));
      AppendNumber(numbers_.back(), record_);
      at = text + length;
    }
  } else {
    for (const std::string& text : texts_) {
      record_ += "|~";
      AppendNumber(textCount_++, record_);
      newTexts_.push_back(utf8_.Convert(text));
    }
  }
  trees_.clear();
  texts_.clear();
  AddRecord();
}

void HtmlReportWriter::AddRecord() {
  if (!records_.empty()) records_ += ' ';
  records_ += record_;
  if (++recordsInBlock_ >= kBlockRecords || records_.size() >= kBlockBytes) WriteBlock();
}

void HtmlReportWriter::WriteBlock() {
  if (recordsInBlock_ == 0) return;
  std::string json = "{\"k\":\"p\",\"r\":" + std::to_string(report_) + ",\"s\":";
  std::vector<std::string> strings = table_.TakeNew();
  for (std::string& s : strings) s = utf8_.Convert(s);
  AppendStrings(strings, json);
  json += ",\"x\":";
  AppendStrings(newTexts_, json);
  json += ",\"p\":";
  AppendJsonString(records_, json);
  json += '}';
  WriteData(json);
  records_.clear();
  newTexts_.clear();
  recordsInBlock_ = 0;
}

void HtmlReportWriter::EndReport(const ReportSummary& summary) {
  EndPermutation();
  WriteBlock();
  const ClassCounters& c = summary.counters;
  const int counts[7] = {c.cannotCombineCount + c.combinableCount,
                         c.cannotCombineCount,
                         c.combinableCount,
                         c.oneWayCount,
                         c.combinableCount - c.oneWayCount,
                         c.overtCount,
                         c.covertCount};
  std::string json = "{\"k\":\"e\",\"r\":" + std::to_string(report_) + ",\"c\":[";
  for (int k = 0; k < 7; ++k) {
    if (k > 0) json += ',';
    json += std::to_string(counts[k]);
  }
  json += "],\"a\":[" + Average(summary.covertRecords) + "," + Average(summary.overtRecords) +
          "],\"rc\":\"" + Records(summary.covertRecords) + "\",\"ro\":\"" +
          Records(summary.overtRecords) + "\",\"src\":";
  AppendSources(json);
  json += '}';
  WriteData(json);
  reportOpen_ = false;
}

void HtmlReportWriter::AppendSources(std::string& json) {
  json += '[';
  bool first = true;
  for (const AmbiguitySources::Source& source : sources_.Ranked()) {
    if (!first) json += ',';
    first = false;
    std::string titles;
    json += "{\"g\":[";
    for (std::size_t g = 0; g < source.groups.size(); ++g) {
      if (g > 0) {
        json += ',';
        titles += '|';
      }
      AppendJsonString(utf8_.Convert(groups_->Describe(source.groups[g])), json);
      titles += groups_->Titles(source.groups[g]);
    }
    json += "],\"t\":";
    AppendJsonString(utf8_.Convert(titles), json);
    json += ",\"o\":" + std::to_string(source.overt) + ",\"c\":" + std::to_string(source.covert) +
            ",\"a\":\"" + FormatAverage(source.AverageDegree()) + "\",\"x\":[";
    for (std::size_t k = 0; k < source.examples.size(); ++k) {
      if (k > 0) json += ',';
      json += std::to_string(source.examples[k]);
    }
    json += "]}";
  }
  json += ']';
  sources_ = AmbiguitySources();
}

void HtmlReportWriter::DropUnfinishedReport() {
  permutationOpen_ = false;
  trees_.clear();
  texts_.clear();
  records_.clear();
  newTexts_.clear();
  recordsInBlock_ = 0;
  if (!reportOpen_) return;
  reportOpen_ = false;
  out_.TruncateTo(reportStart_);
  table_.TruncateTo(tableAtReportStart_);
  // Numbers of strings the table no longer holds are forgotten.
  lastItems_.clear();
  codeNumbers_.clear();
  groupNumbers_.clear();
  textCount_ = textsAtReportStart_;
}

void HtmlReportWriter::WriteRules(const RuleSet& rules, const std::vector<RuleEffect>& effects,
                                  const std::string& rulesName, const std::string& findings) {
  EndPermutation();
  WriteBlock();
  std::string json = "{\"k\":\"rules\",\"rows\":[";
  for (std::size_t k = 0; k < effects.size(); ++k) {
    const RuleEffect& e = effects[k];
    if (k > 0) json += ',';
    json += '[';
    AppendJsonString(DescribeRule(rules.rules[static_cast<std::size_t>(e.rule)]), json);
    json += ',';
    const int line = rules.LineOf(e.rule);
    AppendJsonString(line > 0 ? rulesName + ":" + std::to_string(line) : rulesName, json);
    for (int s = 0; s < kSources; ++s) {
      if (!e.without[static_cast<std::size_t>(s)].present) {
        json += ",null,null";
        continue;
      }
      json += ',';
      AppendJsonString(DescribeUsage(e, s), json);
      json += ',';
      AppendJsonString(DescribeWithout(e, s), json);
    }
    json += e.ParsesUsing() > 0 ? ",true]" : ",false]";
  }
  json += "],\"lint\":[";
  std::size_t at = 0;
  bool first = true;
  while (at < findings.size()) {
    std::size_t end = findings.find('\n', at);
    if (end == std::string::npos) end = findings.size();
    if (!first) json += ',';
    first = false;
    AppendJsonString(std::string_view(findings).substr(at, end - at), json);
    at = end + 1;
  }
  json += "]}";
  WriteData(json);
}

void HtmlReportWriter::Finish() {
  EndPermutation();
  WriteBlock();
  out_.Write(Page().tail);
}

}  // namespace marvolen
