#include "fx/Library.h"

#include <dlfcn.h>

namespace fx {

std::unique_ptr<Library> Library::Load(const std::string& path, std::string& error) {
  // RTLD_LOCAL keeps each load's globals its own, so unloading really destroys them.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = dlerror();
    error = reason ? reason : "the module could not be loaded";
    return nullptr;
  }
  return std::unique_ptr<Library>(new Library(handle));
}

Library::~Library() {
  if (m_handle != nullptr) dlclose(m_handle);
}

}  // namespace fx
