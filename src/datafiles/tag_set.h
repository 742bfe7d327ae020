// The tag set file: the part-of-speech and phrase tags of the grammar.
#ifndef MARVOLEN_DATAFILES_TAG_SET_H_
#define MARVOLEN_DATAFILES_TAG_SET_H_

#include <string>
#include <vector>

#include "datafiles/user_interface.h"
#include "platform/text_stream.h"

namespace marvolen {

struct TagSet {
  static constexpr int kCapacity = 40;
  static constexpr std::size_t kTagWidth = 19;  // bytes of a tag text
  std::vector<std::string> tags;                // in file order
  std::vector<int> lines;  // the line of each tag in its file, when read from one
  int count() const { return static_cast<int>(tags.size()); }
};

// Clear `tagSet` and fill it from the stream. Errors are shown through `ui`
// (one message, then the reader returns with the tags stored so far).
void ReadTagSet(TagSet& tagSet, InputStream& in, UserInterface& ui);

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_TAG_SET_H_
