// The elevation and security-descriptor calls of the test platform library.
#include "platform/testing/security_recorder.h"

#include "platform/security.h"
#include "platform/testing/kept_text.h"
#include "platform/testing/real_calls.h"

#include <cstring>

namespace platform {
namespace {

using testing_internal::KeptText;

KeptText elevatedUser;
bool elevationAnswered = false;

// The SDDL of the descriptors made lately, by address; a run makes two.
struct Made {
  const void* descriptor = nullptr;
  KeptText sddl;
};
Made made[4];
int nextMade = 0;

struct Secured {
  const char* kind;
  KeptText path;
  KeptText sddl;
};
Secured secured[] = {{"folder", {}, {}}, {"file", {}, {}}};
int securedCount = 0;

Secured* SecuredOfKind(const char* kind) {
  for (Secured& slot : secured) {
    if (std::strcmp(slot.kind, kind) == 0) return &slot;
  }
  return nullptr;
}

const char* SddlOf(const void* descriptor) {
  for (const Made& slot : made) {
    if (slot.descriptor == descriptor) return slot.sddl.Get();
  }
  return "(a descriptor not made by MakeSecurityDescriptor)";
}

}  // namespace

void SetElevatedUserForTesting(const char* sid) {
  elevationAnswered = sid != nullptr;
  elevatedUser.Set(sid);
}

const char* SecuredPathForTesting(const char* kind) { return SecuredOfKind(kind)->path.Get(); }
const char* SecuredSddlForTesting(const char* kind) { return SecuredOfKind(kind)->sddl.Get(); }
int SecuredCreationsForTesting() { return securedCount; }

void ResetSecuredCreationsForTesting() {
  for (Secured& slot : secured) {
    slot.path.Set(nullptr);
    slot.sddl.Set(nullptr);
  }
  securedCount = 0;
}

namespace testing_internal {

void KeepSecuredCreation(const char* kind, const char* path, const void* security) {
  Secured* slot = SecuredOfKind(kind);
  slot->path.Set(path);
  slot->sddl.Set(SddlOf(security));
  ++securedCount;
}

}  // namespace testing_internal

bool GetElevatedUser(char* sid, uint32_t size) {
  testing_internal::SystemCall system;
  if (!elevationAnswered) return RealGetElevatedUser(sid, size);
  const char* user = elevatedUser.Get();
  const size_t length = std::strlen(user);
  if (length == 0 || length >= size) return false;
  std::memcpy(sid, user, length + 1);
  return true;
}

void* MakeSecurityDescriptor(const char* sddl) {
  testing_internal::SystemCall system;
  void* descriptor = RealMakeSecurityDescriptor(sddl);
  if (descriptor != nullptr) {
    made[nextMade].descriptor = descriptor;
    made[nextMade].sddl.Set(sddl);
    nextMade = (nextMade + 1) % 4;
  }
  return descriptor;
}

}  // namespace platform
