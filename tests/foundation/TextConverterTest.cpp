#include <gtest/gtest.h>
#include <memory>
#include "foundation/Euc.h"
#include "foundation/Jis.h"
#include "foundation/TextConverter.h"
#include "support/StreamTesting.h"

namespace {

// Kanji, hiragana, katakana, half-width katakana with sound marks, ASCII and line ends.
const wchar_t* const japanese = L"漢字とひらがな、カタカナ。ｶﾞｯﾂ ﾊﾟﾝ ｱｲｳ"
                                L" ASCII 123\r\n次の行\n";
// ISO-2022-JP carries no half-width katakana: they come back widened, the marks joined where they can be.
const wchar_t* const widened = L"漢字とひらがな、カタカナ。ガッツ パン アイウ"
                               L" ASCII 123\r\n次の行\n";

template <typename AnyConverter>
Bytes run(AnyConverter&& converter, const Bytes& input, bool encoding = true)
{
    BytesIn in(input);
    BytesOut out;
    int count = encoding ? converter.encode(in, out) : converter.decode(in, out);
    EXPECT_EQ(count, out.getLength());
    return out.bytes();
}

Bytes encodeText(TextConverter& converter, const wchar_t* text, bool withBom = false)
{
    BytesOut out;
    int count = withBom ? converter.writeBom(out) : 0;
    count += converter.encodeText(text, out);
    EXPECT_EQ(count, out.getLength());
    return out.bytes();
}

std::wstring decodeText(TextConverter& converter, const Bytes& bytes)
{
    BytesIn in(bytes);
    wstring text;
    EXPECT_EQ(converter.decodeText(in, 0, text), static_cast<int>(bytes.size()));
    return text.buffer();
}

// ESC $ B, the bytes, ESC ( B.
Bytes inEscapes(Bytes middle)
{
    middle.insert(middle.begin(), {0x1B, '$', 'B'});
    middle.insert(middle.end(), {0x1B, '(', 'B'});
    return middle;
}

} // namespace

TEST(TextConverter, JapaneseTextRoundTripsWithAndWithoutByteOrderMark)
{
    struct {
        const char* name;
        std::unique_ptr<TextConverter> converter;
        Bytes bom;
        const wchar_t* decoded;
    } encodings[] = {
        {"UTF-16", std::make_unique<Utf16Converter>(), {0xFF, 0xFE}, japanese},
        {"UTF-8", std::make_unique<Utf8Converter>(), {0xEF, 0xBB, 0xBF}, japanese},
        {"Shift_JIS", std::make_unique<CPConverter>(932), {}, japanese},
        {"ISO-2022-JP", std::make_unique<JisConverter>(), {}, widened},
        {"EUC-JP", std::make_unique<EucConverter>(), {}, japanese},
    };
    for (auto& [name, converter, bom, decoded] : encodings) {
        SCOPED_TRACE(name);
        Bytes plain = encodeText(*converter, japanese);
        EXPECT_EQ(decodeText(*converter, plain), decoded);

        // A mark is written only when asked for, and reading keeps it as U+FEFF.
        Bytes marked = encodeText(*converter, japanese, true);
        EXPECT_EQ(Bytes(marked.begin(), marked.begin() + bom.size()), bom);
        EXPECT_EQ(Bytes(marked.begin() + bom.size(), marked.end()), plain);
        EXPECT_EQ(decodeText(*converter, marked), (bom.empty() ? L"" : L"\xFEFF") + std::wstring(decoded));

        // Stream to stream, the text side is UTF-16 units.
        auto units = reinterpret_cast<const BYTE*>(japanese);
        Bytes utf16(units, units + lstrlenW(japanese) * sizeof(wchar_t));
        EXPECT_EQ(run(*converter, utf16), plain);
        Bytes back = run(*converter, plain, false);
        EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(back.data()), back.size() / 2), decoded);

        EXPECT_TRUE(encodeText(*converter, L"").empty());
        EXPECT_EQ(decodeText(*converter, {}), L"");
    }
}

