#include "fx/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>
#include <vector>

#include "../core/Backend.h"
#include "ProfileCache.h"
#include "fx/File.h"
#include "fx/Sjis.h"

namespace fx {
namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kCrLf = "\r\n";

std::string_view Trim(std::string_view text) noexcept {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

struct Line {
  std::string text;    // without its line ending
  std::string ending;  // "\r\n", "\n", "\r" or "" (last line without one)
};

enum class LineKind { Other, Section, Entry };

struct LineInfo {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section name or key, trimmed
  std::string_view value;  // entry value, trimmed
};

LineInfo Classify(std::string_view text) {
  const std::string_view trimmed = Trim(text);
  if (trimmed.empty() || trimmed.front() == ';') return {};
  if (trimmed.front() == '[') {
    const std::size_t close = sjis::Find(trimmed, "]", 1);
    const std::string_view inner = trimmed.substr(1, close == npos ? npos : close - 1);
    return {LineKind::Section, Trim(inner), {}};
  }
  const std::size_t equals = sjis::Find(text, "=");
  if (equals == npos) return {};
  const std::string_view key = Trim(text.substr(0, equals));
  if (key.empty()) return {};
  return {LineKind::Entry, key, Trim(text.substr(equals + 1))};
}

struct SectionIndex {
  std::size_t header = 0;     // line of the first header with this name
  std::size_t lastEntry = 0;  // last key line of that section, or the header
  std::unordered_map<std::string, std::size_t> keys;  // folded key -> its first line
};

// A parsed file: its lines as read, and an index of the first occurrence of each section.
struct Document {
  std::vector<Line> lines;
  std::unordered_map<std::string, SectionIndex> sections;

  void Parse(std::string_view bytes) {
    lines.clear();
    std::size_t start = 0;
    while (start < bytes.size()) {
      const std::size_t end = bytes.find_first_of("\r\n", start);
      if (end == npos) {
        lines.push_back({std::string(bytes.substr(start)), ""});
        break;
      }
      const std::size_t endingLength = (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
      lines.push_back({std::string(bytes.substr(start, end - start)), std::string(bytes.substr(end, endingLength))});
      start = end + endingLength;
    }
    Reindex();
  }

  void Reindex() {
    sections.clear();
    SectionIndex* current = nullptr;  // null outside a section or in a repeated one
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const LineInfo info = Classify(lines[i].text);
      if (info.kind == LineKind::Section) {
        auto [it, inserted] = sections.try_emplace(sjis::ToLower(info.name));
        current = inserted ? &it->second : nullptr;
        if (current) current->header = current->lastEntry = i;
      } else if (info.kind == LineKind::Entry && current) {
        current->keys.try_emplace(sjis::ToLower(info.name), i);
        current->lastEntry = i;
      }
    }
  }

  const SectionIndex* FindSection(std::string_view section) const {
    const auto it = sections.find(sjis::ToLower(section));
    return it == sections.end() ? nullptr : &it->second;
  }

  std::optional<std::size_t> FindEntry(std::string_view section, std::string_view key) const {
    const SectionIndex* index = FindSection(section);
    if (!index) return std::nullopt;
    const auto it = index->keys.find(sjis::ToLower(key));
    if (it == index->keys.end()) return std::nullopt;
    return it->second;
  }

  std::string Serialize() const {
    std::string out;
    for (const Line& line : lines) {
      out += line.text;
      out += line.ending;
    }
    return out;
  }
};

struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t mtimeSeconds = 0;
  long mtimeNanoseconds = 0;

  static FileStamp Of(const struct stat& info) {
    return {info.st_dev, info.st_ino, info.st_size, static_cast<std::int64_t>(info.st_mtim.tv_sec),
            info.st_mtim.tv_nsec};
  }
  bool operator==(const FileStamp&) const = default;
};

struct CacheEntry {
  FileStamp stamp;
  std::shared_ptr<const Document> document;
};

std::mutex g_cacheMutex;
std::unordered_map<std::string, CacheEntry> g_cache;
std::size_t g_fileLoads = 0;

enum class LoadStatus { Missing, Unreadable, Loaded };

struct LoadResult {
  LoadStatus status = LoadStatus::Missing;
  std::shared_ptr<const Document> document;
  mode_t mode = 0644;
};

bool ReadAll(int fd, std::string& out) {
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    out.append(buffer, static_cast<std::size_t>(got));
  }
}

