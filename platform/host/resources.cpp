// Host resources: an in-memory registry. Only generic POSIX code belongs in platform/host.
#include "platform/resources.h"

#include "platform/host/resource_registry.h"

#include <strings.h>

#include <string>
#include <vector>

namespace platform {
namespace {

struct Registered {
  std::string type;
  std::string name;
  const unsigned char* data;
  uint32_t size;
};

std::vector<Registered>& Registry() {
  static std::vector<Registered>* registry = new std::vector<Registered>;
  return *registry;
}

Registered* Lookup(const char* type, const char* name) {
  for (Registered& item : Registry()) {
    if (strcasecmp(item.type.c_str(), type) == 0 && strcasecmp(item.name.c_str(), name) == 0) {
      return &item;
    }
  }
  return nullptr;
}

}  // namespace

void RegisterResource(const char* type, const char* name, const void* data, uint32_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (Registered* item = Lookup(type, name)) {
    item->data = bytes;
    item->size = size;
    return;
  }
  Registry().push_back(Registered{type, name, bytes, size});
}

void ClearResources() { Registry().clear(); }

bool FindResourceBytes(void* /*module*/, const char* type, const char* name, ResourceBytes* found) {
  if (type == nullptr || name == nullptr) return false;
  Registered* item = Lookup(type, name);
  if (item == nullptr || item->data == nullptr) return false;
  found->data = item->data;
  found->size = item->size;
  return true;
}

}  // namespace platform
