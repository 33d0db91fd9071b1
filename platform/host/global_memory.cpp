// Host global memory: the C heap stands in for the global heap.
#include "platform/global_memory.h"

#include <cstdlib>

namespace platform {
namespace {

int allocationsLeft = -1;

}  // namespace

void* GlobalBlockAlloc(size_t size) {
  if (size == 0) return nullptr;
  if (allocationsLeft == 0) return nullptr;
  if (allocationsLeft > 0) --allocationsLeft;
  return std::malloc(size);
}

void GlobalBlockFree(void* block) { std::free(block); }

void FailGlobalBlockAllocAfterForTesting(int successes) { allocationsLeft = successes; }

}  // namespace platform
