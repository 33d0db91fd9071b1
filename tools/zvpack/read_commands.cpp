// "zvpack list", "verify" and "extract": the archives of a FILE, read as the launcher reads them.
#include "platform/tool/text_capture.h"
#include "tools/zvpack/archive_check.h"
#include "tools/zvpack/archive_source.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/commands.h"
#include "tools/zvpack/exit_codes.h"
#include "tools/zvpack/json_writer.h"
#include "tools/zvpack/stored_name.h"

#include <cstdio>
#include <string>
#include <vector>

namespace zvpack {
namespace {

struct ReadArgs {
  bool json = false;
  bool verbose = false;
  std::vector<std::string> positional;
};

// Options and positional words; false after a usage message.
bool ParseReadArgs(const std::string& command, int argc, char** argv, size_t positionals, ReadArgs* args, int* code) {
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json" && command != "extract") {
      args->json = true;
    } else if (arg == "-v" && command == "extract") {
      args->verbose = true;
    } else if (!arg.empty() && arg[0] == '-') {
      *code = UsageError(command, UnknownOption(arg, false));
      return false;
    } else {
      args->positional.push_back(arg);
    }
  }
  if (args->positional.size() == positionals) return true;
  *code = UsageError(command, positionals == 1 ? "needs one FILE" : "needs FILE and DIR");
  return false;
}

// Runs write on a stream whose text, with entry names in Windows-1252, then
// reaches stdout in UTF-8 (the rest of it is ASCII).
template <typename Write>
bool PrintNamesAsUtf8(Write write) {
  platform_tool::TextCapture capture;
  if (capture.File() == nullptr) return write(stdout);
  const bool ok = write(capture.File());
  std::fputs(DisplayName(capture.Finish()).c_str(), stdout);
  return ok;
}

void JsonFile(JsonWriter* json, const ArchiveFile& file) {
  json->Key("file").String(file.path).Key("kind").String(FileKindName(file.kind)).Key("bytes").Number(file.bytes.size());
}

void JsonArchiveHead(JsonWriter* json, const FoundArchive& archive) {
  json->Key("name").String(archive.name).Key("language").Number(archive.language).Key("bytes").Number(archive.size);
}

void JsonEntries(JsonWriter* json, const std::vector<EntryInfo>& entries) {
  json->Key("entries").BeginArray();
  for (const EntryInfo& e : entries) {
    json->BeginObject().Key("name").String(e.name).Key("offset").Number(e.offset).Key("packed").Number(e.packed);
    json->Key("size").Number(e.size).Key("time1").Number(e.time1).Key("time2").Number(e.time2);
    json->Key("time3").Number(e.time3).EndObject();
  }
  json->EndArray();
}

int ListJson(const ArchiveFile& file) {
  JsonWriter json;
  json.BeginObject();
  JsonFile(&json, file);
  json.Key("archives").BeginArray();
  for (const FoundArchive& archive : file.archives) {
    std::vector<EntryInfo> entries;
    std::string error;
    if (!ReadEntries(archive, &entries, &error)) return Fail(archive.label + ": " + error, kExitDamaged);
    json.BeginObject();
    JsonArchiveHead(&json, archive);
    JsonEntries(&json, entries);
    json.EndObject();
  }
  json.EndArray().EndObject();
  std::fputs(json.Text().c_str(), stdout);
  return kExitOk;
}

int VerifyJson(const ArchiveFile& file) {
  JsonWriter json;
  json.BeginObject();
  JsonFile(&json, file);
  bool allOk = true;
  json.Key("archives").BeginArray();
  for (const FoundArchive& archive : file.archives) {
    std::string error;
    const bool ok = VerifyArchive(archive.base, archive.size, &error);
    allOk = allOk && ok;
    json.BeginObject();
    JsonArchiveHead(&json, archive);
    json.Key("ok").Bool(ok).Key("problem");
    if (ok) {
      json.Null();
    } else {
      json.String(error);
    }
    json.EndObject();
  }
  json.EndArray().Key("ok").Bool(allOk).EndObject();
  std::fputs(json.Text().c_str(), stdout);
  return allOk ? kExitOk : kExitDamaged;
}

int OpenOrFail(const std::string& path, ArchiveFile* file) {
  std::string error;
  return OpenArchiveFile(path, file, &error) ? kExitOk : Fail(error, kExitDamaged);
}

}  // namespace

int RunList(int argc, char** argv) {
  ReadArgs args;
  int code = kExitOk;
  if (!ParseReadArgs("list", argc, argv, 1, &args, &code)) return code;
  ArchiveFile file;
  if ((code = OpenOrFail(args.positional[0], &file)) != kExitOk) return code;
  if (args.json) return ListJson(file);
  for (const FoundArchive& archive : file.archives) {
    if (file.kind != FileKind::kArchive) std::printf("%s:\n", archive.label.c_str());
    std::string error;
    if (!PrintNamesAsUtf8([&](std::FILE* out) { return ListArchive(archive.base, archive.size, out, &error); })) {
      return Fail(archive.label + ": " + error, kExitDamaged);
    }
  }
  return kExitOk;
}

int RunVerify(int argc, char** argv) {
  ReadArgs args;
  int code = kExitOk;
  if (!ParseReadArgs("verify", argc, argv, 1, &args, &code)) return code;
  ArchiveFile file;
  if ((code = OpenOrFail(args.positional[0], &file)) != kExitOk) return code;
  if (args.json) return VerifyJson(file);
  for (const FoundArchive& archive : file.archives) {
    std::string error;
    if (!VerifyArchive(archive.base, archive.size, &error)) return Fail(archive.label + ": " + error, kExitDamaged);
    std::printf("%s: ok\n", archive.label.c_str());
  }
  return kExitOk;
}

int RunExtract(int argc, char** argv) {
  ReadArgs args;
  int code = kExitOk;
  if (!ParseReadArgs("extract", argc, argv, 2, &args, &code)) return code;
  ArchiveFile file;
  if ((code = OpenOrFail(args.positional[0], &file)) != kExitOk) return code;
  for (const FoundArchive& archive : file.archives) {
    std::string dir = args.positional[1];
    if (file.kind != FileKind::kArchive) {
      dir += "/" + archive.name;
      // The same name in several languages: one folder per language.
      size_t sameName = 0;
      for (const FoundArchive& other : file.archives) sameName += other.name == archive.name;
      if (sameName > 1) dir += "." + std::to_string(archive.language);
    }
    std::string error;
    if (PrintNamesAsUtf8([&](std::FILE* out) {
          return ExtractArchive(archive.base, archive.size, dir, args.verbose, out, &error);
        })) {
      continue;
    }
    // A damaged archive is refused before writing; anything later is a write failure.
    const int failCode = VerifyArchive(archive.base, archive.size, &error) ? kExitExtractFailed : kExitDamaged;
    return Fail(archive.label + ": " + error, failCode);
  }
  return kExitOk;
}

}  // namespace zvpack
