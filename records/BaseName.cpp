#include "records/BaseName.h"

#include "fx/Sjis.h"

namespace pellix {

std::string_view BaseName(std::string_view name) noexcept {
  if (name.size() <= kNameSuffixBytes) return name;
  return fx::sjis::Cut(name, name.size() - kNameSuffixBytes);
}

}  // namespace pellix
