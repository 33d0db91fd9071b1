// Pre-flight checks of the temporary drive.
#include "launcher/free_space.h"

#include "launcher/messages.h"
#include "platform/disk.h"

void FixTempDir(char* tempDir) {
  if (tempDir[0] == '\0' || tempDir[1] != ':' || tempDir[2] != '\\') {
    tempDir[0] = 'C';
    tempDir[1] = ':';
    tempDir[2] = '\\';
    tempDir[3] = '\0';
  }
}

void TakeTempDir(char* tempDir) {
  tempDir[0] = '\0';
  uint32_t length = platform::GetTempFolder(kTempDirSize, tempDir);
  // A path too long for the buffer leaves it unchanged, as no result does.
  if (length == 0 || length >= static_cast<uint32_t>(kTempDirSize)) tempDir[0] = '\0';
  FixTempDir(tempDir);
}

void TakeRootDrive(const char* tempDir, char* rootDrive) {
  rootDrive[0] = tempDir[0];
  rootDrive[1] = ':';
  rootDrive[2] = '\0';
}

double GetFreeDiskBytes(const char* root) { return platform::GetDriveFreeBytes(root); }

float RoundFreeBytes(double freeBytes) { return static_cast<float>(freeBytes); }

bool HasRoomForSetup(double freeBytes) {
  return RoundFreeBytes(freeBytes) >= static_cast<float>(kRequiredFreeBytes);
}

VxString FormatNoRoomMessage(const char* rootDrive, double freeBytes) {
  VxString text;
  text.Format(GetMessageText(kMsgNoRoom), rootDrive, kRequiredFreeBytes / 1048576.0,
              static_cast<double>(RoundFreeBytes(freeBytes)) / 1048576.0);
  return text;
}