// The parsed file, from the cache while the file on disk is unchanged. Caller holds the mutex.
LoadResult Load(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    g_cache.erase(path);
    return {errno == ENOENT || errno == ENOTDIR ? LoadStatus::Missing : LoadStatus::Unreadable, nullptr, 0644};
  }
  if (!S_ISREG(info.st_mode)) {
    g_cache.erase(path);
    return {LoadStatus::Unreadable, nullptr, 0644};
  }
  const mode_t mode = info.st_mode & 07777;
  if (const auto it = g_cache.find(path); it != g_cache.end() && it->second.stamp == FileStamp::Of(info)) {
    return {LoadStatus::Loaded, it->second.document, mode};
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {LoadStatus::Unreadable, nullptr, mode};
  std::string bytes;
  const bool read = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ReadAll(fd, bytes);
  ::close(fd);
  if (!read) {
    g_cache.erase(path);
    return {LoadStatus::Unreadable, nullptr, mode};
  }
  auto document = std::make_shared<Document>();
  document->Parse(bytes);
  ++g_fileLoads;
  g_cache[path] = {FileStamp::Of(info), document};
  return {LoadStatus::Loaded, document, mode};
}

bool IsUsablePath(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

bool WriteFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// Writes the content to a temporary file beside the target and renames it over the target.
bool ReplaceFile(const std::string& path, std::string_view content, mode_t mode) {
  std::string target = path;
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {  // write through a symbolic link
    target = resolved;
    std::free(resolved);
  }
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string(".") : target.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = folder + (slash == std::string::npos ? "/." : ".") + base + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0 && WriteFully(fd, content);
  ok = (::close(fd) == 0) && ok;
  ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) ::unlink(temp.c_str());
  return ok;
}

void EnsureEnding(Line& line) {
  if (line.ending.empty()) line.ending = kCrLf;
}

}  // namespace
}  // namespace fx

namespace fx::backend {

std::optional<std::string> ProfileLookUp(std::string_view section, std::string_view key, std::string_view file) {
  const std::string path = NativePath(file);
  if (!IsUsablePath(path)) return std::nullopt;
  std::lock_guard lock(g_cacheMutex);
  const LoadResult loaded = Load(path);
  if (loaded.status != LoadStatus::Loaded) return std::nullopt;
  const auto line = loaded.document->FindEntry(section, key);
  if (!line) return std::nullopt;
  std::string_view value = Classify(loaded.document->lines[*line].text).value;
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool ProfileWrite(std::string_view section, std::string_view key, std::string_view value, std::string_view file) {
  const std::string path = NativePath(file);
  if (!IsUsablePath(path)) return false;
  std::lock_guard lock(g_cacheMutex);
  const LoadResult loaded = Load(path);
  if (loaded.status == LoadStatus::Unreadable) return false;
  Document document;
  if (loaded.document) document = *loaded.document;

  if (const auto line = document.FindEntry(section, key)) {
    Line& entry = document.lines[*line];
    const std::size_t equals = sjis::Find(entry.text, "=");
    if (std::string_view(entry.text).substr(equals + 1) == value) return true;  // already on disk
    // The key keeps the file's spelling, so a rewrite never leaves two spellings behind.
    entry.text = std::string(Classify(entry.text).name) + "=" + std::string(value);
    entry.ending = kCrLf;
  } else if (const SectionIndex* index = document.FindSection(section)) {
    const std::size_t after = index->lastEntry;
    EnsureEnding(document.lines[after]);
    document.lines.insert(document.lines.begin() + static_cast<std::ptrdiff_t>(after + 1),
                          Line{std::string(key) + "=" + std::string(value), std::string(kCrLf)});
  } else {
    if (!document.lines.empty()) EnsureEnding(document.lines.back());
    document.lines.push_back({"[" + std::string(section) + "]", std::string(kCrLf)});
    document.lines.push_back({std::string(key) + "=" + std::string(value), std::string(kCrLf)});
  }

  if (!ReplaceFile(path, document.Serialize(), loaded.mode)) return false;
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    g_cache.erase(path);
    return true;
  }
  document.Reindex();
  g_cache[path] = {FileStamp::Of(info), std::make_shared<const Document>(std::move(document))};
  return true;
}

}  // namespace fx::backend

namespace fx {

void ProfileForgetCache() {
  std::lock_guard lock(g_cacheMutex);
  g_cache.clear();
}

namespace testing {
std::size_t ProfileFileLoads() {
  std::lock_guard lock(g_cacheMutex);
  return g_fileLoads;
}
}  // namespace testing

}  // namespace fx
