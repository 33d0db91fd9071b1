// "zvpack diff": what differs between two archives or setups, as text or JSON.
#include "tools/zvpack/archive_source.h"
#include "tools/zvpack/cli_support.h"
#include "tools/zvpack/commands.h"
#include "tools/zvpack/exit_codes.h"
#include "tools/zvpack/json_writer.h"
#include "tools/zvpack/setup_diff.h"

#include <cstdio>
#include <string>

namespace zvpack {
namespace {

const char* StatusName(ArchiveDiff::Status status) {
  switch (status) {
    case ArchiveDiff::Status::kSame: return "same";
    case ArchiveDiff::Status::kChanged: return "changed";
    case ArchiveDiff::Status::kAdded: return "added";
    case ArchiveDiff::Status::kRemoved: return "removed";
  }
  return "?";
}

// "size 10 -> 12, content, time": what changed in one entry.
std::string ChangeText(const EntryChange& c) {
  std::string text;
  auto add = [&](const std::string& part) { text += (text.empty() ? "" : ", ") + part; };
  if (c.oldSize != c.newSize) add("size " + std::to_string(c.oldSize) + " -> " + std::to_string(c.newSize));
  if (c.content) add("content");
  if (c.oldTime != c.newTime) add("time");
  return text;
}

void PrintArchive(const ArchiveDiff& a) {
  if (a.status != ArchiveDiff::Status::kChanged) {
    std::printf("archive %s: %s\n", a.name.c_str(), StatusName(a.status));
    return;
  }
  std::printf("archive %s: %zu added, %zu removed, %zu changed\n", a.name.c_str(), a.added.size(), a.removed.size(),
              a.changed.size());
  for (const EntryInfo& e : a.added) std::printf("  added    %s (%u bytes)\n", e.name.c_str(), e.size);
  for (const EntryInfo& e : a.removed) std::printf("  removed  %s (%u bytes)\n", e.name.c_str(), e.size);
  for (const EntryChange& c : a.changed) std::printf("  changed  %s: %s\n", c.name.c_str(), ChangeText(c).c_str());
}

void PrintText(const ArchiveFile& before, const ArchiveFile& after, const SetupDiff& diff) {
  std::printf("old: %s (%s, %zu archives)\nnew: %s (%s, %zu archives)\n", before.path.c_str(), diff.oldKind.c_str(),
              before.archives.size(), after.path.c_str(), diff.newKind.c_str(), after.archives.size());
  for (const ArchiveDiff& a : diff.archives) PrintArchive(a);
  for (const ResourceChange& r : diff.resources) std::printf("resource %s: %s\n", r.key.c_str(), r.change.c_str());
  if (diff.oldVersion != diff.newVersion) {
    std::printf("version: %s -> %s\n", diff.oldVersion.empty() ? "none" : diff.oldVersion.c_str(),
                diff.newVersion.empty() ? "none" : diff.newVersion.c_str());
  }
  std::printf("%s\n", diff.Same() ? "same" : "differ");
}

void JsonEntryList(JsonWriter* json, const char* key, const std::vector<EntryInfo>& entries) {
  json->Key(key).BeginArray();
  for (const EntryInfo& e : entries) json->BeginObject().Key("name").String(e.name).Key("size").Number(e.size).EndObject();
  json->EndArray();
}

void PrintJson(const ArchiveFile& before, const ArchiveFile& after, const SetupDiff& diff) {
  JsonWriter json;
  json.BeginObject().Key("same").Bool(diff.Same());
  json.Key("old").BeginObject().Key("file").String(before.path).Key("kind").String(diff.oldKind);
  json.Key("version").String(diff.oldVersion).EndObject();
  json.Key("new").BeginObject().Key("file").String(after.path).Key("kind").String(diff.newKind);
  json.Key("version").String(diff.newVersion).EndObject();
  json.Key("archives").BeginArray();
  for (const ArchiveDiff& a : diff.archives) {
    json.BeginObject().Key("name").String(a.name).Key("status").String(StatusName(a.status));
    JsonEntryList(&json, "added", a.added);
    JsonEntryList(&json, "removed", a.removed);
    json.Key("changed").BeginArray();
    for (const EntryChange& c : a.changed) {
      json.BeginObject().Key("name").String(c.name).Key("oldSize").Number(c.oldSize).Key("newSize").Number(c.newSize);
      json.Key("content").Bool(c.content).Key("oldTime").Number(c.oldTime).Key("newTime").Number(c.newTime);
      json.EndObject();
    }
    json.EndArray().EndObject();
  }
  json.EndArray().Key("resources").BeginArray();
  for (const ResourceChange& r : diff.resources) {
    json.BeginObject().Key("resource").String(r.key).Key("change").String(r.change).EndObject();
  }
  json.EndArray().EndObject();
  std::fputs(json.Text().c_str(), stdout);
}

}  // namespace

int RunDiff(int argc, char** argv) {
  bool json = false;
  std::vector<std::string> files;
  for (int i = 0; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--json") {
      json = true;
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError("diff", UnknownOption(arg, false));
    } else {
      files.push_back(arg);
    }
  }
  if (files.size() != 2) return UsageError("diff", "needs OLD and NEW");
  ArchiveFile before, after;
  SetupDiff diff;
  std::string error;
  if (!OpenArchiveFile(files[0], &before, &error) || !OpenArchiveFile(files[1], &after, &error) ||
      !DiffArchiveFiles(before, after, &diff, &error)) {
    return Fail(error, kExitDamaged);
  }
  if (json) {
    PrintJson(before, after, diff);
  } else {
    PrintText(before, after, diff);
  }
  return diff.Same() ? kExitOk : kExitDiffer;
}

}  // namespace zvpack
