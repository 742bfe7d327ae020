// Checking the data files named by config.ini against each other, without
// analysing anything and without writing a report (marvolen-report --lint).
#ifndef MARVOLEN_RUN_DATA_LINT_H_
#define MARVOLEN_RUN_DATA_LINT_H_

#include <optional>
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

// One fault of a data file as an editor marks it.
struct DataDiagnostic {
  DataFile file = DataFile::kRules;
  int line = 0;      // 1 for the first; 0 when not known
  std::string text;  // UTF-8, without trailing blanks
};

// The faults of the three data files as `tags`, `sequences` and `rules`
// hold their bytes (as on disk), without analysing anything: each reader's
// messages, at the line it gives or else the line it had reached, then the
// findings of LintDataFiles. A file given as nothing (it could not be read)
// is not checked, and without all three the files are not checked against
// each other. By file (tags, rules, sequences), then by line.
std::vector<DataDiagnostic> CheckDataTexts(const std::optional<std::string>& tags,
                                           const std::optional<std::string>& sequences,
                                           const std::optional<std::string>& rules,
                                           bool threeItemsOnly);

}  // namespace marvolen

#endif  // MARVOLEN_RUN_DATA_LINT_H_
