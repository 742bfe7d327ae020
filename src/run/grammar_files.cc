// Reading the tag set and the rules named by config.ini.
#include "run/grammar_files.h"

#include <memory>

#include "datafiles/rule_set_reader.h"
#include "grammar/unary_cycles.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "run/run.h"

namespace marvolen {

std::optional<GrammarFiles> ReadGrammarFiles(const std::string& startupDir, UserInterface& ui) {
  const RunConfig config = ReadRunConfig(ProfilePathFor(startupDir));
  ChangeDirectory(startupDir);
  const std::unique_ptr<InputStream> tagFile = InputStream::Open(NativePath(config.tags));
  if (!tagFile) {
    ui.ShowMessage("Data File <tags.txt> Open Error!");
    return std::nullopt;
  }
  const std::unique_ptr<InputStream> ruleFile = InputStream::Open(NativePath(config.rules));
  if (!ruleFile) {
    ui.ShowMessage("Data File <rules.txt> Open Error!");
    return std::nullopt;
  }
  return ReadGrammar(*tagFile, *ruleFile, ui);
}

GrammarFiles ReadGrammar(InputStream& tagFile, InputStream& ruleFile, UserInterface& ui) {
  GrammarFiles files;
  ReadTagSet(files.tagSet, tagFile, ui);
  ReadRuleSet(files.ruleSet, ruleFile, ui);
  if (const auto cycles = DescribeUnaryRuleCycles(files.ruleSet)) ui.ShowMessage(*cycles);
  return files;
}

}  // namespace marvolen
