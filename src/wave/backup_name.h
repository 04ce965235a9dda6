#ifndef KORVANE_WAVE_BACKUP_NAME_H_
#define KORVANE_WAVE_BACKUP_NAME_H_

#include <string>

namespace korvane {

// The name the input keeps as a backup: the last three characters of its file name become
// "voc" ('sub/a.wav' gives 'sub/a.voc'); a file name shorter than that gets ".voc" appended.
// The directory part is never touched.
std::string backupName(const std::string& path);

}  // namespace korvane

#endif  // KORVANE_WAVE_BACKUP_NAME_H_
