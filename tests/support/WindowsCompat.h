// The POSIX calls the tests use for scratch folders, on Windows (mingw). Included first into
// every test source of the Windows build; nothing here exists elsewhere.
#pragma once

#ifdef _WIN32
#include <direct.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <random>

// Fills the trailing XXXXXX with random letters and makes the folder.
inline char* mkdtemp(char* pattern) {
  const std::size_t length = std::strlen(pattern);
  if (length < 6 || std::strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
  static std::mt19937 random{std::random_device{}()};
  static constexpr char letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    for (std::size_t i = length - 6; i < length; ++i) pattern[i] = letters[random() % (sizeof letters - 1)];
    if (::_mkdir(pattern) == 0) return pattern;
  }
  return nullptr;
}

inline int mkdir(const char* path, int) { return ::_mkdir(path); }

// POSIX permission bits bind no one on Windows, as they bind no root: tests that need them
// to refuse a write take the root path.
inline int geteuid() { return 0; }
#endif
