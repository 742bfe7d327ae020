// Fuzz target: the profile reader and the recent-list updater.
//
// One input gives a section, a key, a value (or a removal), a second
// section and key to look at, and the bytes of a profile file. The reader
// must read anything; the updater must change only the one key, so that the
// reader then finds the new value (or nothing, after a removal) and finds
// every other value as before, and applying the update twice must change
// nothing more.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "ini/profile.h"
#include "ini/profile_update.h"

namespace marvolen {
namespace {

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r' || c == '\x1a';
}

bool Trimmed(std::string_view s) {
  return s.empty() || (!IsProfileSpace(s.front()) && !IsProfileSpace(s.back()));
}

char Fold(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The names as a lookup compares them (both trimmed, ASCII case folded).
bool SameQuery(std::string_view a, std::string_view b) {
  while (!a.empty() && IsProfileSpace(a.front())) a.remove_prefix(1);
  while (!a.empty() && IsProfileSpace(a.back())) a.remove_suffix(1);
  while (!b.empty() && IsProfileSpace(b.front())) b.remove_prefix(1);
  while (!b.empty() && IsProfileSpace(b.back())) b.remove_suffix(1);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i]) != Fold(b[i])) return false;
  }
  return true;
}

// A section name that can stand in a header line: no line break, no NUL,
// no "]" (the name would end there).
bool SectionFits(std::string_view s) {
  return s.find_first_of(std::string_view("\r\n\0]", 4)) == std::string_view::npos;
}

// A section name that a header line written by the updater gives back
// exactly: one that fits, without blanks around it.
bool WritableSection(std::string_view s) { return SectionFits(s) && Trimmed(s); }

// A key the updater writes (no line break, "=", "[", ";" or blanks around
// it) and that the reader gives back as it is (no NUL).
bool WritableKey(std::string_view k) {
  return !k.empty() && Trimmed(k) &&
         k.find_first_of(std::string_view("\r\n=[;\0", 6)) == std::string_view::npos;
}

// A value that the reader can give back: no line break, no NUL.
bool ValueReadBackExactly(std::string_view v) {
  return v.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace
}  // namespace marvolen

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace marvolen;
  FuzzedDataProvider provider(data, size);
  const std::string section = provider.ConsumeRandomLengthString(24);
  const std::string key = provider.ConsumeRandomLengthString(24);
  std::optional<std::string> value;
  if (provider.ConsumeBool()) value = provider.ConsumeRandomLengthString(48);
  const std::string otherSection = provider.ConsumeRandomLengthString(24);
  const std::string otherKey = provider.ConsumeRandomLengthString(24);
  const std::string content = provider.ConsumeRemainingBytesAsString();

  const Profile before = Profile::FromBytes(content);
  before.GetString("DATA", "RULES");
  const std::vector<ProfileKeyUpdate> updates = {{key, value}};
  const std::string updated = UpdateProfileText(content, section, updates);

  // A UTF-16 file is never rewritten (the file update refuses it).
  if (content.size() >= 2 && ((content[0] == '\xFF' && content[1] == '\xFE') ||
                              (content[0] == '\xFE' && content[1] == '\xFF'))) {
    return 0;
  }
  FuzzCheck(UpdateProfileText(updated, section, updates) == updated, "update is not idempotent");

  // The updater ignores a key or value that cannot stand on a profile line.
  const bool valueFits = !value || value->find_first_of("\r\n") == std::string::npos;
  const bool lineFits = !key.empty() && Trimmed(key) &&
                        key.find_first_of("\r\n=[;") == std::string::npos && valueFits;
  if (!lineFits || !SectionFits(section)) {
    FuzzCheck(updated == content, "an update that cannot be written changed the file");
    return 0;
  }
  if (!WritableSection(section) || !WritableKey(key)) return 0;

  const Profile after = Profile::FromBytes(updated);
  if (!value) {
    FuzzCheck(after.GetString(section, key).empty(), "removed key still read");
  } else if (ValueReadBackExactly(*value)) {
    FuzzCheck(after.GetString(section, key) == *value, "new value not read back");
  }
  // Every other key reads as before.
  if (!SameQuery(otherSection, section) || !SameQuery(otherKey, key)) {
    FuzzCheck(after.GetString(otherSection, otherKey) == before.GetString(otherSection, otherKey),
              "another key changed");
  }
  return 0;
}
