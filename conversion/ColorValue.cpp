#include "conversion/ColorValue.h"
#include <algorithm>
#include <cmath>
#include <emmintrin.h>

void rgbToHsv(BYTE red, BYTE green, BYTE blue, double& hue, double& saturation, double& value)
{
    int most = std::max({red, green, blue});
    int least = std::min({red, green, blue});
    value = most / 255.0;
    hue = 0;
    saturation = 0;
    if (most == 0)
        return;
    saturation = static_cast<double>(most - least) / most;
    if (saturation == 0)
        return;
    double spread = most - least;
    if (most == red)
        hue = (green - blue) * 60.0 / spread;
    else if (most == green)
        hue = (blue - red) * 60.0 / spread + 120;
    else
        hue = (red - green) * 60.0 / spread + 240;
    if (hue < 0)
        hue += 360;
}

void hsvToRgb(double hue, double saturation, double value, BYTE& red, BYTE& green, BYTE& blue)
{
    // One turn up and whole turns down bring every hue that ColorValue can make into 0..360; anything further
    // out is folded first so that the sector stays in range.
    if (hue < -360 || hue >= 720)
        hue = std::fmod(hue, 360.0);
    if (hue < 0)
        hue += 360;
    while (hue >= 360)
        hue -= 360;
    saturation = std::clamp(saturation, 0.0, 1.0);
    value = std::clamp(value, 0.0, 1.0);
    double e = value * 255;
    if (saturation == 0) {
        red = green = blue = static_cast<BYTE>(e);
        return;
    }
    double h = hue / 60;
    int sector = static_cast<int>(h);
    double f = h - sector;
    double p = (1 - saturation) * value * 255;
    double q = (1 - f * saturation) * value * 255;
    double t = (1 - (1 - f) * saturation) * value * 255;
    double rgb[6][3] = {{e, t, p}, {q, e, p}, {p, e, t}, {p, q, e}, {t, p, e}, {e, p, q}};
    const double* chosen = rgb[sector];
    red = static_cast<BYTE>(chosen[0]);
    green = static_cast<BYTE>(chosen[1]);
    blue = static_cast<BYTE>(chosen[2]);
}

ColorValue::ColorValue()
{
    fillTables();
}

void ColorValue::setRgb(int red, int green, int blue)
{
    mode = ColorValueRgb;
    redOffset = std::clamp(red, -255, 255);
    greenOffset = std::clamp(green, -255, 255);
    blueOffset = std::clamp(blue, -255, 255);
    hueShift = saturationShift = valueShift = 0;
    saturationScale = 1;
    excludedColor = 0;
    fillTables();
}

void ColorValue::setHsv(double hue, double saturation, double value)
{
    mode = ColorValueHsv;
    redOffset = greenOffset = blueOffset = 0;
    excludedColor = 0;
    hueShift = std::clamp(hue, -360.0, 360.0);
    saturationShift = std::clamp(saturation, -1.0, 1.0);
    valueShift = std::clamp(value, -1.0, 1.0);
    saturationScale = 1;
    fillTables();
}

void ColorValue::setSaturationIncrease(double increase)
{
    setHsv(0, 0, 0);
    saturationScale = 1 + std::clamp(increase, -1.0, 1.0);
}

void ColorValue::shiftHsv(BYTE& red, BYTE& green, BYTE& blue) const
{
    double hue, saturation, value;
    rgbToHsv(red, green, blue, hue, saturation, value);
    hsvToRgb(hue + hueShift, saturation * saturationScale + saturationShift, value + valueShift, red, green, blue);
}

void ColorValue::fillTables()
{
    for (int level = 0; level < 256; ++level) {
        redTable[level] = clampByte(level + redOffset);
        greenTable[level] = clampByte(level + greenOffset);
        blueTable[level] = clampByte(level + blueOffset);
    }
}

void ColorValue::applyRow(BYTE* pixels, int count)
{
    if (mode == ColorValueHsv) {
        shiftHsvRow(pixels, count);
        return;
    }
    RowColorFilter::applyRow(pixels, count);
}

