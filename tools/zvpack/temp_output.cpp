// The temporary output file beside the target: its name, and what each failure says.
#include "tools/zvpack/temp_output.h"

#include <algorithm>

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

bool WriteInPieces(std::FILE* file, const void* data, size_t size) {
  constexpr size_t kPiece = size_t{1} << 20;
  const char* bytes = static_cast<const char*>(data);
  for (size_t done = 0; done < size;) {
    const size_t piece = std::min(kPiece, size - done);
    if (std::fwrite(bytes + done, 1, piece, file) != piece) return false;
    done += piece;
  }
  return true;
}

}  // namespace zvpack
