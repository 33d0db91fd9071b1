// Reading a whole input file and the build date from the environment.
#include "tools/zvpack/cli_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace zvpack {

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool ReadSourceDateEpoch(PackOptions* options, std::string* error) {
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch == nullptr) return true;
  char* end = nullptr;
  unsigned long long value = std::strtoull(epoch, &end, 10);
  if (*epoch == '\0' || *end != '\0' || value > 0xFFFFFFFFull) {
    *error = "SOURCE_DATE_EPOCH is not a number of seconds that fits 32 bits";
    return false;
  }
  options->haveEpoch = true;
  options->epoch = static_cast<uint32_t>(value);
  return true;
}

}  // namespace zvpack