namespace {

// Lanes of 32-bit integers chosen by masks of all ones or zeros.
__m128i choose(__m128i mask, __m128i ifSet, __m128i ifClear)
{
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// The 32-bit lanes 0 and 1 (upper false) or 2 and 3 (upper true) as two doubles.
__m128d doublesOf(__m128i lanes, bool upper)
{
    return _mm_cvtepi32_pd(upper ? _mm_shuffle_epi32(lanes, _MM_SHUFFLE(3, 2, 3, 2)) : lanes);
}

// Two doubles truncated toward zero, and two more, as four 32-bit lanes.
__m128i truncatedFour(__m128d low, __m128d high)
{
    return _mm_unpacklo_epi64(_mm_cvttpd_epi32(low), _mm_cvttpd_epi32(high));
}

// What the colour bytes of four pixels give rgbToHsv, as 32-bit lanes.
struct HsvInputs {
    __m128i most;
    __m128i spread;
    // The difference over the spread and the sector start (0, 120 or 240) of the largest channel's formula.
    __m128i difference;
    __m128i start;

    explicit HsvInputs(__m128i pixels)
    {
        const __m128i byteMask = _mm_set1_epi32(0xFF);
        __m128i blue = _mm_and_si128(pixels, byteMask);
        __m128i green = _mm_and_si128(_mm_srli_epi32(pixels, 8), byteMask);
        __m128i red = _mm_and_si128(_mm_srli_epi32(pixels, 16), byteMask);
        // 16-bit maxima and minima serve: the values fit and the upper halves are 0.
        most = _mm_max_epi16(red, _mm_max_epi16(green, blue));
        spread = _mm_sub_epi32(most, _mm_min_epi16(red, _mm_min_epi16(green, blue)));
        // Red first, then green, then blue, as rgbToHsv tests them.
        __m128i redMost = _mm_cmpeq_epi32(most, red);
        __m128i greenMost = _mm_andnot_si128(redMost, _mm_cmpeq_epi32(most, green));
        difference = choose(redMost, _mm_sub_epi32(green, blue),
                            choose(greenMost, _mm_sub_epi32(blue, red), _mm_sub_epi32(red, green)));
        start = choose(redMost, _mm_setzero_si128(), choose(greenMost, _mm_set1_epi32(120), _mm_set1_epi32(240)));
    }
};

// The first half of the shift for two pixels: hue / 60, saturation and value, scaled, shifted and clamped. Each
// step is the operation of rgbToHsv and hsvToRgb on the same doubles, in the same order.
struct ShiftedHsv {
    __m128d sixths;
    __m128d saturation;
    __m128d value;

    ShiftedHsv() = default;
    ShiftedHsv(const HsvInputs& inputs, bool upper, const __m128d shifts[3], __m128d saturationScale)
    {
        const __m128d zero = _mm_setzero_pd();
        const __m128d one = _mm_set1_pd(1.0);
        const __m128d turn = _mm_set1_pd(360.0);
        __m128d most = doublesOf(inputs.most, upper);
        __m128d spread = doublesOf(inputs.spread, upper);
        // No spread (grey, black included): hue and saturation 0.
        __m128d grey = _mm_cmpeq_pd(spread, zero);
        __m128d hue = _mm_div_pd(_mm_mul_pd(doublesOf(inputs.difference, upper), _mm_set1_pd(60.0)), spread);
        hue = _mm_add_pd(hue, doublesOf(inputs.start, upper));
        // A turn is added only where the hue is negative; elsewhere adding 0 changes nothing, since no hue
        // here is -0.
        hue = _mm_andnot_pd(grey, _mm_add_pd(hue, _mm_and_pd(_mm_cmplt_pd(hue, zero), turn)));
        saturation = _mm_andnot_pd(grey, _mm_div_pd(spread, most));
        value = _mm_div_pd(most, _mm_set1_pd(255.0));

        // The shifted hue lies in -360..720: one turn up or down brings it into 0..360.
        hue = _mm_add_pd(hue, shifts[0]);
        hue = _mm_add_pd(hue, _mm_and_pd(_mm_cmplt_pd(hue, zero), turn));
        hue = _mm_sub_pd(hue, _mm_and_pd(_mm_cmpge_pd(hue, turn), turn));
        sixths = _mm_div_pd(hue, _mm_set1_pd(60.0));
        saturation = _mm_add_pd(_mm_mul_pd(saturation, saturationScale), shifts[1]);
        saturation = _mm_min_pd(_mm_max_pd(saturation, zero), one);
        value = _mm_min_pd(_mm_max_pd(_mm_add_pd(value, shifts[2]), zero), one);
    }
};

// The second half: e, p, q and t of hsvToRgb, and the sector. Without saturation p, q and t equal e, so the
// sector then picks e whatever it is.
struct RgbPair {
    __m128d e, p, q, t;
    __m128i sector;

    explicit RgbPair(const ShiftedHsv& hsv)
    {
        const __m128d one = _mm_set1_pd(1.0);
        const __m128d full = _mm_set1_pd(255.0);
        sector = _mm_cvttpd_epi32(hsv.sixths);
        __m128d f = _mm_sub_pd(hsv.sixths, _mm_cvtepi32_pd(sector));
        __m128d s = hsv.saturation;
        __m128d v = hsv.value;
        e = _mm_mul_pd(v, full);
        p = _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(one, s), v), full);
        q = _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(one, _mm_mul_pd(f, s)), v), full);
        t = _mm_mul_pd(_mm_mul_pd(_mm_sub_pd(one, _mm_mul_pd(_mm_sub_pd(one, f), s)), v), full);
    }
};

