// Payloads of `date`, `time`, `timezone` and `datetime`, and the conversions between a
// datetime and the instant it names. The calendar itself is in types/calendar.h.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "core/object.h"
#include "types/calendar.h"

namespace kavor {

inline constexpr int32_t kSecondsPerDay = 86400;

struct DateValue {
  CivilDate date;      // the day; an empty year means the value is empty
  std::string format;  // the date format of its text form; empty: the default "Y-M-D"
  bool isEmpty() const { return date.year.isEmpty(); }
};

struct TimeValue {
  int32_t seconds = -1;  // seconds since midnight, 0 .. 86399; -1 while empty
  bool isEmpty() const { return seconds < 0; }
};

struct TimezoneValue {
  std::optional<int32_t> offset;  // minutes east of UTC, within ±kMaxZoneOffset; none: empty
  bool isEmpty() const { return !offset; }
};

struct DateTimeValue {
  CivilDate date;       // the local day; an empty year means the value is empty
  int32_t seconds = 0;  // the local time of day, 0 .. 86399
  int32_t offset = 0;   // the zone, minutes east of UTC, within ±kMaxZoneOffset
  bool isEmpty() const { return date.year.isEmpty(); }
};

inline DateValue& dateOf(const Object& object) { return *static_cast<DateValue*>(object.value); }
inline TimeValue& timeOf(const Object& object) { return *static_cast<TimeValue*>(object.value); }
inline TimezoneValue& timezoneOf(const Object& object) { return *static_cast<TimezoneValue*>(object.value); }
inline DateTimeValue& dateTimeOf(const Object& object) { return *static_cast<DateTimeValue*>(object.value); }

// Seconds since the start of day number 0 in UTC: what two datetimes are compared by.
BigInt instantOf(const DateTimeValue& value);
// The local date and time of an instant in the zone `offset`.
DateTimeValue dateTimeAt(const BigInt& instant, int32_t offset);

std::string dateTimeText(const DateTimeValue& value);
// The text form of a date, time, timezone or datetime value.
std::string calendarText(const Object& object);
std::optional<DateTimeValue> readDateTime(std::string_view text);

}  // namespace kavor
