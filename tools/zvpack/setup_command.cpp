// "zvpack setup": options, the checks, packing and writing the setup.
#include "tools/zvpack/setup_command.h"

#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/pe_resource_writer.h"
#include "tools/zvpack/setup_payload.h"
#include "tools/zvpack/version_resource.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace zvpack {

const char kSetupHelp[] =
    "  zvpack setup [-0..-9 | --best] [--threads N] --stub STUB --payload DIR|MANIFEST\n"
    "               --out SETUP [--version A.B.C.D]\n"
    "  zvpack setup --check --payload DIR|MANIFEST\n"
    "\n"
    "setup   packs the eight archives of a payload folder (NAME/ or NAME.list per\n"
    "        archive) or manifest (\"NAME PATH\" lines) and writes them as ZVArc\n"
    "        resources (German, 1031) into a copy of STUB, replacing its own; every\n"
    "        other resource and all code stay. SETUPBASE must hold Vistart.exe and\n"
    "        pidwait.exe; the archives together at most 1 GiB. --best is the default.\n"
    "        --version sets the file and product version of the version resource.\n"
    "        A signed STUB is refused: sign the setup after this step.\n"
    "        --check runs the payload's checks alone and packs nothing.\n";

namespace {

constexpr uint16_t kGerman = 1031;
constexpr uint16_t kVersionType = 16;  // RT_VERSION

struct SetupOptions {
  PackOptions pack;
  std::string stub, payload, out;
  bool haveVersion = false;
  FileVersion version{};
  bool checkOnly = false;
};

SetupOutcome Fail(const std::string& line, SetupOutcome outcome) {
  std::fprintf(stderr, "zvpack: %s\n", line.c_str());
  return outcome;
}

bool ParseOptions(int argc, char** argv, SetupOptions* o, std::string* error) {
  o->pack.level = kBestLevel;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg.size() == 2 && arg[0] == '-' && arg[1] >= '0' && arg[1] <= '9') {
      o->pack.level = arg[1] - '0';
    } else if (arg == "--best") {
      o->pack.level = kBestLevel;
    } else if (arg == "--threads" && hasValue) {
      char* end = nullptr;
      long n = std::strtol(argv[++i], &end, 10);
      if (*end != '\0' || n < 1 || n > 1024) {
        *error = "--threads needs a number from 1 to 1024";
        return false;
      }
      o->pack.threads = static_cast<unsigned>(n);
    } else if (arg == "--check") {
      o->checkOnly = true;
    } else if (arg == "--stub" && hasValue) {
      o->stub = argv[++i];
    } else if (arg == "--payload" && hasValue) {
      o->payload = argv[++i];
    } else if (arg == "--out" && hasValue) {
      o->out = argv[++i];
    } else if (arg == "--version" && hasValue) {
      o->haveVersion = ParseFileVersion(argv[++i], &o->version);
      if (!o->haveVersion) {
        *error = std::string("--version needs A.B.C.D, each 0 to 65535, not ") + argv[i];
        return false;
      }
    } else {
      *error = "setup: unknown or incomplete option " + arg;
      return false;
    }
  }
  if (o->checkOnly ? o->payload.empty() : o->stub.empty() || o->payload.empty() || o->out.empty()) {
    *error = o->checkOnly ? "setup --check needs --payload" : "setup needs --stub, --payload and --out";
    return false;
  }
  if (!ReadSourceDateEpoch(&o->pack, error)) return false;
  o->pack.progress = isatty(STDERR_FILENO) != 0;
  return true;
}

// The stub's resources without its archives, the version changed when asked.
bool StubResources(const std::vector<unsigned char>& stub, const SetupOptions& o,
                   std::vector<PeResourceData>* kept, std::string* error) {
  std::vector<PeResourceData> all;
  if (!ReadPeResourceData(stub, &all, error)) return false;
  kept->clear();
  bool versionSet = false;
  for (PeResourceData& r : all) {
    if (r.type.IsNamed("ZVArc")) continue;
    if (o.haveVersion && r.type == PeResourceKey::Id(kVersionType)) {
      if (!SetFileVersion(&r.bytes, o.version, error)) return false;
      versionSet = true;
    }
    kept->push_back(std::move(r));
  }
  if (o.haveVersion && !versionSet) {
    *error = "no version resource to set --version in";
    return false;
  }
  return true;
}

