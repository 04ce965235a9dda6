#include "adpcm/decode_blocks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>

#include "adpcm/decoder.h"
#include "adpcm/tables.h"

namespace korvane {

namespace {

constexpr int kLanes = 8;
constexpr int kCodeBytes = static_cast<int>(kBlockBytes - kBlockHeaderBytes);
constexpr int kSteps = 2 * kCodeBytes;

#if defined(__SSE2__)

// Everything one code byte contributes, looked up once: the adaptation factors of its two
// nibbles (bits 0-9 high nibble, 10-19 low nibble) and the nibbles themselves (bits 20-23
// and 28-31), placed so that an arithmetic shift yields them sign-extended.
constexpr std::array<uint32_t, 256> makeByteTable() {
  std::array<uint32_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    const unsigned high = byte >> 4;
    const unsigned low = byte & 0x0F;
    table[byte] = static_cast<uint32_t>(AdaptationTable[high]) |
                  static_cast<uint32_t>(AdaptationTable[low]) << 10 | high << 20 | low << 28;
  }
  return table;
}
constexpr std::array<uint32_t, 256> kByteTable = makeByteTable();

// The low 32 bits of four 32-bit products; SSE2 has no single instruction for it.
inline __m128i multiplyLow(__m128i a, __m128i b) {
  const __m128i even = _mm_mul_epu32(a, b);
  const __m128i odd = _mm_mul_epu32(_mm_srli_si128(a, 4), _mm_srli_si128(b, 4));
  return _mm_unpacklo_epi32(_mm_shuffle_epi32(even, _MM_SHUFFLE(0, 0, 2, 0)),
                            _mm_shuffle_epi32(odd, _MM_SHUFFLE(0, 0, 2, 0)));
}

// Four blocks' state, one lane each. Each lane of `history` holds sample1 in its low half and
// sample2 in its high half, and `coefs` the matching pair, so that one multiply-add gives the
// four predictions' sums; they cannot overflow, as the samples and coefficients are small.
struct Lanes {
  __m128i history;
  __m128i coefs;
  __m128i delta;
};

// decodeSample for four lanes at once, bit for bit.
inline __m128i step(Lanes& lanes, __m128i signedCode, __m128i factor) {
  const __m128i sum = _mm_madd_epi16(lanes.history, lanes.coefs);
  const __m128i roundUp = _mm_and_si128(_mm_srai_epi32(sum, 31), _mm_set1_epi32(255));
  const __m128i prediction = _mm_srai_epi32(_mm_add_epi32(sum, roundUp), 8);
  const __m128i value = _mm_add_epi32(prediction, multiplyLow(signedCode, lanes.delta));
  const __m128i saturated = _mm_packs_epi32(value, value);
  lanes.history = _mm_or_si128(_mm_unpacklo_epi16(saturated, _mm_setzero_si128()),
                               _mm_slli_epi32(lanes.history, 16));
  const __m128i adapted = _mm_srai_epi32(multiplyLow(factor, lanes.delta), 8);
  const __m128i floor = _mm_set1_epi32(16);
  const __m128i above = _mm_cmpgt_epi32(adapted, floor);
  lanes.delta = _mm_or_si128(_mm_and_si128(above, adapted), _mm_andnot_si128(above, floor));
  return saturated;
}

// Moves the samples of eight steps of four blocks, stored abreast two steps a vector, into
// their blocks.
inline void sortIntoBlocks(const int16_t* abreast, int16_t* const out[4], int first) {
  const __m128i* v = reinterpret_cast<const __m128i*>(abreast);
  const __m128i u0 = _mm_unpacklo_epi16(v[0], v[1]);
  const __m128i u1 = _mm_unpackhi_epi16(v[0], v[1]);
  const __m128i u2 = _mm_unpacklo_epi16(v[2], v[3]);
  const __m128i u3 = _mm_unpackhi_epi16(v[2], v[3]);
  const __m128i w0 = _mm_unpacklo_epi16(u0, u1);
  const __m128i w1 = _mm_unpackhi_epi16(u0, u1);
  const __m128i w2 = _mm_unpacklo_epi16(u2, u3);
  const __m128i w3 = _mm_unpackhi_epi16(u2, u3);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out[0] + first), _mm_unpacklo_epi64(w0, w2));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out[1] + first), _mm_unpackhi_epi64(w0, w2));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out[2] + first), _mm_unpacklo_epi64(w1, w3));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out[3] + first), _mm_unpackhi_epi64(w1, w3));
}

