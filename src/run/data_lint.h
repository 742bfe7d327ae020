// Checking the data files named by config.ini against each other, without
// analysing anything and without writing a report (marvolen-report --lint).
#ifndef MARVOLEN_RUN_DATA_LINT_H_
#define MARVOLEN_RUN_DATA_LINT_H_

#include <string>
#include <vector>

#include "datafiles/user_interface.h"
#include "rules/lint.h"

namespace marvolen {

struct DataLint {
  bool opened = false;     // the three data files could be opened
  int readerMessages = 0;  // the readers' own messages, shown on the way
  std::vector<Finding> findings;
  std::string text;  // the findings, one line each (UTF-8)
};

// Read "TAGS", "SEQUENCES", "RULES" and "ITEMLENGTH" of config.ini in
// `startupDir` (which becomes the current directory, as in a run), open and
// read the three files with the run's readers, whose messages (and the
// run's message for a file that cannot be opened) go to `ui` with their
// files and lines, and check what was read.
DataLint LintConfiguredDataFiles(const std::string& startupDir, UserInterface& ui);

}  // namespace marvolen

#endif  // MARVOLEN_RUN_DATA_LINT_H_
