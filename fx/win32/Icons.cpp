// Icons drawn from their templates: a coloured square with a letter, at 32 x 32 and 16 x 16.
#include <map>

#include "Win32.h"

namespace fx::win32 {
namespace {

struct IconPair {
  IconTemplate source;
  HICON big = nullptr;
  HICON little = nullptr;
};

std::map<int, IconPair>& Icons() {
  static std::map<int, IconPair> icons;
  return icons;
}

HICON Draw(const IconTemplate& tmpl, int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HDC screen = ::GetDC(nullptr);
  HDC dc = ::CreateCompatibleDC(screen);
  ::ReleaseDC(nullptr, screen);
  HBITMAP colour = ::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (colour == nullptr) {
    ::DeleteDC(dc);
    return nullptr;
  }
  HGDIOBJ oldBitmap = ::SelectObject(dc, colour);
  RECT all{0, 0, size, size};
  HBRUSH background = ::CreateSolidBrush(tmpl.background);
  ::FillRect(dc, &all, background);
  ::DeleteObject(background);
  HBRUSH frame = ::CreateSolidBrush(tmpl.foreground);
  ::FrameRect(dc, &all, frame);
  ::DeleteObject(frame);
  HFONT font = ::CreateFontW(-size * 3 / 4, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
  HGDIOBJ oldFont = ::SelectObject(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, tmpl.foreground);
  wchar_t glyph[2] = {static_cast<wchar_t>(static_cast<unsigned char>(tmpl.glyph)), 0};
  ::DrawTextW(dc, glyph, 1, &all, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::SelectObject(dc, oldFont);
  ::DeleteObject(font);
  ::SelectObject(dc, oldBitmap);
  ::GdiFlush();
  // GDI leaves alpha at 0: the whole square is opaque.
  auto* pixel = static_cast<DWORD*>(bits);
  for (int i = 0; i < size * size; ++i) pixel[i] |= 0xFF000000u;
  HBITMAP mask = ::CreateBitmap(size, size, 1, 1, nullptr);
  ICONINFO icon{TRUE, 0, 0, mask, colour};
  HICON handle = ::CreateIconIndirect(&icon);
  ::DeleteObject(mask);
  ::DeleteObject(colour);
  ::DeleteDC(dc);
  return handle;
}

bool Same(const IconTemplate& a, const IconTemplate& b) {
  return a.background == b.background && a.foreground == b.foreground && a.glyph == b.glyph;
}

IconPair* Load(int id) {
  const IconTemplate* tmpl = FindIconTemplate(id);
  if (tmpl == nullptr) return nullptr;
  auto& icons = Icons();
  auto found = icons.find(id);
  if (found != icons.end() && Same(found->second.source, *tmpl)) return &found->second;
  // Handles given out before stay valid: windows may still show them.
  IconPair pair{*tmpl, Draw(*tmpl, 32), Draw(*tmpl, 16)};
  icons[id] = pair;
  return &icons[id];
}

}  // namespace

int IconIdOf(HICON icon) {
  if (icon == nullptr) return -1;
  for (const auto& [id, pair] : Icons())
    if (pair.big == icon || pair.little == icon) return id;
  return -1;
}

HICON SmallIconOf(int id) {
  IconPair* pair = Load(id);
  return pair ? pair->little : nullptr;
}

}  // namespace fx::win32

HICON AfxLoadIcon(int id) {
  fx::win32::IconPair* pair = fx::win32::Load(id);
  return pair ? pair->big : nullptr;
}
