//===- kept_text.h - A text kept by a test seam (internal) ----------------===//
// Internal to the test platform library. The text lives in a block of the C
// heap, outside the allocators that the seams fail.
#ifndef VX_PLATFORM_TESTING_KEPT_TEXT_H
#define VX_PLATFORM_TESTING_KEPT_TEXT_H

#include <cstdlib>
#include <cstring>

namespace platform {
namespace testing_internal {

// Null stands for "none" and reads as empty.
class KeptText {
 public:
  void Set(const char* text) {
    std::free(text_);
    text_ = nullptr;
    if (text == nullptr) return;
    const size_t size = std::strlen(text) + 1;
    text_ = static_cast<char*>(std::malloc(size));
    if (text_ != nullptr) std::memcpy(text_, text, size);
  }
  const char* Get() const { return text_ != nullptr ? text_ : ""; }
  const char* GetOrNull() const { return text_; }

 private:
  char* text_ = nullptr;
};

}  // namespace testing_internal
}  // namespace platform

#endif  // VX_PLATFORM_TESTING_KEPT_TEXT_H
