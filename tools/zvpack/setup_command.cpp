// "zvpack setup": options, the checks, packing and writing the setup.
#include "tools/zvpack/setup_command.h"

#include "tools/zvpack/commands.h"
#include "tools/zvpack/compress.h"
#include "tools/zvpack/exit_codes.h"
#include "tools/zvpack/json_writer.h"
#include "tools/zvpack/pack.h"
#include "tools/zvpack/pe_resource_writer.h"
#include "tools/zvpack/progress.h"
#include "tools/zvpack/setup_payload.h"
#include "tools/zvpack/temp_output.h"
#include "platform/tool/file_system.h"
#include "platform/tool/run_command.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zvpack {
namespace {

constexpr uint16_t kGerman = 1031;
constexpr uint16_t kVersionType = 16;  // RT_VERSION

// A payload read and checked, with everything it warns about.
struct CheckedPayload {
  std::vector<SetupArchive> archives;
  std::vector<std::string> warnings;
  uint64_t worstCase = 0;
  uint64_t inputBytes = 0;
};

// The stub read and emptied of its archives, and the machine it is for.
struct PreparedStub {
  std::vector<unsigned char> bytes;
  std::vector<PeResourceData> resources;  // the stub's own, version set, without archives
  uint16_t machine = 0;
  FileVersion version{};
  bool haveVersion = false;
};

bool IsFolder(const std::string& path) { return platform_tool::IsOfKind(path, platform_tool::FileKind::kFolder); }

bool SameFile(const std::string& a, const std::string& b) {
  platform_tool::FileFacts factsA, factsB;
  platform_tool::FileFailure failure;
  return platform_tool::GetFileFacts(a, &factsA, &failure) && platform_tool::GetFileFacts(b, &factsB, &failure) &&
         factsA.identity == factsB.identity;
}

// --out names a file to write in a folder that exists, and not the stub.
bool CheckOut(const std::string& out, const std::string& stub, std::string* error) {
  if (SameFile(out, stub)) {
    *error = out + ": is the stub; --out names a new setup file";
    return false;
  }
  if (IsFolder(out)) {
    *error = out + ": is a folder; --out names the setup file to write";
    return false;
  }
  const std::string folder = platform_tool::ParentFolder(out);
  if (!IsFolder(folder)) {
    *error = out + ": the folder " + folder + " does not exist";
    return false;
  }
  return true;
}

std::vector<std::string> PayloadWarnings(const CheckedPayload& payload) {
  std::vector<std::string> warnings = payload.warnings;
  for (const SetupArchive& archive : payload.archives) {
    for (const std::string& w : NameWarnings(archive.source, archive.inputs)) warnings.push_back(w);
  }
  if (payload.worstCase > kMaxSetupPayloadBytes) {
    warnings.push_back("the eight archives could take up to " + std::to_string(payload.worstCase >> 20) +
                       " MiB if nothing shrinks, past the " + std::to_string(kMaxSetupPayloadBytes >> 20) +
                       " MiB a 32-bit setup can map; the real size is known after packing");
  }
  return warnings;
}

bool ReadPayload(const SetupOptions& o, CheckedPayload* payload, std::string* error) {
  if (!ReadSetupPayload(o.payload, o.shared.exclude, &payload->archives, &payload->warnings, error) ||
      !WorstCasePayloadBytes(payload->archives, &payload->worstCase, &payload->inputBytes, error)) {
    return false;
  }
  payload->warnings = PayloadWarnings(*payload);
  return true;
}

// The stub's resources without its archives, the version changed when asked.
bool PrepareStub(const SetupOptions& o, PreparedStub* stub, std::string* error) {
  if (!ReadWholeFile(o.stub, &stub->bytes)) {
    *error = o.stub + ": cannot be read";
    return false;
  }
  PeLayout layout;
  std::vector<PeResourceData> all;
  if (!ReadPeLayout(stub->bytes.data(), stub->bytes.size(), &layout, error) ||
      !ReadPeResourceData(stub->bytes, &all, error)) {
    *error = o.stub + ": " + *error;
    return false;
  }
  stub->machine = layout.machine;
  for (PeResourceData& r : all) {
    if (r.type.IsNamed("ZVArc")) continue;
    if (r.type == PeResourceKey::Id(kVersionType)) {
      if ((o.haveVersion && !SetFileVersion(&r.bytes, o.version, error)) ||
          (!o.versionStrings.empty() && !SetVersionStrings(&r.bytes, o.versionStrings, error))) {
        *error = o.stub + ": " + *error;
        return false;
      }
      stub->haveVersion = GetFileVersion(r.bytes, &stub->version);
    }
    stub->resources.push_back(std::move(r));
  }
  if ((o.haveVersion || !o.versionStrings.empty()) && !stub->haveVersion) {
    *error = o.stub + ": no version resource to set --version or --version-info in";
    return false;
  }
  // A trial write without archives finds what the stub's layout refuses before packing.
  std::vector<unsigned char> trial;
  if (!ReplacePeResources(stub->bytes, stub->resources, &trial, error)) {
    *error = o.stub + ": " + *error;
    return false;
  }
  return true;
}

void PrintWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) std::fprintf(stderr, "zvpack: warning: %s\n", w.c_str());
}

