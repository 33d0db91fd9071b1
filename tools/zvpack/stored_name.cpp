// Entry names: host UTF-8 to the archive's Windows-1252 and back, case folding.
#include "tools/zvpack/stored_name.h"

#include "platform/common/cp1252.h"

#include <algorithm>

namespace zvpack {

bool ToStoredName(const std::string& hostName, std::string* stored, std::string* problem) {
  if (!platform::Utf8ToCp1252(hostName, stored, problem)) return false;
  std::replace(stored->begin(), stored->end(), '/', '\\');
  return true;
}

std::string DisplayName(const std::string& stored) { return platform::Cp1252ToUtf8(stored); }

std::string CaseFoldedName(const std::string& stored) {
  std::string key = stored;
  for (char& c : key) c = static_cast<char>(platform::Cp1252UpperCase(static_cast<unsigned char>(c)));
  return key;
}

bool HasNonAsciiByte(const std::string& stored) {
  return std::any_of(stored.begin(), stored.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

}  // namespace zvpack
