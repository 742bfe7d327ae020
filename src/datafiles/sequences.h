// The sequences file: one tag sequence of up to five items per line.
#ifndef MARVOLEN_DATAFILES_SEQUENCES_H_
#define MARVOLEN_DATAFILES_SEQUENCES_H_

#include <string>
#include <string_view>
#include <vector>

#include "datafiles/user_interface.h"
#include "grammar/permutation.h"
#include "platform/text_stream.h"

namespace marvolen {

struct SequenceList {
  static constexpr int kCapacity = 500;
  static constexpr std::size_t kLineWidth = 99;  // bytes per read, LF included
  std::vector<std::string> lines;                // as read, line feed included when present
  // The line of the file each entry comes from (1 for the first), when read
  // from a file: a line longer than one read gives several entries.
  std::vector<int> fileLines;
  int count() const { return static_cast<int>(lines.size()); }
};

// Clear `sequences` and store the lines of the stream. Errors are shown
// through `ui`.
void ReadSequences(SequenceList& sequences, InputStream& in, UserInterface& ui);

// Split one stored line into the item slots of `out`. Only blank, CR and LF
// separate items. `itemCount` is set to the number of items found (it may be
// more than five; only the first five are stored). When fewer than five were
// stored, the slot after the last one is emptied and later slots are left as
// they were. currentItemCount is not touched; the caller sets it.
void SplitSequenceLine(int& itemCount, std::string_view line, Permutation& out);

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_SEQUENCES_H_
