#include "script/engine/regex/CharCase.h"

#include <cwctype>

namespace orvet {

char16_t lowerChar(char16_t c) {
  return static_cast<char16_t>(std::towlower(static_cast<std::wint_t>(c)));
}

char16_t upperChar(char16_t c) {
  return static_cast<char16_t>(std::towupper(static_cast<std::wint_t>(c)));
}

}  // namespace orvet