Lanes startLanes(const uint8_t* const blocks[4], int16_t* const out[4]) {
  alignas(16) int32_t history[4];
  alignas(16) int32_t coefs[4];
  alignas(16) int32_t delta[4];
  for (int l = 0; l < 4; ++l) {
    const AdpcmState state = startBlock(blocks[l], out[l]);
    delta[l] = state.delta;
    history[l] =
        static_cast<int32_t>(static_cast<uint16_t>(state.sample1) |
                             static_cast<uint32_t>(static_cast<uint16_t>(state.sample2)) << 16);
    coefs[l] =
        static_cast<int32_t>(static_cast<uint16_t>(state.coef1) |
                             static_cast<uint32_t>(static_cast<uint16_t>(state.coef2)) << 16);
  }
  return Lanes{_mm_load_si128(reinterpret_cast<const __m128i*>(history)),
               _mm_load_si128(reinterpret_cast<const __m128i*>(coefs)),
               _mm_load_si128(reinterpret_cast<const __m128i*>(delta))};
}

// Decodes one code byte of four blocks: two steps.
inline void decodeByte(Lanes& lanes, const uint8_t* const blocks[4], int i, int16_t* abreast) {
  const __m128i factorMask = _mm_set1_epi32(0x3FF);
  const __m128i entries =
      _mm_set_epi32(static_cast<int32_t>(kByteTable[blocks[3][kBlockHeaderBytes + i]]),
                    static_cast<int32_t>(kByteTable[blocks[2][kBlockHeaderBytes + i]]),
                    static_cast<int32_t>(kByteTable[blocks[1][kBlockHeaderBytes + i]]),
                    static_cast<int32_t>(kByteTable[blocks[0][kBlockHeaderBytes + i]]));
  const __m128i high = step(lanes, _mm_srai_epi32(_mm_slli_epi32(entries, 8), 28),
                            _mm_and_si128(entries, factorMask));
  const __m128i low = step(lanes, _mm_srai_epi32(entries, 28),
                           _mm_and_si128(_mm_srli_epi32(entries, 10), factorMask));
  _mm_store_si128(reinterpret_cast<__m128i*>(abreast + 8 * i), _mm_unpacklo_epi64(high, low));
}

void sortAllIntoBlocks(const int16_t* abreast, int16_t* const out[4]) {
  constexpr int kWholeEights = kSteps / 8 * 8;
  for (int s = 0; s < kWholeEights; s += 8) sortIntoBlocks(abreast + 4 * s, out, 2 + s);
  for (int s = kWholeEights; s < kSteps; ++s) {
    for (int l = 0; l < 4; ++l) out[l][2 + s] = abreast[4 * s + l];
  }
}

// Two groups of four blocks in one loop: their chains are independent, so one group's
// multiplies run while the other's wait.
void decodeGroups(const uint8_t* const blocks[kLanes], int16_t* const out[kLanes]) {
  Lanes first = startLanes(blocks, out);
  Lanes second = startLanes(blocks + 4, out + 4);
  alignas(16) int16_t abreastFirst[kSteps * 4];
  alignas(16) int16_t abreastSecond[kSteps * 4];
  for (int i = 0; i < kCodeBytes; ++i) {
    decodeByte(first, blocks, i, abreastFirst);
    decodeByte(second, blocks + 4, i, abreastSecond);
  }
  sortAllIntoBlocks(abreastFirst, out);
  sortAllIntoBlocks(abreastSecond, out + 4);
}

#else

void decodeGroups(const uint8_t* const blocks[kLanes], int16_t* const out[kLanes]) {
  for (int l = 0; l < kLanes; ++l) decodeBlock(blocks[l], kBlockBytes, out[l]);
}

#endif

}  // namespace

int decodeBlocks(const uint8_t* blocks, size_t stride, int count, int16_t* out) {
  int done = 0;
  for (; done + kLanes <= count; done += kLanes) {
    const uint8_t* group[kLanes];
    int16_t* samples[kLanes];
    for (int l = 0; l < kLanes; ++l) {
      group[l] = blocks + static_cast<size_t>(done + l) * stride;
      samples[l] = out + static_cast<size_t>(done + l) * kBlockSamples;
    }
    decodeGroups(group, samples);
  }
  for (; done < count; ++done) {
    decodeBlock(blocks + static_cast<size_t>(done) * stride, kBlockBytes,
                out + static_cast<size_t>(done) * kBlockSamples);
  }
  return count * kBlockSamples;
}

}  // namespace korvane
