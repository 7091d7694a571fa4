#include <gtest/gtest.h>
#include <memory>
#include <typeinfo>
#include "foundation/TextConverter.h"
#include "settings/AppSetting.h"
#include "settings/OutputFormat.h"
#include "settings/TextEncoding.h"
#include "support/ExpectCode.h"
#include "support/StreamTesting.h"

TEST(OutputFormat, CommandIdsOfIndexesAndBack)
{
    const int commands[] = {12001, 12002, 12003, 12004, 12006, 12005, 12005};
    for (int index = 0; index < 7; ++index)
        EXPECT_EQ(formatIndexToCommandId(index), commands[index]) << index;

    const int indexes[] = {0, 1, 2, 3, 5, 4};
    for (int id = 12001; id <= 12006; ++id)
        EXPECT_EQ(commandIdToFormatIndex(id), indexes[id - 12001]) << id;
    EXPECT_EQ(commandIdToFormatIndex(12000), 4);
    EXPECT_EQ(commandIdToFormatIndex(0), 4);
}

TEST(OutputFormat, DefaultExtensionsComeFromTheStringTable)
{
    const wchar_t* const expected[] = {L"jpg", L"gif", L"tif", L"png", L"bmp", L"wdp", L"hdp"};
    for (int index = 0; index < 7; ++index)
        EXPECT_STREQ(defaultOutputExtension(index).buffer(), expected[index]) << index;
    expectCode(ERROR_INVALID_PARAMETER, [] { defaultOutputExtension(7); });
    expectCode(ERROR_INVALID_PARAMETER, [] { defaultOutputExtension(-1); });
}

TEST(OutputFormat, UserExtensionsOnlyWhenEnabled)
{
    AppSetting setting;
    for (const wchar_t* extension : {L"JPEG", L"gif", L"tiff", L"png", L"dib", L"jxr", L"HDP "})
        setting.outputExts.add(extension);

    EXPECT_STREQ(outputExtensionForFormat(0, setting).buffer(), L"jpg");
    EXPECT_STREQ(outputExtensionForFormat(2, setting).buffer(), L"tif");
    EXPECT_STREQ(outputExtensionForFormat(5, setting).buffer(), L"wdp");

    setting.outputExtEnable = true;
    EXPECT_STREQ(outputExtensionForFormat(0, setting).buffer(), L"JPEG");
    EXPECT_STREQ(outputExtensionForFormat(5, setting).buffer(), L"jxr");
    EXPECT_STREQ(outputExtensionForFormat(6, setting).buffer(), L"HDP ");
    expectCode(ERROR_INVALID_PARAMETER, [&] { outputExtensionForFormat(7, setting); });
    expectCode(ERROR_INVALID_PARAMETER, [&] { outputExtensionForFormat(-1, setting); });

    setting.outputExts.removeAll();
    setting.outputExts.add(L"jpg");
    expectCode(ERROR_INVALID_PARAMETER, [&] { outputExtensionForFormat(3, setting); });
}

TEST(OutputFormat, AUserExtensionThatMakesNoSoundNameGivesWayToTheFormatsOwn)
{
    AppSetting setting;
    setting.outputExtEnable = true;
    for (const wchar_t* extension : {L"", L"..\\up", L"a/b", L"c:d", L"dib", L"b?p", L"x"})
        setting.outputExts.add(extension);
    const wchar_t* const expected[] = {L"jpg", L"gif", L"tif", L"png", L"dib", L"wdp", L"x"};
    for (int index = 0; index < 7; ++index)
        EXPECT_STREQ(outputExtensionForFormat(index, setting).buffer(), expected[index]) << index;
}

TEST(TextEncoding, NamesAreMatchedInLowerCase)
{
    struct Case {
        const wchar_t* name;
        int code;
        const std::type_info& converter;
    };
    const Case cases[] = {
        {L"shift_jis", 1, typeid(CPConverter)}, {L"SJIS", 1, typeid(CPConverter)},
        {L"UTF-8", 2, typeid(Utf8Converter)},   {L"utf8", 2, typeid(Utf8Converter)},
        {L"Utf-16", 3, typeid(Utf16Converter)}, {L"UTF16", 3, typeid(Utf16Converter)},
        {L"JIS", 4, typeid(JisConverter)},      {L"euc-jp", 5, typeid(EucConverter)},
        {L"shift-jis", 2, typeid(Utf8Converter)}, {L"ascii", 2, typeid(Utf8Converter)},
        {L"", 2, typeid(Utf8Converter)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(getEncodingCode(c.name), c.code) << c.name;
        std::unique_ptr<TextConverter> converter(createTextConverter(c.name));
        ASSERT_TRUE(converter) << c.name;
        EXPECT_TRUE(typeid(*converter) == c.converter) << c.name;
    }
}

TEST(TextEncoding, ShiftJisConverterWritesCodePage932)
{
    std::unique_ptr<TextConverter> converter(createTextConverter(L"Shift_JIS"));
    BytesOut out;
    converter->encodeText(L"あA", out);
    EXPECT_EQ(out.bytes(), (Bytes{0x82, 0xA0, 'A'}));
}
