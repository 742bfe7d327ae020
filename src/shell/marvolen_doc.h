// The Marvolen document: a data file (tag set, rules or sequences) or the
// report, as text. Its content is the text its views hold; loading and
// saving are done by its first view's raw serialization.
#ifndef MARVOLEN_SHELL_MARVOLEN_DOC_H_
#define MARVOLEN_SHELL_MARVOLEN_DOC_H_

#include "shell/document.h"

namespace marvolen {

class CMarvolenDoc : public Document {
  Q_OBJECT

 public:
  CMarvolenDoc() = default;

 protected:
  void Serialize(Archive& ar) override;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_MARVOLEN_DOC_H_
