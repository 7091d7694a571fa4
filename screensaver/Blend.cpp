#include "screensaver/Blend.h"
#include <cpuid.h>
#include <mmintrin.h>

namespace Blend {

void mix(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight)
{
    for (int i = 0; i < count; ++i)
        out[i] = static_cast<BYTE>(picture[i] + weight * (background[i] - picture[i]) / 255);
}

void mixMmx(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight)
{
    const __m64 zero = _mm_setzero_si64();
    const __m64 weights = _mm_set1_pi16(static_cast<short>(weight));
    const __m64 lowBytes = _mm_set1_pi16(0x00FF);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m64 front = *reinterpret_cast<const __m64_u*>(picture + i);
        __m64 back = *reinterpret_cast<const __m64_u*>(background + i);
        // Differences and products wrap in 16 bits; the logical shift then leaves floor(product / 256) in the
        // low byte of each lane, which is all that the byte-wise add keeps.
        __m64 low = _mm_srli_pi16(
            _mm_mullo_pi16(_mm_sub_pi16(_mm_unpacklo_pi8(back, zero), _mm_unpacklo_pi8(front, zero)), weights), 8);
        __m64 high = _mm_srli_pi16(
            _mm_mullo_pi16(_mm_sub_pi16(_mm_unpackhi_pi8(back, zero), _mm_unpackhi_pi8(front, zero)), weights), 8);
        __m64 shift = _mm_packs_pu16(_mm_and_si64(low, lowBytes), _mm_and_si64(high, lowBytes));
        *reinterpret_cast<__m64_u*>(out + i) = _mm_add_pi8(front, shift);
    }
    _mm_empty();
    // The bytes after the last full group of eight, by the same rule.
    for (; i < count; ++i)
        out[i] = static_cast<BYTE>(picture[i] + ((weight * (background[i] - picture[i])) >> 8));
}

bool processorHasMmx()
{
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    return __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (edx & bit_MMX) != 0;
}

void mixFast(const BYTE* picture, const BYTE* background, BYTE* out, int count, int weight)
{
    static const bool mmx = processorHasMmx();
    if (mmx)
        mixMmx(picture, background, out, count, weight);
    else
        mix(picture, background, out, count, weight);
}

} // namespace Blend
