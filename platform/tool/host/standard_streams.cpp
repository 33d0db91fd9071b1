// Standard output and error on the host: bytes pass through as written.
#include "platform/tool/standard_streams.h"

namespace platform_tool {

void PrepareStandardStreams() {}

}  // namespace platform_tool