// Packs each archive into a temporary folder and adds it to *resources.
bool PackArchives(const std::vector<SetupArchive>& archives, const SetupOptions& o, const std::string& folder,
                  std::vector<PeResourceData>* resources, std::string* error) {
  for (const SetupArchive& archive : archives) {
    std::string path = folder + "/" + archive.name + ".zva";
    std::vector<unsigned char> bytes;
    if (!CreateArchive(path, archive.inputs, o.pack, error)) return false;
    if (!ReadWholeFile(path, &bytes)) {
      *error = path + ": cannot be read back";
      return false;
    }
    // windres stores the type name upper case, as every resource name; lookups ignore case.
    resources->push_back(PeResourceData{PeResourceKey::Name("ZVARC"), PeResourceKey::Name(archive.name), kGerman, 0,
                                        std::string(bytes.begin(), bytes.end())});
  }
  return true;
}

// Writes bytes to path through a temporary file beside it, executable.
bool WriteThroughTemporary(const std::string& path, const std::vector<unsigned char>& bytes, std::string* error) {
  std::string temp = path + ".tmp-XXXXXX";
  int fd = mkstemp(&temp[0]);
  if (fd < 0) {
    *error = temp + ": " + std::strerror(errno);
    return false;
  }
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == bytes.size() && fchmod(fd, 0755) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  *error = path + ": cannot be written (" + std::strerror(errno) + ")";
  std::remove(temp.c_str());
  return false;
}

}  // namespace

SetupOutcome RunSetupCommand(int argc, char** argv) {
  SetupOptions o;
  std::string error;
  if (!ParseOptions(argc, argv, &o, &error)) return Fail(error, SetupOutcome::kUsage);

  std::vector<SetupArchive> archives;
  uint64_t worstCase = 0;
  if (!ReadSetupPayload(o.payload, &archives, &error) || !CheckSetupArchives(archives, &error) ||
      !WorstCasePayloadBytes(archives, &worstCase, &error)) {
    return Fail(error, SetupOutcome::kPackFailed);
  }
  if (worstCase > kMaxSetupPayloadBytes) {
    return Fail(o.payload + ": the eight archives could take " + std::to_string(worstCase >> 20) +
                    " MiB, more than the " + std::to_string(kMaxSetupPayloadBytes >> 20) +
                    " MiB a 32-bit setup can map",
                SetupOutcome::kPackFailed);
  }
  if (o.checkOnly) {
    std::printf("%s: ok, at most %llu MiB packed\n", o.payload.c_str(),
                static_cast<unsigned long long>((worstCase + (1 << 20) - 1) >> 20));
    return SetupOutcome::kOk;
  }

  std::vector<unsigned char> stub;
  if (!ReadWholeFile(o.stub, &stub)) return Fail(o.stub + ": cannot be read", SetupOutcome::kStubDamaged);
  std::vector<PeResourceData> resources;
  std::vector<unsigned char> setup;
  // A trial write without archives finds what the stub's layout refuses before packing.
  if (!StubResources(stub, o, &resources, &error) || !ReplacePeResources(stub, resources, &setup, &error)) {
    return Fail(o.stub + ": " + error, SetupOutcome::kStubDamaged);
  }

  std::string folder = o.out + ".archives-XXXXXX";
  if (mkdtemp(&folder[0]) == nullptr) return Fail(folder + ": " + std::strerror(errno), SetupOutcome::kPackFailed);
  bool ok = PackArchives(archives, o, folder, &resources, &error) && ReplacePeResources(stub, resources, &setup, &error) &&
            WriteThroughTemporary(o.out, setup, &error);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return ok ? SetupOutcome::kOk : Fail(error, SetupOutcome::kPackFailed);
}

}  // namespace zvpack
