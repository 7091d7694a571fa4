#include <gtest/gtest.h>
#include "foundation/DateTime.h"
#include "ValueTestSupport.h"

namespace {

SYSTEMTIME moment(int year, int month, int day, int hour, int minute, int second, int millisecond)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    time.wMilliseconds = static_cast<WORD>(millisecond);
    return time;
}

Date date(int year, int month, int day)
{
    Date value;
    value.set(year, month, day);
    return value;
}

} // namespace

TEST(Date, AcceptsOnlyRealDays)
{
    EXPECT_STREQ(date(2000, 2, 29).toString().buffer(), L"2000:02:29");
    EXPECT_STREQ(date(2024, 2, 29).toString().buffer(), L"2024:02:29");
    EXPECT_STREQ(date(9999, 12, 31).toString().buffer(), L"9999:12:31");

    const int invalid[][3] = {{1900, 2, 29}, {2023, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2024, 13, 1},
                              {2024, 0, 1},  {2024, 1, 0},  {2024, 4, 31}, {2024, 1, 32}, {-1, 1, 1}};
    for (const auto& day : invalid) {
        Date value = date(2021, 6, 15);
        EXPECT_EQ(thrownCode([&] { value.set(day[0], day[1], day[2]); }), ERROR_INVALID_PARAMETER) << day[0];
        EXPECT_STREQ(value.toString().buffer(), L"2021:06:15");
    }
}

TEST(Time, AcceptsOnlyTimesOfOneDay)
{
    Time value;
    value.set(23, 59, 59, 999);
    EXPECT_STREQ(value.toString().buffer(), L"23:59:59");

    const int invalid[][4] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000},
                              {-1, 0, 0, 0}, {0, -1, 0, 0}, {0, 0, -1, 0}, {0, 0, 0, -1}};
    for (const auto& time : invalid) {
        EXPECT_EQ(thrownCode([&] { value.set(time[0], time[1], time[2], time[3]); }), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(value.getMillisecond(), 999);
        EXPECT_STREQ(value.toString().buffer(), L"23:59:59");
    }
}

TEST(Date, FormatterRefusalIsThrown)
{
    // Some systems format no date before 1601; the date itself stays valid and the refusal is an Exception.
    Date early = date(1600, 12, 31);
    int code = thrownCode([&] { EXPECT_STREQ(early.toString().buffer(), L"1600:12:31"); });
    EXPECT_TRUE(code == 0 || code == ERROR_INVALID_PARAMETER) << code;
    EXPECT_EQ(early.getYear(), 1600);
}

TEST(Date, DayOfWeekAgreesWithTheSystemCalendar)
{
    EXPECT_EQ(date(2000, 1, 1).dayOfWeek(), 6);
    EXPECT_EQ(date(2024, 3, 1).dayOfWeek(), 5);
    EXPECT_EQ(date(1, 1, 1).dayOfWeek(), 1);
    for (int year = 1601; year <= 2400; year += 7) {
        for (int month = 1; month <= 12; ++month) {
            for (int day : {1, 28}) {
                SYSTEMTIME given = moment(year, month, day, 0, 0, 0, 0);
                FILETIME file;
                SYSTEMTIME system;
                ASSERT_TRUE(SystemTimeToFileTime(&given, &file) && FileTimeToSystemTime(&file, &system));
                ASSERT_EQ(date(year, month, day).dayOfWeek(), system.wDayOfWeek) << year << "-" << month;
            }
        }
    }
}

TEST(DateTime, FixedFormsIgnoreTheLocale)
{
    DateTime stamp(moment(2024, 3, 9, 14, 5, 7, 0));
    EXPECT_STREQ(stamp.toString().buffer(), L"2024:03:09 14:05:07");
    EXPECT_STREQ(stamp.format(L"yyyyMMdd").buffer(), L"20240309");
    EXPECT_STREQ(stamp.format(L"yyyyMM").buffer(), L"202403");
    EXPECT_STREQ(stamp.format(L"yyyy").buffer(), L"2024");
    EXPECT_STREQ(stamp.format(L"yyyy-MM-dd_HH.mm.ss").buffer(), L"2024-03-09_14.05.07");

    ThreadLocaleScope german(GermanLocale);
    EXPECT_STREQ(stamp.toString().buffer(), L"2024:03:09 14:05:07");
    wstring shown = stamp.toLocaleString(TIME_NOSECONDS);
    EXPECT_GE(shown.find(L"2024"), 0) << shown.buffer();
    EXPECT_TRUE(shown.endsWith(L" 14:05")) << shown.buffer();
}

TEST(DateTime, SetSystemTimeIsAllOrNothing)
{
    DateTime value(moment(2024, 3, 9, 14, 5, 7, 250));
    DateTime before(value);
    SYSTEMTIME badMonth = moment(2025, 13, 1, 1, 2, 3, 4);
    SYSTEMTIME badHour = moment(2025, 1, 1, 24, 2, 3, 4);
    SYSTEMTIME badMillisecond = moment(2025, 1, 1, 1, 2, 3, 1000);
    for (const SYSTEMTIME& bad : {badMonth, badHour, badMillisecond}) {
        EXPECT_EQ(thrownCode([&] { value.setSystemTime(bad); }), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(value.compare(before), 0);
    }
    EXPECT_EQ(thrownCode([&] { DateTime fromBad(badMonth); }), ERROR_INVALID_PARAMETER);

    SYSTEMTIME back = value.toSystemTime();
    EXPECT_EQ(back.wYear, 2024);
    EXPECT_EQ(back.wMonth, 3);
    EXPECT_EQ(back.wDay, 9);
    EXPECT_EQ(back.wDayOfWeek, 6);
    EXPECT_EQ(back.wHour, 14);
    EXPECT_EQ(back.wMinute, 5);
    EXPECT_EQ(back.wSecond, 7);
    EXPECT_EQ(back.wMilliseconds, 250);
}

TEST(DateTime, CompareRunsFromTheYearDownToTheMillisecond)
{
    DateTime earlier(moment(2024, 3, 9, 14, 5, 7, 1));
    DateTime later(moment(2024, 3, 9, 14, 5, 7, 2));
    EXPECT_EQ(earlier.compare(later), -1);
    EXPECT_EQ(later.compare(earlier), 1);
    EXPECT_EQ(earlier.compare(DateTime(moment(2024, 3, 9, 14, 5, 7, 1))), 0);
    EXPECT_EQ(DateTime(moment(2023, 12, 31, 23, 59, 59, 999)).compare(DateTime(moment(2024, 1, 1, 0, 0, 0, 0))), -1);
    EXPECT_EQ(DateTime(moment(2024, 2, 1, 0, 0, 0, 0)).compare(DateTime(moment(2024, 1, 31, 23, 0, 0, 0))), 1);

    later.assign(earlier);
    EXPECT_EQ(later.compare(earlier), 0);
}
