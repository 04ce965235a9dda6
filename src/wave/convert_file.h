#ifndef KORVANE_WAVE_CONVERT_FILE_H_
#define KORVANE_WAVE_CONVERT_FILE_H_

#include <string>

namespace korvane {

// Converts the MS ADPCM WAVE file at `inPath` into 16-bit PCM labelled 8000 Hz, written first
// to `outPath` and then put in the input's place, the input kept under its backup name.
// Prints its progress. Returns 0 when converted; -1 when the input cannot be opened or read;
// -2 when it is no WAVE file or the output cannot be created; -3 when it is not 4-bit MS
// ADPCM; -4 when the output cannot be written or put in place; -5 when the input has no
// usable backup name.
int convertFile(const std::string& inPath, const std::string& outPath);

}  // namespace korvane

#endif  // KORVANE_WAVE_CONVERT_FILE_H_
