// The rows of `date`, `time`, `timezone` and `datetime`: small values in a payload of their
// own, written and read in the forms of types/calendar.h, ordered chronologically.
#include "types/date_time.h"

#include "core/type_table.h"

namespace kavor {

BigInt instantOf(const DateTimeValue& value) {
  return dayNumber(value.date) * BigInt(kSecondsPerDay) + BigInt(value.seconds - value.offset * 60);
}

DateTimeValue dateTimeAt(const BigInt& instant, int32_t offset) {
  BigInt local = instant + BigInt(offset * 60);
  DateTimeValue value;
  value.date = dateOfDayNumber(floorDivide(local, kSecondsPerDay));
  value.seconds = static_cast<int32_t>(floorModulo(local, kSecondsPerDay));
  value.offset = offset;
  return value;
}

std::string dateTimeText(const DateTimeValue& value) {
  return formatDate(value.date, kDefaultDateFormat) + ' ' + formatTimeOfDay(value.seconds) + ' ' +
         formatZoneOffset(value.offset);
}

std::optional<DateTimeValue> readDateTime(std::string_view text) {
  size_t first = text.find(' ');
  if (first == std::string_view::npos) return std::nullopt;
  size_t second = text.find(' ', first + 1);
  if (second == std::string_view::npos) return std::nullopt;
  std::optional<CivilDate> date = readDate(text.substr(0, first));
  std::optional<int32_t> seconds = readTimeOfDay(text.substr(first + 1, second - first - 1));
  std::optional<int32_t> offset = readZoneOffset(text.substr(second + 1));
  if (!date || !seconds || !offset) return std::nullopt;
  return DateTimeValue{std::move(*date), *seconds, *offset};
}

namespace {

// The parts of a row every one of the four types shares: a payload struct copied by
// assignment.
template <class Payload, Payload& (*of)(const Object&)>
struct CalendarRow {
  static void create(Object& object) { object.value = new Payload(); }
  static void release(Object& object) { delete &of(object); }
  static void copy(Object& target, const Object& source) { of(target) = of(source); }
  static bool isEmpty(const Object& object) { return of(object).isEmpty(); }

  template <auto equals, auto write, auto read, auto order>
  static constexpr TypeOps row(const char* name) {
    return {
        .name = name,
        .create = create,
        .release = release,
        .copy = copy,
        .equals = [](Object& a, Object& b, PartComparison&) -> bool { return equals(of(a), of(b)); },
        .isEmpty = isEmpty,
        .makeEmpty = renewPayload,
        .visitParts = nullptr,
        .loopsRunning = nullptr,
        .writeText = [](const Object& object, std::string& out, TextParts&) {
          if (!of(object).isEmpty()) out += write(of(object));
        },
        .readText = [](const std::string& text, Object& target) -> bool { return read(text, of(target)); },
        .emptyIsNoValue = true,
        .order = [](Object& a, Object& b) -> std::partial_ordering { return order(of(a), of(b)); },
    };
  }
};

std::strong_ordering dateOrder(const CivilDate& a, const CivilDate& b) {
  if (auto byYear = a.year <=> b.year; byYear != 0) return byYear;
  if (auto byMonth = a.month <=> b.month; byMonth != 0) return byMonth;
  return a.day <=> b.day;
}

bool readDateInto(const std::string& text, DateValue& target) {
  std::optional<CivilDate> date = readDate(text);
  if (date) target.date = std::move(*date);
  return date.has_value();
}

bool readTimeInto(const std::string& text, TimeValue& target) {
  std::optional<int32_t> seconds = readTimeOfDay(text);
  if (seconds) target.seconds = *seconds;
  return seconds.has_value();
}

bool readZoneInto(const std::string& text, TimezoneValue& target) {
  std::optional<int32_t> offset = readZoneOffset(text);
  if (offset) target.offset = offset;
  return offset.has_value();
}

bool readDateTimeInto(const std::string& text, DateTimeValue& target) {
  std::optional<DateTimeValue> value = readDateTime(text);
  if (value) target = std::move(*value);
  return value.has_value();
}

using DateRow = CalendarRow<DateValue, dateOf>;
using TimeRow = CalendarRow<TimeValue, timeOf>;
using ZoneRow = CalendarRow<TimezoneValue, timezoneOf>;
using DateTimeRow = CalendarRow<DateTimeValue, dateTimeOf>;

}  // namespace

// A date's format is no part of its value, so keys are hashed by the default text.
extern constinit const TypeOps kDateOps = [] {
  TypeOps row = DateRow::row<
      [](const DateValue& a, const DateValue& b) { return dateOrder(a.date, b.date) == 0; },
      [](const DateValue& v) { return formatDate(v.date, v.format); }, readDateInto,
      [](const DateValue& a, const DateValue& b) { return dateOrder(a.date, b.date); }>("date");
  row.keyText = [](const Object& object) {
    return dateOf(object).isEmpty() ? std::string() : formatDate(dateOf(object).date, kDefaultDateFormat);
  };
  return row;
}();

extern constinit const TypeOps kTimeOps = TimeRow::row<
    [](const TimeValue& a, const TimeValue& b) { return a.seconds == b.seconds; },
    [](const TimeValue& v) { return formatTimeOfDay(v.seconds); }, readTimeInto,
    [](const TimeValue& a, const TimeValue& b) { return a.seconds <=> b.seconds; }>("time");

extern constinit const TypeOps kTimezoneOps = ZoneRow::row<
    [](const TimezoneValue& a, const TimezoneValue& b) { return a.offset == b.offset; },
    [](const TimezoneValue& v) { return formatZoneOffset(*v.offset); }, readZoneInto,
    [](const TimezoneValue& a, const TimezoneValue& b) { return a.offset <=> b.offset; }>("timezone");

// Two datetimes are equal, ordered and hashed by the instant they name, whatever their zones.
extern constinit const TypeOps kDateTimeOps = [] {
  TypeOps row = DateTimeRow::row<
      [](const DateTimeValue& a, const DateTimeValue& b) {
        if (a.isEmpty() || b.isEmpty()) return a.isEmpty() == b.isEmpty();
        return instantOf(a) == instantOf(b);
      },
      dateTimeText, readDateTimeInto,
      [](const DateTimeValue& a, const DateTimeValue& b) { return instantOf(a) <=> instantOf(b); }>("datetime");
  row.keyText = [](const Object& object) {
    return dateTimeOf(object).isEmpty() ? std::string() : instantOf(dateTimeOf(object)).toText();
  };
  return row;
}();

}  // namespace kavor
