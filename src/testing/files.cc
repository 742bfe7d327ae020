// Test support: whole files.
#include "testing/files.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace marvolen {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const fs::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

fs::path TestdataDir() { return MARVOLEN_TESTDATA_DIR; }
fs::path ExamplesDir() { return MARVOLEN_EXAMPLES_DIR; }

void CopyExamples(const fs::path& dir, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    fs::copy_file(ExamplesDir() / name, dir / name, fs::copy_options::overwrite_existing);
  }
}

void WriteDataConfig(const fs::path& dir, const std::string& itemLength,
                     const std::string& result) {
  WriteFile(dir / "config.ini",
            "[DATA]\nTAGS=tags.txt\nSEQUENCES=sequences.txt\n"
            "RULES=rules.txt\nRESULT=" +
                result + "\nITEMLENGTH=" + itemLength + "\n");
}

void WriteExamplesWithConfig(const fs::path& dir, const std::string& itemLength,
                             const std::string& result) {
  CopyExamples(dir);
  WriteDataConfig(dir, itemLength, result);
}

std::set<std::string> NamesBesideDataFiles(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name != "tags.txt" && name != "rules.txt" && name != "sequences.txt" &&
        name != "config.ini") {
      names.insert(name);
    }
  }
  return names;
}

}  // namespace marvolen