// The colour bytes of four pixels from e, p, q and t of hsvToRgb by sector.
__m128i coloursBySector(__m128i sector, __m128i e, __m128i p, __m128i q, __m128i t)
{
    auto in = [&](int which) { return _mm_cmpeq_epi32(sector, _mm_set1_epi32(which)); };
    __m128i zero = in(0), one = in(1), two = in(2), three = in(3), four = in(4), five = in(5);
    __m128i red = choose(one, q, choose(_mm_or_si128(two, three), p, choose(four, t, e)));
    __m128i green = choose(zero, t, choose(three, q, choose(_mm_or_si128(four, five), p, e)));
    __m128i blue = choose(_mm_or_si128(zero, one), p, choose(two, t, choose(five, q, e)));
    return _mm_or_si128(_mm_or_si128(_mm_slli_epi32(red, 16), _mm_slli_epi32(green, 8)), blue);
}

} // namespace

// In two passes over a stretch of the row: the divisions of each pixel depend on one another, and split in two
// the work of neighbouring pixels overlaps instead of waiting.
void ColorValue::shiftHsvRow(BYTE* pixels, int count) const
{
    constexpr int Stretch = 64;
    const __m128d shifts[3] = {_mm_set1_pd(hueShift), _mm_set1_pd(saturationShift), _mm_set1_pd(valueShift)};
    const __m128d scale = _mm_set1_pd(saturationScale);
    ShiftedHsv halves[Stretch / 2];
    int done = 0;
    for (int length; (length = std::min(Stretch, (count - done) & ~3)) > 0; done += length) {
        auto quads = reinterpret_cast<__m128i*>(pixels + done * 4);
        for (int quad = 0; quad < length / 4; ++quad) {
            HsvInputs inputs(_mm_loadu_si128(quads + quad));
            halves[2 * quad] = ShiftedHsv(inputs, false, shifts, scale);
            halves[2 * quad + 1] = ShiftedHsv(inputs, true, shifts, scale);
        }
        for (int quad = 0; quad < length / 4; ++quad) {
            RgbPair low(halves[2 * quad]);
            RgbPair high(halves[2 * quad + 1]);
            __m128i colours = coloursBySector(_mm_unpacklo_epi64(low.sector, high.sector), truncatedFour(low.e, high.e),
                                              truncatedFour(low.p, high.p), truncatedFour(low.q, high.q),
                                              truncatedFour(low.t, high.t));
            __m128i alphas = _mm_and_si128(_mm_loadu_si128(quads + quad),
                                           _mm_set1_epi32(static_cast<int>(0xFF000000u)));
            _mm_storeu_si128(quads + quad, _mm_or_si128(alphas, colours));
        }
    }
    for (; done < count; ++done)
        shiftHsv(pixels[done * 4 + 2], pixels[done * 4 + 1], pixels[done * 4]);
}
