#include "wave/backup_name.h"

namespace korvane {

std::string backupName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  if (path.size() - nameStart < 3) return path + ".voc";
  return path.substr(0, path.size() - 3) + "voc";
}

}  // namespace korvane
