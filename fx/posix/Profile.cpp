#include "fx/Profile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
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
  // A '[' without its ']' starts no section: the line stays in the section before it.
  const std::size_t close = trimmed.front() == '[' ? sjis::Find(trimmed, "]", 1) : npos;
  if (close != npos) return {LineKind::Section, Trim(trimmed.substr(1, close - 1)), {}};
  const std::size_t equals = sjis::Find(text, "=");
  if (equals == npos) return {};
  const std::string_view key = Trim(text.substr(0, equals));
  if (key.empty()) return {};
  return {LineKind::Entry, key, Trim(text.substr(equals + 1))};
}

// A line's place: its block, and its index there.
struct Position {
  std::size_t block = 0;
  std::size_t line = 0;
};

struct SectionIndex {
  std::size_t block = 0;      // the block of the first header with this name
  std::size_t lastEntry = 0;  // in that block: the last key line, or the header (0)
  std::unordered_map<std::string, std::size_t> keys;  // folded key -> its first line in the block
};

// A parsed file: its lines as read, in blocks that each start at a section header (the first
// block holds what comes before any), and an index of the first occurrence of each section.
// A key added to a section moves only the lines after it in its own block, so a write updates
// the index in place instead of rebuilding it.
struct Document {
  std::vector<std::vector<Line>> blocks{1};
  std::unordered_map<std::string, SectionIndex> sections;

  void Parse(std::string_view bytes) {
    blocks.assign(1, {});
    sections.clear();
    SectionIndex* current = nullptr;  // null outside a section or in a repeated one
    std::size_t start = 0;
    while (start < bytes.size()) {
      const std::size_t end = bytes.find_first_of("\r\n", start);
      const std::size_t textEnd = end == npos ? bytes.size() : end;
      const std::size_t endingLength =
          end == npos ? 0 : (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
      const std::string_view text = bytes.substr(start, textEnd - start);
      const LineInfo info = Classify(text);
      if (info.kind == LineKind::Section) {
        blocks.emplace_back();
        auto [it, inserted] = sections.try_emplace(sjis::ToLower(info.name));
        current = inserted ? &it->second : nullptr;
        if (current) current->block = blocks.size() - 1;
      } else if (info.kind == LineKind::Entry && current) {
        current->keys.try_emplace(sjis::ToLower(info.name), blocks.back().size());
        current->lastEntry = blocks.back().size();
      }
      blocks.back().push_back({std::string(text), std::string(bytes.substr(textEnd, endingLength))});
      start = textEnd + endingLength;
    }
  }

  Line& At(Position position) { return blocks[position.block][position.line]; }
  const Line& At(Position position) const { return blocks[position.block][position.line]; }

  SectionIndex* FindSection(std::string_view section) {
    const auto it = sections.find(sjis::ToLower(section));
    return it == sections.end() ? nullptr : &it->second;
  }

  std::optional<Position> FindEntry(std::string_view section, std::string_view key) const {
    const auto found = sections.find(sjis::ToLower(section));
    if (found == sections.end()) return std::nullopt;
    const SectionIndex& index = found->second;
    const auto it = index.keys.find(sjis::ToLower(key));
    if (it == index.keys.end()) return std::nullopt;
    return Position{index.block, it->second};
  }

  // The last line of the file; null for an empty file.
  Line* LastLine() {
    for (auto block = blocks.rbegin(); block != blocks.rend(); ++block)
      if (!block->empty()) return &block->back();
    return nullptr;
  }

  // After the section's last key, or after its header when it has none.
  void AddEntry(SectionIndex& index, std::string_view key, std::string_view value) {
    std::vector<Line>& block = blocks[index.block];
    EnsureEnding(block[index.lastEntry]);
    const std::size_t at = index.lastEntry + 1;
    block.insert(block.begin() + static_cast<std::ptrdiff_t>(at),
                 Line{std::string(key) + "=" + std::string(value), std::string(kCrLf)});
    index.keys.try_emplace(sjis::ToLower(key), at);
    index.lastEntry = at;
  }

  void AddSection(std::string_view section, std::string_view key, std::string_view value) {
    if (Line* last = LastLine()) EnsureEnding(*last);
    blocks.push_back({{"[" + std::string(section) + "]", std::string(kCrLf)},
                      {std::string(key) + "=" + std::string(value), std::string(kCrLf)}});
    SectionIndex& index = sections[sjis::ToLower(section)];
    index.block = blocks.size() - 1;
    index.lastEntry = 1;
    index.keys.try_emplace(sjis::ToLower(key), 1);
  }

  std::string Serialize() const {
    std::size_t size = 0;
    for (const auto& block : blocks)
      for (const Line& line : block) size += line.text.size() + line.ending.size();
    std::string out;
    out.reserve(size);
    for (const auto& block : blocks) {
      for (const Line& line : block) {
        out += line.text;
        out += line.ending;
      }
    }
    return out;
  }

  static void EnsureEnding(Line& line) {
    if (line.ending.empty()) line.ending = kCrLf;
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
  Document document;
};

std::mutex g_cacheMutex;
std::unordered_map<std::string, CacheEntry> g_cache;
std::size_t g_fileLoads = 0;

enum class LoadStatus { Missing, Unreadable, Loaded };

struct LoadResult {
  LoadStatus status = LoadStatus::Missing;
  Document* document = nullptr;  // the cached parse, valid while the caller holds the mutex
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
    return {LoadStatus::Loaded, &it->second.document, mode};
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
  CacheEntry& entry = g_cache[path];
  entry.stamp = FileStamp::Of(info);
  entry.document.Parse(bytes);
  ++g_fileLoads;
  return {LoadStatus::Loaded, &entry.document, mode};
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
  std::string_view value = Classify(loaded.document->At(*line).text).value;
  // A value ends at its first NUL, as the Windows functions read it: everything after the read
  // sees an ordinary string. They trim the whole value first, so a blank before the NUL stays.
  value = value.substr(0, value.find('\0'));
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
  // The cached parse is changed in place: a write costs the pass that writes the file out, not
  // a copy of the whole parse. When the file cannot be written, the parse is dropped, and the
  // next call reads the file as it stayed on disk.
  CacheEntry missing;
  Document& document = loaded.document ? *loaded.document : missing.document;

  if (const auto line = document.FindEntry(section, key)) {
    Line& entry = document.At(*line);
    const std::size_t equals = sjis::Find(entry.text, "=");
    if (std::string_view(entry.text).substr(equals + 1) == value) return true;  // already on disk
    // The key keeps the file's spelling, so a rewrite never leaves two spellings behind.
    entry.text = std::string(Classify(entry.text).name) + "=" + std::string(value);
    entry.ending = kCrLf;
  } else if (SectionIndex* index = document.FindSection(section)) {
    document.AddEntry(*index, key, value);
  } else {
    document.AddSection(section, key, value);
  }

  if (!ReplaceFile(path, document.Serialize(), loaded.mode)) {
    g_cache.erase(path);
    return false;
  }
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    g_cache.erase(path);
    return true;
  }
  if (loaded.document) {
    g_cache[path].stamp = FileStamp::Of(info);
  } else {
    missing.stamp = FileStamp::Of(info);
    g_cache[path] = std::move(missing);
  }
  return true;
}

}  // namespace fx::backend

namespace fx {

void ProfileForgetCache() {
  std::lock_guard lock(g_cacheMutex);
  g_cache.clear();
}

namespace seams {
std::size_t ProfileFileLoads() {
  std::lock_guard lock(g_cacheMutex);
  return g_fileLoads;
}
}  // namespace seams

}  // namespace fx