// The archives in memory, as resources; stats per archive in progress.
bool PackPayload(const SetupOptions& o, const CheckedPayload& payload, Progress* progress,
                 std::vector<PeResourceData>* resources, uint64_t* written, std::string* error) {
  std::vector<std::string> repeated;  // the name warnings, already printed
  *written = 0;
  for (const SetupArchive& archive : payload.archives) {
    PackOptions options = o.shared.pack;
    options.label = archive.name;
    options.progress = progress;
    options.warnings = &repeated;
    std::string bytes;
    if (!PackArchive(archive.inputs, options, &bytes, error)) return false;
    *written += bytes.size();
    // windres stores the type name upper case, as every resource name; lookups ignore case.
    resources->push_back(
        PeResourceData{PeResourceKey::Name("ZVARC"), PeResourceKey::Name(archive.name), kGerman, 0, std::move(bytes)});
  }
  if (*written > kMaxSetupPayloadBytes) {
    *error = o.payload + ": the eight archives take " + std::to_string(*written >> 20) + " MiB as written, past the " +
             std::to_string(kMaxSetupPayloadBytes >> 20) + " MiB a 32-bit setup can map; nothing was written";
    return false;
  }
  return true;
}

// The setup through its temporary file, signed there when asked: an exit
// code; an interrupt that came while the signing command ran is left in
// *interrupt.
int WriteAndSign(const SetupOptions& o, const std::vector<unsigned char>& setup, int* interrupt, std::string* error) {
  TempOutput temp(o.out, 0755);
  if (!temp.Open(error)) return kExitInputRefused;
  if (!WriteInPieces(temp.File(), setup.data(), setup.size())) {
    *error = o.out + ": write failed";
    return kExitInputRefused;
  }
  if (!o.sign.command.empty()) {
    if (!temp.Close(error)) return kExitInputRefused;
    if (!SignSetupFile(o.sign, temp.Path(), o.out, setup, interrupt, error)) return kExitSignFailed;
  }
  return temp.Commit(error) ? kExitOk : kExitInputRefused;
}

// Nothing is left of a failed or interrupted write: an interrupt ends the
// process once the temporary file is gone.
int WriteSetup(const SetupOptions& o, const std::vector<unsigned char>& setup, std::string* error) {
  int interrupt = 0;
  const int code = WriteAndSign(o, setup, &interrupt, error);
  if (interrupt != 0) platform_tool::EndAsSignalled(interrupt);
  return code;
}

void JsonArchives(JsonWriter* json, const CheckedPayload& payload, const Progress* progress) {
  json->Key("archives").BeginArray();
  for (size_t i = 0; i < payload.archives.size(); ++i) {
    const SetupArchive& a = payload.archives[i];
    uint64_t bytesIn = 0;
    for (const PackInput& in : a.inputs) bytesIn += FileSizeOrZero(in.hostPath);
    json->BeginObject().Key("name").String(a.name).Key("source").String(a.source);
    json->Key("files").Number(a.inputs.size()).Key("bytesIn").Number(bytesIn);
    if (progress != nullptr && i < progress->Archives().size()) {
      const PackStats& s = progress->Archives()[i];
      json->Key("bytesOut").Number(s.bytesOut).Key("seconds").Decimal(s.seconds);
    }
    json->EndObject();
  }
  json->EndArray();
}

int CheckOnly(const SetupOptions& o, const CheckedPayload& payload, const PreparedStub* stub) {
  if (o.json) {
    JsonWriter json;
    json.BeginObject().Key("payload").String(o.payload).Key("ok").Bool(true);
    if (stub != nullptr) json.Key("machine").String(MachineName(stub->machine));
    json.Key("worstCaseBytes").Number(payload.worstCase).Key("inputBytes").Number(payload.inputBytes);
    JsonArchives(&json, payload, nullptr);
    json.Key("warnings").Strings(payload.warnings).EndObject();
    std::fputs(json.Text().c_str(), stdout);
    return kExitOk;
  }
  PrintWarnings(payload.warnings);
  std::printf("%s: ok, %llu MiB of files, at most %llu MiB packed\n", o.payload.c_str(),
              static_cast<unsigned long long>((payload.inputBytes + (1 << 20) - 1) >> 20),
              static_cast<unsigned long long>((payload.worstCase + (1 << 20) - 1) >> 20));
  return kExitOk;
}

