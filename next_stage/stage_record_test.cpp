#include "next_stage/stage_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

StageReport SampleReport() {
  StageReport report;
  report.commandLine = "ZVSetup Wnd=Normal Wnd=Maximized CleanUp=\"C:\\T\\0.bat\" /S 100%";
  report.fullCommandLine = "Vistart.exe ZVSetup Wnd=Normal";
  report.parsed = ParseStageCommandLine(report.commandLine.c_str());
  report.scriptText = "cd \\\r\ndel C:\\T\\0.bat\r\n";
  report.program = "C:\\T\\VAVOdozu0\\Vistart.exe";
  report.currentDir = "C:\\T\\VAVOdozu0";
  report.processId = 4242;
  report.startMs = 1765000000123ull;
  report.resourceFile = ResourceFileState::kOpened;
  ArchiveSummary sound;
  sound.name = "APPBASE";
  sound.found = true;
  sound.entries = 2;
  sound.inflatedBytes = 5000000000ull;
  sound.sound = true;
  ArchiveSummary missing;
  missing.name = "ZVVERSION";
  missing.problem = "no such resource";
  report.archives = {sound, missing};
  report.cleanUpCommand = "cmd.exe /c \"\"C:\\T\\0.bat\" 4242\"";
  report.cleanUpStart = 33;
  return report;
}

TEST(StageRecordTest, WritesOneKeyValueLinePerItem) {
  const std::string want =
      "command_line=ZVSetup Wnd=Normal Wnd=Maximized CleanUp=\"C:\\T\\0.bat\" /S 100%\n"
      "full_command_line=Vistart.exe ZVSetup Wnd=Normal\n"
      "word=ZVSetup\n"
      "arg.Wnd=Normal\n"
      "arg.Wnd=Maximized\n"
      "arg.CleanUp=C:\\T\\0.bat\n"
      "ended_by_cleanup=yes\n"
      "unclosed_quote=no\n"
      "remainder=/S 100%\n"
      "program=C:\\T\\VAVOdozu0\\Vistart.exe\n"
      "current_dir=C:\\T\\VAVOdozu0\n"
      "pid=4242\n"
      "start_ms=1765000000123\n"
      "resource_file=opened\n"
      "archive.APPBASE.found=yes\n"
      "archive.APPBASE.entries=2\n"
      "archive.APPBASE.inflated=5000000000\n"
      "archive.APPBASE.check=ok\n"
      "archive.ZVVERSION.found=no\n"
      "archive.ZVVERSION.entries=0\n"
      "archive.ZVVERSION.inflated=0\n"
      "archive.ZVVERSION.check=no such resource\n"
      "script_line=cd \\\n"
      "script_line=del C:\\T\\0.bat\n"
      "script_line_ends=crlf\n"
      "cleanup_command=cmd.exe /c \"\"C:\\T\\0.bat\" 4242\"\n"
      "cleanup_start=33\n"
      "exit_code=0\n";
  EXPECT_EQ(FormatStageRecord(SampleReport()), want);
}

TEST(StageRecordTest, ControlCharactersStayOnTheirLine) {
  const struct {
    std::string remainder;
    const char* line;
  } cases[] = {
      {"", "remainder=\n"},
      {"a\nb", "remainder=a\\x0Ab\n"},
      {"a\r\n", "remainder=a\\x0D\\x0A\n"},
      {"\t", "remainder=\\x09\n"},
      {std::string("a\0b", 3), "remainder=a\\x00b\n"},
      {"\x7F", "remainder=\\x7F\n"},
      {"\xE9t\xE9", "remainder=\xE9t\xE9\n"},
      {"C:\\x\\", "remainder=C:\\x\\\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    StageReport report;
    report.parsed.remainder = c.remainder;
    EXPECT_NE(FormatStageRecord(report).find(c.line), std::string::npos);
  }
}

TEST(StageRecordTest, RecordStaysOutOfTheWorkAndTemporaryFolders) {
  const char kWork[] = "C:\\TEMP\\VAVOdozu0";
  const char kTemp[] = "C:\\TEMP\\";
  const struct {
    const char* path;
    const char* work;
    const char* temp;
    bool allowed;
  } cases[] = {
      {"D:\\logs\\stage.txt", kWork, kTemp, true},
      {"C:\\stage.txt", kWork, kTemp, true},
      {"C:\\TEMPO\\stage.txt", kWork, kTemp, true},          // a sibling that shares the prefix
      {"\\\\server\\share\\stage.txt", kWork, kTemp, true},
      {"/srv/logs/stage.txt", kWork, kTemp, true},
      {"C:\\TEMP\\stage.txt", kWork, kTemp, false},
      {"c:/temp/stage.txt", kWork, kTemp, false},            // case and slashes do not matter
      {"C:\\TEMP\\VAVOdozu0\\stage.txt", kWork, kTemp, false},
      {"C:\\TEMP\\VAVOdozu0", kWork, kTemp, false},
      {"D:\\w\\stage.txt", "D:\\w\\", "", false},            // work folder with its trailing backslash
      {"D:\\w\\stage.txt", "", "", true},                    // neither folder known
      {"stage.txt", kWork, kTemp, false},                    // relative: would land in the work folder
      {".\\stage.txt", kWork, kTemp, false},
      {"C:stage.txt", kWork, kTemp, false},
      {"", kWork, kTemp, false},
      {nullptr, kWork, kTemp, false},
      {"D:\\x", nullptr, nullptr, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path != nullptr ? c.path : "(null)");
    EXPECT_EQ(IsRecordPathAllowed(c.path, c.work, c.temp), c.allowed);
  }
}

}  // namespace
