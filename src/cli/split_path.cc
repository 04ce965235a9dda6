#include "cli/split_path.h"

namespace korvane {

PathParts splitName(const std::string& bareName) {
  PathParts parts;
  const size_t dot = bareName.rfind('.');
  if (dot == std::string::npos) {
    parts.name = bareName;
  } else {
    parts.name = bareName.substr(0, dot);
    parts.extension = bareName.substr(dot);
  }
  return parts;
}

PathParts splitPath(const std::string& path) {
  PathParts parts;
  size_t start = 0;
  if (path.size() >= 2 && path[1] == ':') {
    parts.drive = path.substr(0, 2);
    start = 2;
  }
  const size_t slash = path.find_last_of("/\\");
  size_t nameStart = start;
  if (slash != std::string::npos && slash >= start) nameStart = slash + 1;
  const std::string last = path.substr(nameStart);
  if (last == "." || last == "..") {
    parts.directory = path.substr(start);
    return parts;
  }
  parts.directory = path.substr(start, nameStart - start);
  const PathParts named = splitName(last);
  parts.name = named.name;
  parts.extension = named.extension;
  return parts;
}

}  // namespace korvane
