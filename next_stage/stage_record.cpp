// Formatting, placing and writing the setup starter's record.
#include "next_stage/stage_record.h"

#include "platform/file.h"

#include <cstdio>
#include <cstring>

namespace {

std::string Escaped(const std::string& value) {
  std::string out;
  for (unsigned char c : value) {
    if (c < 0x20 || c == 0x7F) {
      char code[5];
      std::snprintf(code, sizeof code, "\\x%02X", c);
      out += code;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void AddLine(std::string* text, const std::string& key, const std::string& value) {
  *text += Escaped(key) + "=" + Escaped(value) + "\n";
}

const char* ResourceFileText(ResourceFileState state) {
  switch (state) {
    case ResourceFileState::kNotGiven: return "missing";
    case ResourceFileState::kUnreadable: return "unreadable";
    case ResourceFileState::kOpened: return "opened";
  }
  return "unknown";
}

void AddArchive(std::string* text, const ArchiveSummary& archive) {
  const std::string prefix = "archive." + archive.name + ".";
  AddLine(text, prefix + "found", archive.found ? "yes" : "no");
  AddLine(text, prefix + "entries", std::to_string(archive.entries));
  AddLine(text, prefix + "inflated", std::to_string(archive.inflatedBytes));
  AddLine(text, prefix + "check", archive.sound ? "ok" : archive.problem);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char Folded(char c) {
  if (c == '/') return '\\';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsAbsolute(const char* path) {
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && IsSeparator(path[2]);
  return drive || IsSeparator(path[0]);
}

// Whether path lies inside folder (or is the folder itself).
bool IsInside(const char* path, const char* folder) {
  size_t length = std::strlen(folder);
  while (length > 0 && IsSeparator(folder[length - 1])) --length;
  if (length == 0) return false;
  for (size_t i = 0; i < length; ++i) {
    if (path[i] == '\0' || Folded(path[i]) != Folded(folder[i])) return false;
  }
  return path[length] == '\0' || IsSeparator(path[length]);
}

// One script_line per line of the script, without its CR LF.
void AddScript(std::string* text, const std::string& script) {
  bool allCrLf = true;
  size_t start = 0;
  while (start < script.size()) {
    size_t end = script.find("\r\n", start);
    if (end == std::string::npos) {
      allCrLf = false;
      end = script.size();
    }
    AddLine(text, "script_line", script.substr(start, end - start));
    start = end + 2;
  }
  AddLine(text, "script_line_ends", allCrLf ? "crlf" : "other");
}

}  // namespace

std::string FormatStageRecord(const StageReport& report) {
  std::string text;
  AddLine(&text, "command_line", report.commandLine);
  AddLine(&text, "full_command_line", report.fullCommandLine);
  for (const std::string& word : report.parsed.words) AddLine(&text, "word", word);
  for (const StageArgument& argument : report.parsed.arguments) {
    AddLine(&text, "arg." + argument.key, argument.value);
  }
  AddLine(&text, "ended_by_cleanup", report.parsed.endedByCleanUp ? "yes" : "no");
  AddLine(&text, "unclosed_quote", report.parsed.unclosedQuote ? "yes" : "no");
  AddLine(&text, "remainder", report.parsed.remainder);
  AddLine(&text, "program", report.program);
  AddLine(&text, "current_dir", report.currentDir);
  AddLine(&text, "pid", std::to_string(report.processId));
  AddLine(&text, "start_ms", std::to_string(report.startMs));
  AddLine(&text, "resource_file", ResourceFileText(report.resourceFile));
  for (const ArchiveSummary& archive : report.archives) AddArchive(&text, archive);
  if (!report.starterWait.empty()) AddLine(&text, "starter_wait", report.starterWait);
  AddScript(&text, report.scriptText);
  AddLine(&text, "cleanup_command", report.cleanUpCommand);
  AddLine(&text, "cleanup_start", std::to_string(report.cleanUpStart));
  // Last, so that a reader that finds it knows the record is complete.
  AddLine(&text, "exit_code", std::to_string(report.exitCode));
  return text;
}

bool IsRecordPathAllowed(const char* path, const char* workDir, const char* tempDir) {
  if (path == nullptr || !IsAbsolute(path)) return false;
  if (workDir != nullptr && IsInside(path, workDir)) return false;
  return tempDir == nullptr || !IsInside(path, tempDir);
}

bool WriteStageRecord(const char* path, const std::string& text) {
  platform::FileHandle file = platform::FileOpen(path, platform::FileAccessWrite, 0, platform::FileCreateAlways);
  if (file == platform::InvalidFileHandle()) return false;
  uint32_t written = 0;
  const uint32_t size = static_cast<uint32_t>(text.size());
  bool ok = platform::FileWrite(file, text.data(), size, &written) && written == size;
  return platform::FileClose(file) && ok;
}
