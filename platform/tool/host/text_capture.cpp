// The captured text in memory (open_memstream).
#include "platform/tool/text_capture.h"

#include <cstdlib>

namespace platform_tool {

struct TextCapture::State {
  char* text = nullptr;
  size_t length = 0;
  std::FILE* file = nullptr;
};

TextCapture::TextCapture() : state_(new State) { state_->file = open_memstream(&state_->text, &state_->length); }

TextCapture::~TextCapture() {
  if (state_->file != nullptr) std::fclose(state_->file);
  std::free(state_->text);
}

std::FILE* TextCapture::File() const { return state_->file; }

std::string TextCapture::Finish() {
  if (state_->file == nullptr) return std::string();
  std::fclose(state_->file);  // sets text and length to what was written
  state_->file = nullptr;
  return std::string(state_->text, state_->length);
}

}  // namespace platform_tool
