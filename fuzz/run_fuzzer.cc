// Fuzz target: a whole analysis run over a directory made from one input.
//
// The input is config.ini, the tag set file, the rules file and the
// sequences file, in this order, separated by the line "#####" (a file whose
// part is missing is not created). The target writes them into a scratch
// directory, runs the analysis there as the workbench does, and checks that
// the data files and config.ini are left byte for byte as they were, that
// every message is UTF-8 and that a completed run ends with the completion
// message after writing its report.
//
// Bounds, so that one input cannot run for minutes: libFuzzer's -max_len
// (tools/fuzz passes 4096); config.ini may name only plain file names in the
// scratch directory (anything else is skipped, so a run never reaches
// another file); and inputs with more than 6 tags, 24 rule records or 24
// sequence lines are skipped before the run (the reports grow with the cube
// of the tag count, and the search with the number of rules).
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "datafiles/rule_set_reader.h"
#include "datafiles/sequences.h"
#include "datafiles/tag_set.h"
#include "datafiles/user_interface.h"
#include "fuzz/fuzz_check.h"
#include "platform/file_system.h"
#include "platform/text_stream.h"
#include "run/run.h"

namespace marvolen {
namespace {

namespace fs = std::filesystem;

constexpr char kSeparator[] = "\n#####\n";
constexpr int kMaxTags = 6;
constexpr int kMaxRules = 24;
constexpr int kMaxSequences = 24;

const char* const kFileNames[] = {"config.ini", "tags.txt", "rules.txt", "sequences.txt"};

// The scratch directory, made once per process.
const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (fs::temp_directory_path() / "marvolen-fuzz-XXXXXX").string();
    FuzzCheck(mkdtemp(pattern.data()) != nullptr, "cannot make a scratch directory");
    return pattern;
  }();
  return dir;
}

void Empty(const std::string& dir) {
  for (const auto& entry : fs::directory_iterator(dir)) fs::remove_all(entry.path());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  FuzzCheck(static_cast<bool>(out), "cannot write a scratch file");
}

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A configured path that stays in the scratch directory: empty, or a plain
// file name.
bool Confined(const std::string& path) {
  if (path.size() > 32 || path == "." || path == "..") return false;
  for (char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
    if (!plain) return false;
  }
  return true;
}

// True when the readers' results are small enough to analyse quickly.
bool WithinBounds(const std::map<std::string, std::string>& files) {
  RecordingUserInterface quiet;
  auto stream = [&](const char* name) {
    const auto it = files.find(name);
    return InputStream::FromBytes(it == files.end() ? std::string() : it->second);
  };
  TagSet tags;
  ReadTagSet(tags, *stream("tags.txt"), quiet);
  RuleSet rules;
  ReadRuleSet(rules, *stream("rules.txt"), quiet);
  SequenceList sequences;
  ReadSequences(sequences, *stream("sequences.txt"), quiet);
  return tags.count() <= kMaxTags && rules.count() <= kMaxRules &&
         sequences.count() <= kMaxSequences;
}

}  // namespace
}  // namespace marvolen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvolen;
  const std::string input(reinterpret_cast<const char*>(data), size);
  std::map<std::string, std::string> files;
  std::size_t pos = 0;
  for (const char* name : kFileNames) {
    if (pos > input.size()) break;
    std::size_t end = input.find(kSeparator, pos);
    if (end == std::string::npos) end = input.size();
    files[name] = input.substr(pos, end - pos);
    pos = end + sizeof kSeparator - 1;
  }

  const std::string& dir = ScratchDir();
  Empty(dir);
  for (const auto& [name, bytes] : files) WriteFile(dir + "/" + name, bytes);
  const RunConfig config = ReadRunConfig(dir + "/config.ini");
  if (!Confined(config.tags) || !Confined(config.sequences) || !Confined(config.rules) ||
      !Confined(config.result) || !WithinBounds(files)) {
    return 0;
  }
  const bool reportExisted = !config.result.empty() && fs::exists(dir + "/" + config.result);

  // The run makes its directory current; libFuzzer's paths are relative to
  // the directory it started in.
  static const std::string startDir = CurrentDirectory();
  RecordingUserInterface ui;
  const RunResult result = RunAnalysis(dir, ui);
  ChangeDirectory(startDir);

  CheckMessagesAreUtf8(ui.messages);
  for (const auto& [name, bytes] : files) {
    FuzzCheck(ReadFile(dir + "/" + name) == bytes, "the run changed an input file");
  }
  FuzzCheck(!ui.messages.empty(), "a run without a message");
  if (result.end == RunEnd::Completed) {
    FuzzCheck(ui.messages.back() == CompletionMessage(dir, config.result),
              "a completed run does not end with the completion message");
    FuzzCheck(result.errorMessages == static_cast<int>(ui.messages.size()) - 1,
              "error messages miscounted");
    FuzzCheck(ReadFile(dir + "/" + config.result).has_value(), "no report after a completed run");
  } else {
    FuzzCheck(ui.messages.size() == 1, "a failed open shows one message");
    FuzzCheck(reportExisted || !fs::exists(dir + "/" + config.result) || config.result.empty(),
              "a failed run created the report");
  }
  return 0;
}
