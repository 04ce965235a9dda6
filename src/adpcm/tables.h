#ifndef KORVANE_ADPCM_TABLES_H_
#define KORVANE_ADPCM_TABLES_H_

#include <cstdint>

namespace korvane {

// The adaptation table and the seven coefficient pairs as the MS ADPCM format publishes them.
// The decoder always uses these and never the copy a file carries in its format chunk.
inline constexpr int32_t AdaptationTable[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                                                768, 614, 512, 409, 307, 230, 230, 230};
inline constexpr int32_t kCoef1[7] = {256, 512, 0, 192, 240, 460, 392};
inline constexpr int32_t kCoef2[7] = {0, -256, 0, 64, 0, -208, -232};
inline constexpr int kCoefPairs = 7;

}  // namespace korvane

#endif  // KORVANE_ADPCM_TABLES_H_
