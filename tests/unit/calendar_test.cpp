// The calendar's closed formulas against a plain day-by-day walk, and at years far beyond
// what a walk could reach; the readers of the four text forms against malformed texts.
#include <gtest/gtest.h>

#include <string>

#include "numbers/bigint.h"
#include "types/calendar.h"

namespace kavor {
namespace {

BigInt num(const std::string& text) { return *BigInt::fromText(text); }

CivilDate civil(const std::string& text) {
  std::optional<CivilDate> date = readDate(text);
  EXPECT_TRUE(date.has_value()) << text;
  return date.value_or(CivilDate{1, 1, BigInt(1)});
}

// Twelve centuries across year 0, one day at a time: consecutive day numbers, the way back
// gives the same day, and the week days cycle.
TEST(Calendar, DayNumbersAgreeWithAWalkAcrossYearZero) {
  CivilDate date{1, 1, BigInt(-401)};
  BigInt number = dayNumber(date);
  int32_t day = weekDay(number);
  while (date.year < BigInt(801)) {
    ASSERT_EQ(dayNumber(date), number) << formatDate(date, "");
    CivilDate back = dateOfDayNumber(number);
    ASSERT_TRUE(back.day == date.day && back.month == date.month && back.year == date.year) << formatDate(date, "");
    ASSERT_EQ(weekDay(number), day);
    if (++date.day > daysInMonth(date.month, date.year)) {
      date.day = 1;
      if (++date.month > 12) {
        date.month = 1;
        date.year += BigInt(1);
      }
    }
    number += BigInt(1);
    day = day % 7 + 1;
  }
}

TEST(Calendar, KnownDaysAndLeapYears) {
  EXPECT_EQ(dayNumber(civil("1-01-01")), BigInt(1));
  EXPECT_EQ(weekDay(dayNumber(civil("2024-01-01"))), 1);
  EXPECT_EQ(weekDay(dayNumber(civil("1970-01-01"))), 4);
  EXPECT_EQ(dayNumber(civil("2024-03-01")) - dayNumber(civil("2000-03-01")), BigInt(8766));
  for (const char* year : {"2000", "2024", "0", "-4", "-400", "100000000000000000000000000000000000400"})
    EXPECT_TRUE(isLeapYear(num(year))) << year;
  for (const char* year : {"1900", "2023", "-1", "-100", "100000000000000000000000000000000000100"})
    EXPECT_FALSE(isLeapYear(num(year))) << year;
}

// Far from year 0 the BigInt paths of the floor division take over, on both sides.
TEST(Calendar, FarYearsKeepTheFourHundredYearCycle) {
  for (const char* year : {"999999999", "-999999999", "123456789012345678901234567", "-123456789012345678901234567"}) {
    SCOPED_TRACE(year);
    CivilDate start{29, 2, num(year) * BigInt(400)};
    CivilDate later = start;
    later.year += num("4000000000000000000000");
    BigInt distance = dayNumber(later) - dayNumber(start);
    EXPECT_EQ(distance, num("1460970000000000000000000"));
    EXPECT_EQ(weekDay(dayNumber(later)), weekDay(dayNumber(start)));
    CivilDate back = dateOfDayNumber(dayNumber(later) - BigInt(1));
    EXPECT_EQ(formatDate(back, ""), formatDate(CivilDate{28, 2, later.year}, ""));
  }
}

TEST(Calendar, DateTextsAndFormats) {
  EXPECT_EQ(formatDate(CivilDate{5, 3, BigInt(24)}, ""), "0024-03-05");
  EXPECT_EQ(formatDate(CivilDate{5, 3, BigInt(-24)}, "D.M.Y"), "05.03.-24");
  EXPECT_EQ(formatDate(CivilDate{5, 3, BigInt(2024)}, "Y/M/D (D)"), "2024/03/05 (D)");
  EXPECT_TRUE(isValidDateFormat(""));
  EXPECT_TRUE(isValidDateFormat("D.M.Y"));
  for (const char* format : {"D-D-Y", "Y-M", "YMDY", "d-m-y"}) EXPECT_FALSE(isValidDateFormat(format)) << format;
  EXPECT_EQ(formatDate(civil("-0044-3-015"), ""), "-44-03-15");
  for (const char* text : {"2023-02-29", "2024-13-01", "2024-00-01", "2024-01-00", "2024-01-32", "2024-01", "-2024",
                           "2024--01-01", "+2024-01-01", "2024-01-01 ", "2024-001-001x", "--1-01-01", "", "-",
                           "2024-1000-1"})
    EXPECT_FALSE(readDate(text).has_value()) << text;
}

TEST(Calendar, TimeAndZoneTexts) {
  EXPECT_EQ(readTimeOfDay("23:59:59"), 86399);
  EXPECT_EQ(formatTimeOfDay(3723), "01:02:03");
  for (const char* text : {"24:00:00", "12:60:00", "12:00:60", "1:00:00", "12:00", "12-00-00", "12:00:00 "})
    EXPECT_FALSE(readTimeOfDay(text).has_value()) << text;
  EXPECT_EQ(readZoneOffset("-09:45"), -585);
  EXPECT_EQ(readZoneOffset("+14:00"), 840);
  EXPECT_EQ(formatZoneOffset(-585), "-09:45");
  EXPECT_EQ(formatZoneOffset(0), "+00:00");
  EXPECT_EQ(formatZoneOffset(-30), "-00:30");
  for (const char* text : {"+14:01", "-15:00", "05:30", "+5:30", "+05:60", "+05-30"})
    EXPECT_FALSE(readZoneOffset(text).has_value()) << text;
}

}  // namespace
}  // namespace kavor
