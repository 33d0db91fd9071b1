// The temporary output file beside the target: its name, and what each failure says.
#include "tools/zvpack/temp_output.h"

namespace zvpack {

bool TempOutput::Open(std::string* error) {
  std::string reason;
  if (output_.Create(target_ + ".tmp", platform_tool::FileNameOf(target_), mode_, &reason)) return true;
  *error = target_ + ": " + reason;
  return false;
}

bool TempOutput::Close(std::string* error) {
  if (output_.CloseFile()) return true;
  *error = target_ + ": write failed";
  return false;
}

bool TempOutput::Commit(std::string* error) {
  std::string reason;
  const bool committed = Close(error) && output_.MoveOver(target_, &reason);
  if (!committed && !reason.empty()) *error = target_ + ": " + reason;
  output_.Discard();
  return committed;
}

}  // namespace zvpack
