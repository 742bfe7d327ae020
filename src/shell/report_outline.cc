// The outline of a report.
#include "shell/report_outline.h"

#include <QCoreApplication>
#include <cstring>

#include "encoding/gbk_text.h"

namespace marvolen {

namespace {

// A heading is known by a part of its text (the report's words, the same in
// every language); the first row that matches it names it, in the
// workbench's language. The averages' rows keep the number that follows
// their text; the lists and the rankings count their patterns.
const struct {
  const char* part;
  int depth;
  const char* title;
  bool withValue;
  bool lists;
} kHeadings[] = {
    {"全部标记共有", 0, QT_TRANSLATE_NOOP("ReportOutline", "全部标记全排列"), false, false},
    // The sequences report: titled by its file name.
    {"文件中共有排列:", 0, "", false, false},
    {"的全部排列如下", 1, QT_TRANSLATE_NOOP("ReportOutline", "全部排列"), false, true},
    {"不能组合的排列如下", 1, QT_TRANSLATE_NOOP("ReportOutline", "不能组合"), false, true},
    {"能组合的排列如下", 1, QT_TRANSLATE_NOOP("ReportOutline", "能组合"), false, true},
    {"只有一种组合方式", 1, QT_TRANSLATE_NOOP("ReportOutline", "只有一种组合方式"), false, true},
    {"外显型歧义的排列如下", 1, QT_TRANSLATE_NOOP("ReportOutline", "外显型歧义"), false, true},
    {"内含型歧义的排列如下", 1, QT_TRANSLATE_NOOP("ReportOutline", "内含型歧义"), false, true},
    {"歧义程度统计", 1, QT_TRANSLATE_NOOP("ReportOutline", "歧义程度统计"), false, false},
    {"内含型歧义格式平均歧义个数", 3, QT_TRANSLATE_NOOP("ReportOutline", "平均歧义个数：%1"), true,
     false},
    {"外显型歧义格式平均歧义个数", 3, QT_TRANSLATE_NOOP("ReportOutline", "平均歧义个数：%1"), true,
     false},
    {"内含型歧义:", 2, QT_TRANSLATE_NOOP("ReportOutline", "内含型歧义排名"), false, true},
    {"外显型歧义:", 2, QT_TRANSLATE_NOOP("ReportOutline", "外显型歧义排名"), false, true},
};

QString Tr(const char* text) { return QCoreApplication::translate("ReportOutline", text); }

// Adds the entries of the heading `text` at `line`, if it is one; whether
// its patterns are to be counted.
bool AddHeading(const QString& text, qint64 line, std::vector<OutlineEntry>& outline) {
  for (const auto& heading : kHeadings) {
    const QString part = QString::fromUtf8(heading.part);
    const qsizetype at = text.indexOf(part);
    if (at < 0) continue;
    QString title;
    if (heading.withValue) {
      QString value = text.mid(at + part.size());
      title = Tr(heading.title).arg(value.remove(QLatin1Char('-')).remove(QStringLiteral("：")));
    } else if (*heading.title != '\0') {
      title = Tr(heading.title);
    } else {
      title = text.left(at + 2);  // "sequences.txt文件"
    }
    // A report begins with its summary.
    if (heading.depth == 0) outline.push_back({0, title, line});
    outline.push_back(
        {1, heading.depth == 0 ? Tr(QT_TRANSLATE_NOOP("ReportOutline", "汇总")) : title, line});
    if (heading.depth > 0) outline.back().depth = heading.depth;
    return heading.lists;
  }
  return false;
}

}  // namespace

void ReportOutliner::Feed(std::string_view bytes) {
  for (std::size_t start = 0; start < bytes.size(); ++number_) {
    const void* lf = std::memchr(bytes.data() + start, '\n', bytes.size() - start);
    const std::size_t end =
        lf != nullptr ? static_cast<std::size_t>(static_cast<const char*>(lf) - bytes.data())
                      : bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const char first = bytes[start];
    if (first != '\t' && first != ' ' && first != '\r' && first != '\n') {
      const std::u16string text = DecodeGbkText(line).text;
      const std::size_t before = outline_.size();
      const bool lists = AddHeading(QString::fromStdU16String(text).trimmed(), number_, outline_);
      if (outline_.size() != before) {
        counted_ = lists ? outline_.size() - 1 : kNone;
        if (lists) outline_.back().count = 0;
      }
    } else if (first == '\t' && counted_ != kNone && line.size() > 1 && line[1] != '\t') {
      // A pattern, or the list's "none" line ("\t没有…!!!").
      if (!line.ends_with("!!!")) ++outline_[counted_].count;
    }
    start = end + 1;
  }
}

std::vector<OutlineEntry> BuildReportOutline(std::string_view bytes) {
  ReportOutliner outliner;
  outliner.Feed(bytes);
  return outliner.outline();
}

}  // namespace marvolen
