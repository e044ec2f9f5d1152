// Loading and unloading a plug-in module.
#pragma once

#include <memory>
#include <string>

namespace fx {

class Library {
 public:
  // Loads the module at a path in the platform's file-name encoding; the module's globals are
  // constructed before this returns. Null with `error` set when it cannot be loaded.
  static std::unique_ptr<Library> Load(const std::string& path, std::string& error);
  // Unloads the module: its globals are destroyed.
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

 private:
  explicit Library(void* handle) : m_handle(handle) {}
  void* m_handle;
};

}  // namespace fx
