// The launcher's process-wide flags and handles, with their initial values.
#include "launcher/launcher_flags.h"

int32_t waitingForPaint = 1;
int32_t splashOpen = 1;
bool stageLaunched = false;
void* moduleInstance = nullptr;
void* splashWindow = nullptr;

static_assert(sizeof(stageLaunched) == 1, "the stage flag is one byte");
