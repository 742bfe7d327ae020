// Writing the text and the CSV table of a comparison.
#include "compare/change_writers.h"

#include <cstdio>

#include "analysis/degree_records.h"
#include "export/csv_report.h"

namespace marvolen {

namespace {

// Text kept in memory before it goes to the temporary file.
constexpr std::size_t kScratchMemory = 4 << 20;

const char* JudgementOrAbsent(int index) {
  return index == SourceComparison::kAbsent ? ""
                                            : CsvJudgement(static_cast<PermutationClass>(index));
}

std::string Average(const std::optional<double>& average) {
  return average ? FormatAverage(*average) : std::string("-");
}

std::string Padded(std::string text, std::size_t width, bool right) {
  if (text.size() >= width) return text;
  const std::string pad(width - text.size(), ' ');
  return right ? pad + text : text + pad;
}

}  // namespace

void ScratchText::Append(std::string_view text) {
  memory_ += text;
  if (memory_.size() >= kScratchMemory) Spill();
}

void ScratchText::Spill() {
  if (failed_) return;  // kept in memory: the temporary file could not be used
  if (!file_) file_.reset(std::tmpfile());
  if (!file_ || std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) != memory_.size()) {
    failed_ = true;
    return;
  }
  memory_.clear();
}

bool ScratchText::CopyTo(const std::function<bool(std::string_view)>& out) {
  if (file_) {
    if (failed_) return false;
    if (std::fflush(file_.get()) != 0) return false;
    std::rewind(file_.get());
    std::string block(1 << 16, '\0');
    for (;;) {
      const std::size_t got = std::fread(block.data(), 1, block.size(), file_.get());
      if (got > 0 && !out(std::string_view(block.data(), got))) return false;
      if (got < block.size()) break;
    }
    if (std::ferror(file_.get())) return false;
  }
  return memory_.empty() || out(memory_);
}

std::string TransitionTableText(ReportKind source, const SourceComparison& side) {
  std::string text = std::string(SourceName(source)) + ": " + std::to_string(side.patterns) +
                     " patterns, " + std::to_string(side.changed) + " changed\n";
  text += "  " + Padded("old \\ new", 16, false);
  for (int to = 0; to <= SourceComparison::kAbsent; ++to) {
    text += Padded(to == SourceComparison::kAbsent ? "removed" : JudgementOrAbsent(to), 15, true);
  }
  text += '\n';
  for (int from = 0; from <= SourceComparison::kAbsent; ++from) {
    text += "  " + Padded(from == SourceComparison::kAbsent ? "added" : JudgementOrAbsent(from), 16,
                          false);
    for (int to = 0; to <= SourceComparison::kAbsent; ++to) {
      const bool none = from == SourceComparison::kAbsent && to == SourceComparison::kAbsent;
      text += Padded(
          none
              ? "-"
              : std::to_string(
                    side.transitions[static_cast<std::size_t>(from)][static_cast<std::size_t>(to)]),
          15, true);
    }
    text += '\n';
  }
  text += "  average degree overt: " + Average(side.oldAverages.overt) + " -> " +
          Average(side.newAverages.overt) + "\n";
  text += "  average degree covert: " + Average(side.oldAverages.covert) + " -> " +
          Average(side.newAverages.covert) + "\n";
  return text;
}

void ChangeText::Changed(const PatternChange& change) {
  const PatternResult& some = change.now ? *change.now : *change.old;
  line_ = std::string(SourceName(change.source)) + "  ";
  utf8_.Append(some.items, line_);
  line_ += "  ";
  line_ += change.old ? CsvJudgement(change.old->cls) : "(added)";
  line_ += " -> ";
  line_ += change.now ? CsvJudgement(change.now->cls) : "(removed)";
  line_ += "  parses ";
  line_ += change.old ? std::to_string(change.old->count) : "-";
  line_ += " -> ";
  line_ += change.now ? std::to_string(change.now->count) : "-";
  line_ += '\n';
  if (!change.parsesComparable) {
    const bool cut = (change.old && change.old->partial) || (change.now && change.now->partial);
    line_ += cut ? "    (parses not compared: the baseline table holds only some of them)\n"
                 : "    (parses not listed: more than --max-parses)\n";
  }
  for (const std::string& parse : change.gained) {
    line_ += "    + ";
    utf8_.Append(parse, line_);
    line_ += '\n';
  }
  for (const std::string& parse : change.lost) {
    line_ += "    - ";
    utf8_.Append(parse, line_);
    line_ += '\n';
  }
  if (!change.rulesGained.empty()) {
    line_ += "    rules gained:";
    for (const std::string& rule : change.rulesGained) {
      line_ += ' ';
      utf8_.Append(rule, line_);
      line_ += ';';
    }
    line_.back() = '\n';
  }
  if (!change.rulesLost.empty()) {
    line_ += "    rules lost:";
    for (const std::string& rule : change.rulesLost) {
      line_ += ' ';
      utf8_.Append(rule, line_);
      line_ += ';';
    }
    line_.back() = '\n';
  }
  (change.judgementChanged ? judgements_ : parses_).Append(line_);
}

bool ChangeText::WriteTo(const std::string& title, const Comparison& comparison,
                         const std::function<bool(std::string_view)>& out) {
  std::string head = title + "\n";
  for (ReportKind source : {ReportKind::kTagSet, ReportKind::kSequences}) {
    const SourceComparison& side = comparison.Of(source);
    if (!side.present) continue;
    head += '\n';
    head += TransitionTableText(source, side);
  }
  head += judgements_.empty() ? "\nNo judgement changed.\n" : "\nJudgement changes:\n";
  if (!out(head) || !judgements_.CopyTo(out)) return false;
  const char* parsesHead = parses_.empty() ? "\nNo other set of parses changed.\n"
                                           : "\nParse-set changes (same judgement):\n";
  return out(parsesHead) && parses_.CopyTo(out);
}

ChangesCsvWriter::ChangesCsvWriter(OutputStream& out) : out_(out) {
  out_.Write(
      "\xEF\xBB\xBFsource,items,old_judgement,new_judgement,old_parses,new_parses,gained,lost,"
      "rules_gained,rules_lost\r\n");
}

void ChangesCsvWriter::Changed(const PatternChange& change) {
  const PatternResult& some = change.now ? *change.now : *change.old;
  row_ = SourceName(change.source);
  row_ += ',';
  piece_.clear();
  utf8_.Append(some.items, piece_);
  AppendCsvField(piece_, row_);
  row_ += ',';
  row_ += change.old ? CsvJudgement(change.old->cls) : "";
  row_ += ',';
  row_ += change.now ? CsvJudgement(change.now->cls) : "";
  row_ += ',';
  row_ += change.old ? std::to_string(change.old->count) : "";
  row_ += ',';
  row_ += change.now ? std::to_string(change.now->count) : "";
  auto list = [&](const std::vector<std::string>& texts, const char* separator) {
    CsvCell cell;
    for (std::size_t k = 0; k < texts.size(); ++k) {
      piece_.assign(k > 0 ? separator : "");
      utf8_.Append(texts[k], piece_);
      cell.Append(piece_);
    }
    row_ += ',';
    AppendCsvField(cell.Text(" \xE2\x80\xA6 [cut: " + std::to_string(texts.size()) + " in all]"),
                   row_);
  };
  list(change.gained, " | ");
  list(change.lost, " | ");
  list(change.rulesGained, "; ");
  list(change.rulesLost, "; ");
  row_ += "\r\n";
  out_.Write(row_);
}

}  // namespace marvolen
