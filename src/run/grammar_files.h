// The tag set and the rules named by config.ini, read on their own: what
// analysing single sequences needs (marvolen-report --parse, and the
// workbench's parse pane when no open document holds them).
#ifndef MARVOLEN_RUN_GRAMMAR_FILES_H_
#define MARVOLEN_RUN_GRAMMAR_FILES_H_

#include <optional>
#include <string>

#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "grammar/cfg_rule.h"
#include "platform/text_stream.h"

namespace marvolen {

struct GrammarFiles {
  TagSet tagSet;
  RuleSet ruleSet;
};

// Read the files named by "TAGS" and "RULES" of config.ini in `startupDir`
// (which becomes the current directory, as in a run) with the run's readers:
// their messages, and the run's message on one-item rule cycles, go to `ui`
// and the files give what was read. Returns nothing, after the run's message
// for the file, when a file cannot be opened.
std::optional<GrammarFiles> ReadGrammarFiles(const std::string& startupDir, UserInterface& ui);

// The same from streams the caller has opened (the workbench reads what its
// open documents hold): the readers' messages and the one on cycles go to
// `ui`.
GrammarFiles ReadGrammar(InputStream& tagFile, InputStream& ruleFile, UserInterface& ui);

}  // namespace marvolen

#endif  // MARVOLEN_RUN_GRAMMAR_FILES_H_
