#include "platform/native_path.h"

namespace korvane::platform {

std::string nativePath(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

}  // namespace korvane::platform
