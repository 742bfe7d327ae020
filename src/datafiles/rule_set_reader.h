// The rules file: the context-free grammar over the tags.
#ifndef MARVOLEN_DATAFILES_RULE_SET_READER_H_
#define MARVOLEN_DATAFILES_RULE_SET_READER_H_

#include "datafiles/user_interface.h"
#include "grammar/cfg_rule.h"
#include "platform/text_stream.h"

namespace marvolen {

// Clear `ruleSet` and fill it from the stream, one record per rule plus one
// per alternative word. Errors are shown through `ui` (one message, then the
// reader returns with the records of the rules read completely before).
void ReadRuleSet(RuleSet& ruleSet, InputStream& in, UserInterface& ui);

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_RULE_SET_READER_H_
