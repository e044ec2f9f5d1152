// CString: the framework's byte string. It holds Shift-JIS bytes; lengths are in bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class CString {
 public:
  CString() = default;
  CString(const char* text) : m_text(text ? text : "") {}  // NOLINT: implicit, as the framework's
  CString(const char* text, std::size_t length) : m_text(text ? std::string(text, length) : std::string()) {}
  CString(std::string_view text) : m_text(text) {}  // NOLINT
  CString(std::string text) : m_text(std::move(text)) {}  // NOLINT

  int GetLength() const noexcept { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const noexcept { return m_text.empty(); }
  void Empty() noexcept { m_text.clear(); }

  const char* GetString() const noexcept { return m_text.c_str(); }
  operator const char*() const noexcept { return m_text.c_str(); }  // NOLINT
  std::string_view View() const noexcept { return m_text; }
  const std::string& Str() const noexcept { return m_text; }

  CString& operator=(const char* text) { m_text = text ? text : ""; return *this; }
  CString& operator=(std::string_view text) { m_text = text; return *this; }
  CString& operator=(const std::string& text) { m_text = text; return *this; }
  CString& operator+=(std::string_view text) { m_text += text; return *this; }
  CString& operator+=(const char* text) { if (text) m_text += text; return *this; }
  CString& operator+=(char c) { m_text += c; return *this; }

  friend bool operator==(const CString& a, const CString& b) noexcept { return a.m_text == b.m_text; }
  friend bool operator==(const CString& a, const char* b) noexcept { return a.m_text == (b ? b : ""); }
  friend CString operator+(const CString& a, std::string_view b) { CString r(a); r += b; return r; }

  // printf-style formatting into this string; the result has no length limit of its own.
  void Format(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));

 private:
  std::string m_text;
};
