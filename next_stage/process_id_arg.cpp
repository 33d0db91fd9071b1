// Reading pidwait's argument.
#include "next_stage/process_id_arg.h"

bool ParseProcessId(const char* text, uint32_t* pid) {
  if (text == nullptr || *text == '\0') return false;
  uint64_t value = 0;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<uint64_t>(*p - '0');
    if (value > UINT32_MAX) return false;
  }
  if (value == 0) return false;
  *pid = static_cast<uint32_t>(value);
  return true;
}
