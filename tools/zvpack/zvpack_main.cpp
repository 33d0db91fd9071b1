// zvpack: the command line over the packing and archive-checking functions.
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/pe_resources.h"
#include "tools/zvpack/setup_command.h"
#include "tools/zvpack/stored_name.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Exit codes; a retired number is never reused.
enum ExitCode : int {
  kExitOk = 0,
  kExitUsage = 1,        // bad command line
  kExitCreateFailed = 2, // an input refused or unreadable, or the archive not written
  kExitDamaged = 3,      // an archive or executable unreadable or failing its checks
  kExitExtractFailed = 4 // a file of an entry could not be written
};

const char kHelp[] =
    "usage:\n"
    "  zvpack create [-0..-9 | --best] [--threads N] ARCHIVE DIR\n"
    "  zvpack create [-0..-9 | --best] [--threads N] [--base DIR] ARCHIVE --list LISTFILE\n"
    "  zvpack list FILE\n"
    "  zvpack verify FILE\n"
    "  zvpack extract [-v] FILE DIR\n"
    "\n"
    "create  packs every regular file under DIR, sorted by stored name (byte order),\n"
    "        or the files of LISTFILE in its order. A LISTFILE line is either\n"
    "        NAME<TAB>HOSTPATH or a bare NAME that is also the path under the base\n"
    "        directory (--base, default: the list file's directory). Names use \\ or /\n"
    "        and are stored with \\. Blank lines and lines starting with # are skipped.\n"
    "        Every name must be one the launcher unpacks (a plain relative path of at\n"
    "        most 255 bytes, no device names, no trailing dot or blank), in\n"
    "        Windows-1252, the launcher's ANSI code page: a name that 1252 cannot\n"
    "        hold is refused. A symbolic link is packed as what it points to;\n"
    "        FIFOs, sockets and devices are refused, and so is an entry of 4 GiB.\n"
    "        -N is the zlib level (default 6). --best makes the smallest streams\n"
    "        (libdeflate's level 12, still zlib streams; many times slower than -9).\n"
    "        --threads N compresses on N threads (default: all cores); the archive\n"
    "        is the same bytes for any N.\n"
    "        time1 = modification time, time2 = status-change time, time3 = the\n"
    "        newest of those in the archive, or SOURCE_DATE_EPOCH when set (which\n"
    "        also clamps time1 and time2).\n"
    "list    prints each entry's offset, packed and inflated size and name (UTF-8).\n"
    "verify  checks bounds, layout (first stream at 4, no gap or overlap, directory\n"
    "        ending the file) and that every stream inflates to its size with a valid\n"
    "        Adler-32; names the first failing entry.\n"
    "extract verifies, then unpacks with the launcher's own code into the host\n"
    "        directory DIR (made when missing). -v prints each name.\n"
    "FILE is an archive or a launcher executable (PE32/PE32+): then every resource\n"
    "of type ZVArc is taken, and extract puts each into DIR/NAME (DIR/NAME.LANGUAGE\n"
    "when a name comes in several languages).\n"
    "exit codes: 0 ok, 1 usage, 2 create failed, 3 damaged input, 4 extract failed.\n";

int Usage() {
  std::fputs(kHelp, stderr);
  std::fputs(zvpack::kSetupHelp, stderr);
  return kExitUsage;
}

int Fail(const std::string& line, int code) {
  std::fprintf(stderr, "zvpack: %s\n", line.c_str());
  return code;
}

using zvpack::ReadWholeFile;

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

int Create(int argc, char** argv) {
  zvpack::PackOptions options;
  std::string listFile;
  std::string baseDir;
  std::vector<std::string> positional;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() == 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9') {
      options.level = arg[1] - '0';
    } else if (arg == "--best") {
      options.level = zvpack::kBestLevel;
    } else if (arg == "--threads" && i + 1 < argc) {
      char* end = nullptr;
      long n = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || n < 1 || n > 1024) return Fail("--threads needs a number from 1 to 1024", kExitUsage);
      options.threads = static_cast<unsigned>(n);
    } else if (arg == "--list" && i + 1 < argc) {
      listFile = argv[++i];
    } else if (arg == "--base" && i + 1 < argc) {
      baseDir = argv[++i];
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      positional.push_back(arg);
    }
  }
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    unsigned long long value = std::strtoull(epoch, &end, 10);
    if (*epoch == '\0' || *end != '\0' || value > 0xFFFFFFFFull) {
      return Fail("SOURCE_DATE_EPOCH is not a number of seconds that fits 32 bits", kExitUsage);
    }
    options.haveEpoch = true;
    options.epoch = static_cast<uint32_t>(value);
  }
  options.progress = isatty(STDERR_FILENO) != 0;

  std::vector<zvpack::PackInput> inputs;
  std::string error;
  if (!listFile.empty()) {
    if (positional.size() != 1) return Usage();
    if (!zvpack::ReadListFile(listFile, baseDir.empty() ? DirectoryOf(listFile) : baseDir, &inputs, &error)) {
      return Fail(error, kExitCreateFailed);
    }
  } else {
    if (positional.size() != 2 || !baseDir.empty()) return Usage();
    if (!zvpack::CollectDirectory(positional[1], &inputs, &error)) return Fail(error, kExitCreateFailed);
  }
  if (!zvpack::CreateArchive(positional[0], inputs, options, &error)) return Fail(error, kExitCreateFailed);
  return kExitOk;
}

