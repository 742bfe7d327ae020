// Test support: whole files read, written and copied, and the bundled
// examples set up in a folder as a person would keep them.
#ifndef MARVOLEN_TESTING_FILES_H_
#define MARVOLEN_TESTING_FILES_H_

#include <filesystem>
#include <initializer_list>
#include <set>
#include <string>
#include <string_view>

namespace marvolen {

// The bytes of the file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// Make the file hold exactly `bytes`, replacing what it held. Throws
// std::runtime_error when it cannot: a test whose data is not written must
// not go on.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

// The folders of the test data (testdata/) and of the bundled examples
// (examples/) of the source tree.
std::filesystem::path TestdataDir();
std::filesystem::path ExamplesDir();

// Copy the named files of examples/ into `dir`, replacing files of the same
// names. Throws std::filesystem::filesystem_error when one cannot be copied.
void CopyExamples(const std::filesystem::path& dir, std::initializer_list<const char*> names = {
                                                        "tags.txt", "rules.txt", "sequences.txt"});

// A config.ini in `dir` that names the data files tags.txt, sequences.txt
// and rules.txt beside it, the report `result` and ITEMLENGTH `itemLength`.
void WriteDataConfig(const std::filesystem::path& dir, const std::string& itemLength = "",
                     const std::string& result = "report.txt");

// The three data files of examples/ in `dir` and their WriteDataConfig.
void WriteExamplesWithConfig(const std::filesystem::path& dir, const std::string& itemLength = "",
                             const std::string& result = "report.txt");

// The names in `dir` other than the data files and config.ini: what a run
// wrote there, or left behind.
std::set<std::string> NamesBesideDataFiles(const std::filesystem::path& dir);

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_FILES_H_
