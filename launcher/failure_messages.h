//===- failure_messages.h - What the launcher says when setup cannot go on ===//
// The launcher's own texts for the outcomes that stop it before the next stage
// starts (exit_codes.h): one per exit code, in the four languages of the
// message table, as Windows-1252 bytes. The fixed message table (messages.h)
// stays as it is; these live beside it and are chosen by the same language
// rule.
#ifndef VX_LAUNCHER_FAILURE_MESSAGES_H
#define VX_LAUNCHER_FAILURE_MESSAGES_H

#include "launcher/messages.h"
#include "string/vx_string.h"

// The row for a failing exit code (kExitDamagedArchive and up), whose id is
// the exit code; null for 0, 1 and unknown codes. Each text holds one "%s",
// where the technical detail goes.
const MessageEntry* FindFailureMessage(int exitCode);

// The text to show for exitCode in the current user's language with detail
// (taken literally) in place of "%s". For a code without a row: the text of
// kExitUnexpected.
VxString FormatFailureMessage(int exitCode, const char* detail);

#endif  // VX_LAUNCHER_FAILURE_MESSAGES_H
