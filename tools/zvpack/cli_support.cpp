// Reading a whole input file, the build date from the environment, the packing options.
#include "tools/zvpack/cli_support.h"

#include "tools/zvpack/compress.h"

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

PackOption TakePackOption(int argc, char** argv, int* i, PackOptions* options, std::string* error) {
  const std::string arg = argv[*i];
  if (arg.size() == 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9') {
    options->level = arg[1] - '0';
    return PackOption::kTaken;
  }
  if (arg == "--best") {
    options->level = kBestLevel;
    return PackOption::kTaken;
  }
  if (arg != "--threads" || *i + 1 >= argc) return PackOption::kOther;
  char* end = nullptr;
  const long n = std::strtol(argv[++*i], &end, 10);
  if (*end != '\0' || n < 1 || n > 1024) {
    *error = "--threads needs a number from 1 to 1024";
    return PackOption::kBad;
  }
  options->threads = static_cast<unsigned>(n);
  return PackOption::kTaken;
}

}  // namespace zvpack
