// Fuzz target: the sequences reader over any bytes, then the line splitter on
// every stored line and on the raw input.
//
// The reader must keep to 500 lines of at most 99 bytes, each holding only
// items that fit their slot; the splitter must find exactly the runs of bytes
// between blanks, CRs and LFs, store the first five, and clear the slot after
// the last one stored.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "datafiles/sequences.h"
#include "datafiles/user_interface.h"
#include "fuzz/fuzz_check.h"
#include "grammar/permutation.h"
#include "platform/text_stream.h"

namespace marvolen {
namespace {

std::vector<std::string> Runs(std::string_view line) {
  std::vector<std::string> runs;
  std::string current;
  for (char c : line) {
    if (c == ' ' || c == '\r' || c == '\n') {
      if (!current.empty()) runs.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) runs.push_back(current);
  return runs;
}

void CheckSplit(std::string_view line) {
  Permutation p;
  for (std::string& slot : p.items) slot = "old";
  int itemCount = 0;
  SplitSequenceLine(itemCount, line, p);
  const std::vector<std::string> runs = Runs(line);
  FuzzCheck(itemCount == static_cast<int>(runs.size()), "item count");
  const std::size_t stored = std::min<std::size_t>(runs.size(), kMaxItems);
  for (std::size_t i = 0; i < stored; ++i) FuzzCheck(p.items[i] == runs[i], "item text");
  if (stored < kMaxItems) {
    FuzzCheck(p.items[stored].empty(), "slot after the last item not cleared");
    for (std::size_t i = stored + 1; i < kMaxItems; ++i) {
      FuzzCheck(p.items[i] == "old", "slot beyond the cleared one touched");
    }
  }
}

}  // namespace
}  // namespace marvolen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvolen;
  const std::string input(reinterpret_cast<const char*>(data), size);
  auto in = InputStream::FromBytes(input);
  RecordingUserInterface ui;
  SequenceList sequences;
  sequences.lines.push_back("stale\n");  // the reader starts from an empty list
  ReadSequences(sequences, *in, ui);

  FuzzCheck(sequences.count() <= SequenceList::kCapacity, "more than 500 lines");
  FuzzCheck(ui.messages.size() <= 1, "more than one message");
  FuzzCheck(!ui.messages.empty() || sequences.count() > 0, "no line and no message");
  CheckReaderMessages(ui.messages);
  for (const std::string& line : sequences.lines) {
    FuzzCheck(!line.empty() && line.size() <= SequenceList::kLineWidth, "line width");
    FuzzCheck(line.find('\0') == std::string::npos, "NUL byte in a stored line");
    for (const std::string& item : Runs(line)) FuzzCheck(item.size() <= kItemWidth, "item width");
    CheckSplit(line);
  }
  CheckSplit(input);
  return 0;
}