// Runs write on a stream whose text, with entry names in Windows-1252, then
// reaches stdout in UTF-8 (the rest of it is ASCII).
template <typename Write>
bool PrintNamesAsUtf8(Write write) {
  char* text = nullptr;
  size_t length = 0;
  std::FILE* buffer = open_memstream(&text, &length);
  if (buffer == nullptr) return write(stdout);
  const bool ok = write(buffer);
  std::fclose(buffer);
  std::fputs(zvpack::DisplayName(std::string(text, length)).c_str(), stdout);
  std::free(text);
  return ok;
}

// One archive found in FILE: its bytes and how to name it in messages.
struct Found {
  std::string label;
  std::string name;  // resource name, empty for a plain archive file
  uint16_t language;
  const unsigned char* base;
  size_t size;
};

int ReadCommand(const std::string& command, int argc, char** argv) {
  bool verbose = false;
  std::vector<std::string> positional;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "-v" && command == "extract") {
      verbose = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return Usage();
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != (command == "extract" ? 2u : 1u)) return Usage();
  const std::string& path = positional[0];
  std::vector<unsigned char> bytes;
  if (!ReadWholeFile(path, &bytes)) return Fail(path + ": cannot be read", kExitDamaged);

  std::vector<Found> found;
  std::string error;
  if (zvpack::LooksLikePe(bytes.data(), bytes.size())) {
    std::vector<zvpack::PeResource> resources;
    if (!zvpack::FindPeResources(bytes.data(), bytes.size(), "ZVArc", &resources, &error)) {
      return Fail(path + ": " + error, kExitDamaged);
    }
    if (resources.empty()) return Fail(path + ": no resource of type ZVArc", kExitDamaged);
    for (const zvpack::PeResource& r : resources) {
      // The name becomes a folder below DIR for extract: keep it there.
      if (r.name.empty() || r.name == "." || r.name == ".." || r.name.find_first_of("/\\") != std::string::npos) {
        return Fail(path + ": resource name \"" + r.name + "\" cannot name a folder", kExitDamaged);
      }
      found.push_back(Found{path + ":" + r.name + " (language " + std::to_string(r.language) + ")", r.name,
                            r.language, bytes.data() + r.fileOffset, r.size});
    }
  } else {
    found.push_back(Found{path, "", 0, bytes.data(), bytes.size()});
  }

  for (const Found& archive : found) {
    bool ok;
    int failCode = kExitDamaged;
    if (command == "list") {
      if (found.size() > 1 || !archive.name.empty()) std::printf("%s:\n", archive.label.c_str());
      ok = PrintNamesAsUtf8([&](std::FILE* out) { return zvpack::ListArchive(archive.base, archive.size, out, &error); });
    } else if (command == "verify") {
      ok = zvpack::VerifyArchive(archive.base, archive.size, &error);
      if (ok) std::printf("%s: ok\n", archive.label.c_str());
    } else {
      std::string dir = positional[1];
      if (!archive.name.empty()) {
        dir += "/" + archive.name;
        // The same name in several languages: one folder per language.
        size_t sameName = 0;
        for (const Found& other : found) sameName += other.name == archive.name;
        if (sameName > 1) dir += "." + std::to_string(archive.language);
      }
      ok = PrintNamesAsUtf8(
          [&](std::FILE* out) { return zvpack::ExtractArchive(archive.base, archive.size, dir, verbose, out, &error); });
      // A damaged archive is refused before writing; anything later is a write failure.
      if (!ok && !zvpack::VerifyArchive(archive.base, archive.size, &error)) {
        failCode = kExitDamaged;
      } else if (!ok) {
        failCode = kExitExtractFailed;
      }
    }
    if (!ok) return Fail(archive.label + ": " + error, failCode);
  }
  return kExitOk;
}

int SetupExitCode(zvpack::SetupOutcome outcome) {
  switch (outcome) {
    case zvpack::SetupOutcome::kOk: return kExitOk;
    case zvpack::SetupOutcome::kUsage: return kExitUsage;
    case zvpack::SetupOutcome::kPackFailed: return kExitCreateFailed;
    case zvpack::SetupOutcome::kStubDamaged: return kExitDamaged;
  }
  return kExitCreateFailed;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string command = argv[1];
  if (command == "--help" || command == "-h" || command == "help") {
    std::fputs(kHelp, stdout);
    std::fputs(zvpack::kSetupHelp, stdout);
    return kExitOk;
  }
  if (command == "create") return Create(argc - 2, argv + 2);
  if (command == "list" || command == "verify" || command == "extract") return ReadCommand(command, argc - 2, argv + 2);
  if (command == "setup") return SetupExitCode(zvpack::RunSetupCommand(argc - 2, argv + 2));
  return Usage();
}
