// Reading the sequences file and splitting its lines into permutations.
#include "datafiles/sequences.h"

#include <new>

#include "encoding/gbk.h"

namespace marvolen {

namespace {

bool IsSequenceSeparator(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// The first item of `line` longer than an item slot, or an empty view.
std::string_view FindOverlongItem(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSequenceSeparator(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsSequenceSeparator(line[i])) ++i;
    if (i - start > kItemWidth) return line.substr(start, i - start);
  }
  return {};
}

}  // namespace

void ReadSequences(SequenceList& sequences, InputStream& in, UserInterface& ui) {
  sequences.lines.clear();
  sequences.fileLines.clear();
  try {
    std::string line;
    int fileLine = 1;
    while (in.ReadLine(line, SequenceList::kLineWidth)) {
      const int lineOfPiece = fileLine;
      if (!line.empty() && line.back() == '\n') ++fileLine;
      // A line is a zero-terminated text: a NUL byte ends it.
      const std::size_t nul = line.find('\0');
      if (nul != std::string::npos) line.resize(nul);
      if (line.empty()) continue;
      if (sequences.count() == SequenceList::kCapacity) {
        ui.ShowMessage("Too many sequences in Sequences_File: only the first 500 lines were read");
        return;
      }
      const std::string_view overlong = FindOverlongItem(line);
      if (!overlong.empty()) {
        ui.ShowMessage("Item longer than 19 bytes in Sequences_File: " + GbkForMessage(overlong));
        return;
      }
      sequences.lines.push_back(line);
      sequences.fileLines.push_back(lineOfPiece);
    }
  } catch (const std::bad_alloc&) {
    ui.ShowMessage(" Memory allocation error!    ");
    return;
  }
  if (sequences.count() == 0) ui.ShowMessage("No sequences defined!\t");
}

void SplitSequenceLine(int& itemCount, std::string_view line, Permutation& out) {
  itemCount = 0;
  int stored = 0;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && IsSequenceSeparator(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !IsSequenceSeparator(line[i])) ++i;
    if (i == start) break;
    ++itemCount;
    if (stored < kMaxItems) out.items[stored++] = std::string(line.substr(start, i - start));
  }
  if (stored < kMaxItems) out.items[stored].clear();
}

}  // namespace marvolen
