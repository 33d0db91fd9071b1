// startup_steps: where the launcher's start-up time goes, step by step, under the launcher's
// own code. The Windows side of bench/startup_bench.sh's breakdown.
//
// usage: startup_steps PRODUCT OUT [COMMANDLINE]
//
// Runs the steps of the launcher's entry function in its order, with the product's
// resources (PRODUCT loaded as a data module: the splash dialog, its picture and the
// archives), and writes to OUT the wall clock after each, in milliseconds since 1970 UTC
// (the probe's start_ms comes from the same clock):
//   main_ms         the entry function was reached (loader and static initialisers before it)
//   resources_ms    PRODUCT was mapped as a data module (the product needs no such step)
//   dll_search_ms   the library search was narrowed to the system folder
//   one_instance_ms the look for an open setup window was done
//   picture_ms      the splash picture was loaded and its palette made once, as the dialog's
//                   initialisation does (the copies are given up again)
//   icon_ms         the window icon was loaded once (the system keeps it for the dialog)
//   dialog_ms       the splash dialog was made, placed twice and shown, with its picture
//                   and palette again and the class icon set
//   paint_ms        the splash had painted once
//   class_icon_ms   the class icon set once more on the shown splash (what that step of the
//                   dialog's initialisation costs)
//   winmm_ms        the millisecond clock was first asked (winmm loaded from the system folder)
//   check_ms        every payload archive was checked in full, as the sequence first does
//   protection_ms   the elevation was asked and, when elevated, the work folder's and the
//                   script's descriptors made and given up, as the sequence does again
//   sequence_ms     the sequence was done: checked again, unpacked, the script written and the
//                   next stage started (its record's start_ms says when that began)
//   exit_code=      the sequence's exit code
#include <windows.h>

#include "archive/archive_verify.h"
#include "launcher/free_space.h"
#include "launcher/gui/entry_steps.h"
#include "launcher/gui/message_pump.h"
#include "launcher/gui/splash.h"
#include "launcher/launcher_flags.h"
#include "launcher/setup_sequence.h"
#include "launcher/work_protection.h"
#include "platform/clock.h"
#include "platform/dll_search.h"
#include "platform/resources.h"
#include "resources/resource_ids.h"

#include <chrono>
#include <cstdio>

namespace {

double NowMs() {
  using std::chrono::duration;
  using std::chrono::system_clock;
  return duration<double, std::milli>(system_clock::now().time_since_epoch()).count();
}

// The payload check that the sequence runs before it writes anything.
void CheckPayload(void* module) {
  for (const char* name : kPayloadArchives) {
    platform::ResourceBytes bytes;
    ArchiveProblem problem;
    if (platform::FindResourceBytes(module, platform::kArchiveResourceType, name, &bytes)) {
      VerifyArchive(bytes.data, bytes.size, &problem);
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const double mainMs = NowMs();
  if (argc < 3) {
    std::fprintf(stderr, "usage: startup_steps PRODUCT OUT [COMMANDLINE]\n");
    return 2;
  }
  FILE* out = std::fopen(argv[2], "wb");
  if (out == nullptr) return 2;
  auto stamp = [out](const char* key) { std::fprintf(out, "%s=%.3f\n", key, NowMs()); };
  std::fprintf(out, "main_ms=%.3f\n", mainMs);

  moduleInstance = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  stamp("resources_ms");
  platform::RestrictDllSearchToSystem();
  stamp("dll_search_ms");
  BringOpenSetupToFront();
  stamp("one_instance_ms");
  {
    std::unique_ptr<DibPicture> picture = LoadDibResource(MAKEINTRESOURCEA(IDB_SPLASH),
                                                          static_cast<HINSTANCE>(moduleInstance));
    DeleteObject(CreateDibPalette(picture.get()));
  }
  stamp("picture_ms");
  LoadIconA(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEA(IDI_ZELVORA));
  stamp("icon_ms");
  waitingForPaint = 1;
  splashWindow = ShowSplash();
  stamp("dialog_ms");
  while (waitingForPaint != 0) PumpOneMessage();
  stamp("paint_ms");
  SetClassLongPtrA(static_cast<HWND>(splashWindow), GCLP_HICON,
                   reinterpret_cast<LONG_PTR>(
                       LoadIconA(static_cast<HINSTANCE>(moduleInstance), MAKEINTRESOURCEA(IDI_ZELVORA))));
  stamp("class_icon_ms");
  platform::TimeGetTime();
  stamp("winmm_ms");
  CheckPayload(moduleInstance);
  stamp("check_ms");
  { const WorkProtection protection; }
  stamp("protection_ms");
  char tempDir[kTempDirSize];
  TakeTempDir(tempDir);
  const SetupOutcome outcome = RunSetupSequence(tempDir, argc > 3 ? argv[3] : "");
  stamp("sequence_ms");
  std::fprintf(out, "exit_code=%d\n", outcome.exitCode);
  CloseSplashNow();
  return std::fclose(out) == 0 ? 0 : 2;
}
