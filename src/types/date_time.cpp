// The rows of `date`, `time`, `timezone` and `datetime`: small values in a payload of their
// own, written and read in the forms of types/calendar.h, ordered chronologically.
#include "types/date_time.h"

#include "core/binary_form.h"
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

std::string calendarText(const Object& object) {
  // The four types write their text whole, never in parts.
  struct NoParts final : TextParts {
    void text(const char*) override {}
    void number(long long) override {}
    void part(Object&) override {}
  } noParts;
  std::string text;
  typeOps(object.typeCode).writeText(object, text, noParts);
  return text;
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

// Binary items: a time is "t", its text, "t"; a date, timezone or datetime is its code, the
// byte length of its text, ".", and the text; the empty value has the empty text. A date
// written in a format of its own adds a blank and the format to its default text, so the
// format survives and the text can be read without knowing it.
std::string binaryText(const Object& object) {
  if (object.base() != '0' || dateOf(object).isEmpty()) return calendarText(object);
  std::string text = formatDate(dateOf(object).date, kDefaultDateFormat);
  if (!dateOf(object).format.empty()) text += ' ' + dateOf(object).format;
  return text;
}

template <TypeCode Own>
void writeBinaryCalendar(const Object& object, std::string& out, TextParts&) {
  std::string text = binaryText(object);
  if (Own == 't') out += 't' + text + 't';
  else out += Own + std::to_string(text.size()) + '.' + text;
}

template <TypeCode Own>
bool readBinaryCalendar(BinaryInput& in, char, Object& target) {
  std::string text;
  if (Own == 't') {
    if (!in.textUntil('t', text)) return false;
  } else {
    int64_t length;
    if (!in.number(length, '.') || !in.text(length, text)) return false;
  }
  if (text.empty()) return true;
  if (Own != '0') return typeOps(Own).readText(text, target);
  size_t blank = text.find(' ');
  std::string format = blank == std::string::npos ? std::string() : text.substr(blank + 1);
  if (!format.empty() && (!isValidDateFormat(format) || format == kDefaultDateFormat)) return false;
  if (!typeOps(Own).readText(text.substr(0, blank), target)) return false;
  dateOf(target).format = format;
  return true;
}

template <TypeCode Own>
constexpr TypeOps withBinary(TypeOps row) {
  row.writeBinary = writeBinaryCalendar<Own>;
  row.readBinary = readBinaryCalendar<Own>;
  return row;
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
  return withBinary<'0'>(row);
}();

extern constinit const TypeOps kTimeOps = withBinary<'t'>(TimeRow::row<
    [](const TimeValue& a, const TimeValue& b) { return a.seconds == b.seconds; },
    [](const TimeValue& v) { return formatTimeOfDay(v.seconds); }, readTimeInto,
    [](const TimeValue& a, const TimeValue& b) { return a.seconds <=> b.seconds; }>("time"));

extern constinit const TypeOps kTimezoneOps = withBinary<'2'>(ZoneRow::row<
    [](const TimezoneValue& a, const TimezoneValue& b) { return a.offset == b.offset; },
    [](const TimezoneValue& v) { return formatZoneOffset(*v.offset); }, readZoneInto,
    [](const TimezoneValue& a, const TimezoneValue& b) { return a.offset <=> b.offset; }>("timezone"));

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
  return withBinary<'4'>(row);
}();

}  // namespace kavor
