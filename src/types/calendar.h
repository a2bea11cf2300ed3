// Calendar arithmetic of the Gregorian calendar, extended to every year (year 0 and the
// negative years too), on unbounded years. Days are counted by a running day number: day 1
// is Monday, 1 January of year 1, and every other day is its distance from there, so the
// week day and the distance of two dates follow by subtraction. Both directions are closed
// formulas over 400-year cycles, so the cost does not grow with the distance of the year.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "numbers/bigint.h"

namespace kavor {

// A calendar day. `month` is 1..12 and `day` 1..daysInMonth.
struct CivilDate {
  int32_t day = 0;
  int32_t month = 0;
  BigInt year;
};

bool isLeapYear(const BigInt& year);
int32_t daysInMonth(int32_t month, const BigInt& year);

BigInt dayNumber(const CivilDate& date);
CivilDate dateOfDayNumber(const BigInt& number);
// 1 (Monday) .. 7 (Sunday).
int32_t weekDay(const BigInt& dayNumber);

// The quotient rounded down and the remainder in 0 .. divisor-1, for a positive divisor.
BigInt floorDivide(const BigInt& value, int64_t divisor);
int64_t floorModulo(const BigInt& value, int64_t divisor);

const char* monthName(int32_t month);
const char* weekDayName(int32_t weekDay);

// A date format: "Y", "M" and "D" stand for the fields, every other character is copied.
// Valid when empty or holding each of the three letters exactly once.
bool isValidDateFormat(std::string_view format);
inline constexpr std::string_view kDefaultDateFormat = "Y-M-D";
// The date written in `format` (the default when it is empty): day and month with at least
// two digits, a year from 0 up with at least four.
std::string formatDate(const CivilDate& date, std::string_view format);

// "[-]Y-M-D", one or more digits per field; nothing unless it names a calendar day.
std::optional<CivilDate> readDate(std::string_view text);

// Seconds since midnight, 0 .. 86399, and its text "HH:MM:SS".
std::optional<int32_t> readTimeOfDay(std::string_view text);
std::string formatTimeOfDay(int32_t seconds);

// A zone's offset east of UTC in minutes, -840 .. 840, and its text "+HH:MM" / "-HH:MM".
inline constexpr int32_t kMaxZoneOffset = 14 * 60;
std::optional<int32_t> readZoneOffset(std::string_view text);
std::string formatZoneOffset(int32_t minutes);

}  // namespace kavor
