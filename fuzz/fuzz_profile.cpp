// The profile (INI) functions on an arbitrary file: reads are cut to the buffer at a character
// boundary, and a write changes only the key it writes.
#include <unistd.h>

#include <fstream>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "fx/Profile.h"
#include "fx/Sjis.h"

namespace {

std::string& IniPath() {
  static std::string path = [] {
    char pattern[] = "/tmp/pellix-fuzz-profile-XXXXXX";
    const char* dir = mkdtemp(pattern);
    if (dir == nullptr) fuzz::Fail("no temporary folder");
    return std::string(dir) + "/Fuzz.ini";
  }();
  return path;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The value a read gives back after a successful write: up to the first line break, trimmed,
// and without enclosing quotes.
std::string StoredValue(std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  value = Trim(value);
  if (value.size() >= 2 && value.front() == value.back() && (value.front() == '"' || value.front() == '\''))
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// Section and key names the file itself uses, as probes whose values a write must keep.
std::vector<std::pair<std::string, std::string>> Probes(std::string_view content) {
  std::vector<std::pair<std::string, std::string>> probes;
  std::string section;
  while (!content.empty() && probes.size() < 12) {
    const std::size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    line = Trim(line);
    if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string_view::npos) {
      section = std::string(line.substr(1, line.find(']') - 1));
    } else if (const std::size_t eq = line.find('='); eq != std::string_view::npos && eq > 0) {
      probes.emplace_back(section, std::string(line.substr(0, eq)));
    }
  }
  return probes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Fields fields(data, size);
  const std::size_t buffer = fields.Byte() % 40;
  const std::string section(fields.Next());
  const std::string key(fields.Next());
  const std::string value(fields.Next());
  const std::string_view content = fields.Rest();
  const std::string& ini = IniPath();
  {
    std::ofstream out(ini, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
  }
  fx::ProfileForgetCache();

  const std::string read = fx::ProfileGetString(section, key, "default", buffer, ini);
  fuzz::Check(buffer == 0 ? read.empty() : read.size() < buffer, "read longer than its buffer", read);
  const std::string whole = fx::ProfileGetString(section, key, "default", 4096, ini);
  if (fuzz::WholeCharacters(whole)) fuzz::Check(fuzz::WholeCharacters(read), "read cut inside a character", read);
  fuzz::Check(whole.rfind(read, 0) == 0, "cut read is not a prefix of the value", read);
  fuzz::Check(whole.find('\0') == std::string::npos, "a value read holds a NUL", whole);
  (void)fx::ProfileGetInt(section, key, -7, ini);

  const auto probes = Probes(content);
  std::vector<std::string> before;
  for (const auto& [s, k] : probes) before.push_back(fx::ProfileGetString(s, k, "\x01missing", 4096, ini));

  if (!fx::ProfileWriteString(section, key, value, ini)) return 0;
  const std::string stored = StoredValue(value);
  fuzz::Check(fx::ProfileGetString(section, key, "\x01missing", 4096, ini) == fx::sjis::Cut(stored, 4095),
              "written value not read back", value);
  // The same once the file is parsed from disk again rather than from the cache.
  fx::ProfileForgetCache();
  fuzz::Check(fx::ProfileGetString(section, key, "\x01missing", 4096, ini) == fx::sjis::Cut(stored, 4095),
              "written value not read back from disk", value);
  for (std::size_t i = 0; i < probes.size(); ++i) {
    const auto& [s, k] = probes[i];
    if (fx::sjis::EqualsNoCase(Trim(s), Trim(section)) && fx::sjis::EqualsNoCase(Trim(k), Trim(key))) continue;
    fuzz::Check(fx::ProfileGetString(s, k, "\x01missing", 4096, ini) == before[i], "a write changed another key", k);
  }
  return 0;
}
