// Reading a whole input file, the build date from the environment, the packing options.
#include "tools/zvpack/cli_support.h"

#include "platform/tool/file_system.h"
#include "platform/tool/input_file.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/exit_codes.h"

#include <cstdio>
#include <cstdlib>

namespace zvpack {

FileRead ReadFileBytes(const std::string& path, std::string* bytes) {
  std::FILE* file = platform_tool::OpenFile(path, "rb");
  if (file == nullptr) return FileRead::kNotOpened;
  bytes->clear();
  char block[1 << 16];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes->append(block, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? FileRead::kReadFailed : FileRead::kDone;
}

bool ReadWholeFile(const std::string& path, std::vector<unsigned char>* bytes) {
  std::string read;
  if (ReadFileBytes(path, &read) != FileRead::kDone) return false;
  bytes->assign(read.begin(), read.end());
  return true;
}

uint64_t FileSizeOrZero(const std::string& path) {
  platform_tool::FileFacts facts;
  platform_tool::FileFailure failure;
  return platform_tool::GetFileFacts(path, &facts, &failure) ? facts.size : 0;
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

int Fail(const std::string& error, int code) {
  size_t start = 0;
  while (start <= error.size()) {
    size_t end = error.find('\n', start);
    if (end == std::string::npos) end = error.size();
    std::fprintf(stderr, "zvpack: %s\n", error.substr(start, end - start).c_str());
    start = end + 1;
  }
  return code;
}

int UsageError(const std::string& command, const std::string& problem) {
  std::fprintf(stderr, "zvpack %s: %s (zvpack help %s shows the usage)\n", command.c_str(), problem.c_str(),
               command.c_str());
  return kExitUsage;
}

std::string UnknownOption(const std::string& arg, bool takesValue) {
  return takesValue ? arg + " needs a value" : "unknown option " + arg;
}

PackOption TakePackOption(int argc, char** argv, int* i, SharedPackOptions* shared, std::string* error) {
  PackOptions* options = &shared->pack;
  const std::string arg = argv[*i];
  if (arg.size() == 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9') {
    options->level = arg[1] - '0';
    return PackOption::kTaken;
  }
  if (arg == "--best") {
    options->level = kBestLevel;
    return PackOption::kTaken;
  }
  if (arg == "--quiet" || arg == "-q") {
    shared->quiet = true;
    return PackOption::kTaken;
  }
  if ((arg == "--exclude" || arg == "--threads") && *i + 1 >= argc) {
    *error = arg + " needs a value";
    return PackOption::kBad;
  }
  if (arg == "--exclude") return shared->exclude.Add(argv[++*i], error) ? PackOption::kTaken : PackOption::kBad;
  if (arg != "--threads") return PackOption::kOther;
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