void SetupJson(const SetupOptions& o, const CheckedPayload& payload, const PreparedStub& stub, const Progress& progress,
               uint64_t setupBytes) {
  JsonWriter json;
  json.BeginObject().Key("setup").String(o.out).Key("ok").Bool(true).Key("stub").String(o.stub);
  json.Key("payload").String(o.payload);
  json.Key("machine").String(MachineName(stub.machine)).Key("bytes").Number(setupBytes).Key("version");
  if (stub.haveVersion) {
    json.String(FileVersionText(stub.version));
  } else {
    json.Null();
  }
  uint64_t archiveBytes = 0;
  for (const PackStats& s : progress.Archives()) archiveBytes += s.bytesOut;
  json.Key("archiveBytes").Number(archiveBytes);
  JsonArchives(&json, payload, &progress);
  json.Key("warnings").Strings(payload.warnings).EndObject();
  std::fputs(json.Text().c_str(), stdout);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

// A refused payload: its lines on stderr and, with --json, a document that lists them.
int RefusePayload(const SetupOptions& o, const std::string& error, const std::vector<std::string>& warnings) {
  if (o.json) {
    JsonWriter json;
    json.BeginObject().Key("payload").String(o.payload).Key("ok").Bool(false);
    json.Key("problems").Strings(Lines(error)).Key("warnings").Strings(warnings).EndObject();
    std::fputs(json.Text().c_str(), stdout);
  }
  return Fail(error, kExitInputRefused);
}

}  // namespace

bool ParseSetupOptions(int argc, char** argv, SetupOptions* o, std::string* error) {
  o->shared.pack.level = kBestLevel;
  for (int i = 0; i < argc; ++i) {
    const PackOption taken = TakePackOption(argc, argv, &i, &o->shared, error);
    if (taken == PackOption::kBad) return false;
    if (taken == PackOption::kTaken) continue;
    const SignOptionTaken signing = TakeSignOption(argc, argv, &i, &o->sign, error);
    if (signing == SignOptionTaken::kBad) return false;
    if (signing == SignOptionTaken::kTaken) continue;
    const std::string arg = argv[i];
    const bool takesValue =
        arg == "--stub" || arg == "--payload" || arg == "--out" || arg == "--version" || arg == "--version-info";
    if (arg == "--check") {
      o->checkOnly = true;
    } else if (arg == "--json") {
      o->json = true;
    } else if (takesValue && i + 1 < argc) {
      const std::string value = argv[++i];
      if (arg == "--stub") o->stub = value;
      if (arg == "--payload") o->payload = value;
      if (arg == "--out") o->out = value;
      if (arg == "--version-info") {
        o->versionStrings.emplace_back();
        if (!ParseVersionString(value, &o->versionStrings.back(), error)) return false;
      }
      if (arg == "--version" && !(o->haveVersion = ParseFileVersion(value, &o->version))) {
        *error = "--version needs A.B.C.D, each 0 to 65535, not " + value;
        return false;
      }
    } else {
      *error = arg.empty() || arg[0] != '-' ? "unexpected argument " + arg : UnknownOption(arg, takesValue);
      return false;
    }
  }
  if (o->checkOnly ? o->payload.empty() : o->stub.empty() || o->payload.empty() || o->out.empty()) {
    *error = o->checkOnly ? "--check needs --payload" : "needs --stub, --payload and --out";
    return false;
  }
  if (o->checkOnly && (!o->out.empty() || o->haveVersion || !o->versionStrings.empty() || !o->sign.command.empty())) {
    *error = "--check writes nothing: no --out, --version, --version-info or --sign-command with it";
    return false;
  }
  return CheckSignOptions(o->sign, error) && ReadSourceDateEpoch(&o->shared.pack, error);
}

int RunSetup(int argc, char** argv) {
  SetupOptions o;
  std::string error;
  if (!ParseSetupOptions(argc, argv, &o, &error)) return UsageError("setup", error);
  if (!o.checkOnly && !CheckOut(o.out, o.stub, &error)) return Fail(error, kExitInputRefused);

  CheckedPayload payload;
  if (!ReadPayload(o, &payload, &error)) return RefusePayload(o, error, payload.warnings);
  PreparedStub stub;
  const bool haveStub = !o.stub.empty();
  if (haveStub && !PrepareStub(o, &stub, &error)) return Fail(error, kExitStubRefused);
  if (!CheckSetupArchives(payload.archives, stub.machine, &error)) return RefusePayload(o, error, payload.warnings);
  if (o.checkOnly) return CheckOnly(o, payload, haveStub ? &stub : nullptr);

  PrintWarnings(payload.warnings);
  Progress progress(Progress::ModeForStderr(o.shared.quiet), payload.inputBytes);
  std::vector<PeResourceData> resources = stub.resources;
  std::vector<unsigned char> setup;
  uint64_t written = 0;
  if (!PackPayload(o, payload, &progress, &resources, &written, &error) ||
      !ReplacePeResources(stub.bytes, resources, &setup, &error)) {
    return Fail(error, kExitInputRefused);
  }
  const int code = WriteSetup(o, setup, &error);
  if (code != kExitOk) return Fail(error, code);
  if (o.json) {
    SetupJson(o, payload, stub, progress, FileSizeOrZero(o.out));  // signed, it has grown
  } else {
    progress.PrintSummary(stdout);
  }
  return kExitOk;
}

}  // namespace zvpack