TEST(TextConverter, LimitsZerosAndUnmappableCharacters)
{
    Utf8Converter utf8;
    BytesIn in(encodeText(utf8, L"漢字abc"));
    wstring text;
    EXPECT_EQ(utf8.decodeText(in, 6, text), 6);
    EXPECT_STREQ(text.buffer(), L"漢字");
    EXPECT_EQ(utf8.decodeText(in, 0, text), 3);
    EXPECT_STREQ(text.buffer(), L"abc");

    CPConverter westEuropean(1252);
    EXPECT_EQ(encodeText(westEuropean, L"a漢é"), (Bytes{'a', '?', 0xE9}));
    EXPECT_EQ(decodeText(westEuropean, {'a', 0xE9, 0, 'b'}), L"aé");
    Utf16Converter utf16;
    EXPECT_EQ(decodeText(utf16, {'a', 0, 0, 0, 'b', 0}), L"a");
    EXPECT_EQ(thrownCode([&] { encodeText(utf16, nullptr); }), ErrorCode::InvalidArgument);
}

TEST(Jis, EscapesSurroundDoubleByteRunsOnly)
{
    JisConverter jis;
    EXPECT_EQ(encodeText(jis, L"A亜B"), (Bytes{'A', 0x1B, '$', 'B', 0x30, 0x21, 0x1B, '(', 'B', 'B'}));
    EXPECT_EQ(encodeText(jis, L"ASCII\r\n"), (Bytes{'A', 'S', 'C', 'I', 'I', '\r', '\n'}));
    EXPECT_EQ(encodeText(jis, L"亜"), inEscapes({0x30, 0x21}));
    // A lead byte without its trail is dropped and the run is still closed; user-defined pairs become ??.
    EXPECT_EQ(run(Jis(), {'A', 0x88}), (Bytes{'A', 0x1B, '$', 'B', 0x1B, '(', 'B'}));
    EXPECT_EQ(run(Jis(), {0xF0, 0x40, 'x', 0xF0}), (Bytes{'?', '?', 'x'}));

    EXPECT_EQ(run(Jis(), inEscapes({0x30, 0x21, 0x25, 0x74}), false), (Bytes{0x88, 0x9F, 0x83, 0x94}));
    EXPECT_EQ(run(Jis(), {'A', 0x1B, '$', 'B', 0x30}, false), (Bytes{'A'}));
}

TEST(Jis, HalfWidthKatakanaAreWidenedAndJoinedWithTheirMarks)
{
    EXPECT_EQ(run(Jis(), {0xB6, 0xDE}), inEscapes({0x25, 0x2C}));              // ｶﾞ: ガ
    EXPECT_EQ(run(Jis(), {0xCA, 0xDF}), inEscapes({0x25, 0x51}));              // ﾊﾟ: パ
    EXPECT_EQ(run(Jis(), {0xB3, 0xDE}), inEscapes({0x25, 0x74}));              // ｳﾞ: ヴ
    EXPECT_EQ(run(Jis(), {0xB1, 0xDE}), inEscapes({0x25, 0x22, 0x21, 0x2B}));  // ｱﾞ: ア゛
    EXPECT_EQ(run(Jis(), {0xB6, 0xDF}), inEscapes({0x25, 0x2B, 0x21, 0x2C}));  // ｶﾟ: カ゜
    EXPECT_EQ(run(Jis(), {0xA1, 0xA2, 0xB0, 0xDD}), inEscapes({0x21, 0x23, 0x21, 0x56, 0x21, 0x3C, 0x25, 0x73}));
    // The byte after an unjoined katakana is handled on its own.
    EXPECT_EQ(run(Jis(), {0xB1, 0x88, 0x9F}), inEscapes({0x25, 0x22, 0x30, 0x21}));
    Bytes thenAscii = inEscapes({0x25, 0x22});
    thenAscii.push_back('A');
    EXPECT_EQ(run(Jis(), {0xB1, 'A'}), thenAscii);
}

TEST(Euc, HalfWidthKatakanaTravelBehindSingleShift2)
{
    EXPECT_EQ(run(Euc(), {0xB1}), (Bytes{0x8E, 0xB1}));
    EXPECT_EQ(run(Euc(), {0x8E, 0xB1}, false), (Bytes{0xB1}));
    EXPECT_EQ(run(Euc(), {'A', 0x88, 0x9F, 0xB6, 0xDE}), (Bytes{'A', 0xB0, 0xA1, 0x8E, 0xB6, 0x8E, 0xDE}));
    EXPECT_EQ(run(Euc(), {'A', 0xB0, 0xA1, 0x8E, 0xB6, 0x8E, 0xDE}, false), (Bytes{'A', 0x88, 0x9F, 0xB6, 0xDE}));
    EXPECT_EQ(run(Euc(), {0xF0, 0x40, 'z', 0x88}), (Bytes{'?', '?', 'z'}));
    EXPECT_EQ(run(Euc(), {'a', 0xB0}, false), (Bytes{'a'}));
}
