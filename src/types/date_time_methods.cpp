// The methods of `date`, `time`, `timezone` and `datetime`. The calendar is in
// types/calendar.h; this file checks the object and the arguments, reads the clock and
// hands results over as new values.
#include <algorithm>
#include <ctime>
#include <iterator>
#include <string>

#include "core/messages.h"
#include "core/type_table.h"
#include "core/values.h"
#include "exec/calls.h"
#include "exec/method_table.h"
#include "streams/str_data.h"
#include "types/date_time.h"

namespace kavor {

namespace {

void requireDefined(MethodCall& call) {
  if (!call.object.isDefined()) call.fail(message("insnicdef"));
}

// The checks of the procedures that set the object: it must be defined and modifiable.
void requireSettable(MethodCall& call) {
  requireDefined(call);
  call.requireModifiable();
}

// The object's value, for the methods that use it: defined and not empty.
const DateValue& objectDate(MethodCall& call) { return dateOf(call.heldObject()); }
int32_t objectTime(MethodCall& call) { return timeOf(call.heldObject()).seconds; }
int32_t objectZone(MethodCall& call) { return *timezoneOf(call.heldObject()).offset; }
const DateTimeValue& objectDateTime(MethodCall& call) { return dateTimeOf(call.heldObject()); }

const BigInt& intArgument(MethodCall& call) { return call.usedArgument(0).asInt(); }
// A text argument may be empty: the empty format is a format, and an empty text is a text
// that names no value.
const std::string& textArgument(MethodCall& call) {
  Object& value = call.args[0].object->resolve(true);
  if (!value.isDefined()) call.fail(fillKey("tesargnicdef", {"1"}));
  return value.asStr().text;
}

void pushInt(MethodCall& call, const BigInt& value) { call.out().pushOwned(makeInt(value), Access::ConstResult); }
void pushInt(MethodCall& call, long long value) { call.out().pushOwned(makeInt(value), Access::ConstResult); }
void pushStr(MethodCall& call, std::string text) { call.out().pushOwned(makeStr(std::move(text)), Access::ConstResult); }

template <TypeCode code, class Payload, Payload& (*of)(const Object&)>
void pushValue(MethodCall& call, Payload value) {
  auto result = std::make_unique<Object>(code);
  of(*result) = std::move(value);
  call.out().pushOwned(std::move(result), Access::ConstResult);
}

void pushDate(MethodCall& call, CivilDate date) { pushValue<'0', DateValue, dateOf>(call, DateValue{std::move(date), {}}); }
void pushTime(MethodCall& call, int32_t seconds) { pushValue<'t', TimeValue, timeOf>(call, TimeValue{seconds}); }
void pushZone(MethodCall& call, int32_t offset) { pushValue<'2', TimezoneValue, timezoneOf>(call, TimezoneValue{offset}); }
void pushDateTime(MethodCall& call, DateTimeValue value) { pushValue<'4', DateTimeValue, dateTimeOf>(call, std::move(value)); }

// ---- the clock -------------------------------------------------------------------------

// The local date, time and zone now, as the C library sees them under `TZ`.
DateTimeValue localNow() {
  // localtime_r need not read `TZ` itself; tzset makes sure the zone is the one set.
  tzset();
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  DateTimeValue value;
  value.date = CivilDate{local.tm_mday, local.tm_mon + 1, BigInt(static_cast<int64_t>(local.tm_year) + 1900)};
  // A leap second (tm_sec 60) is written as the last second of its minute.
  value.seconds = local.tm_hour * 3600 + local.tm_min * 60 + std::min(local.tm_sec, 59);
  // Zones outside the readable range (none today) are clamped so that the text reads back.
  long offset = local.tm_gmtoff / 60;
  value.offset = static_cast<int32_t>(std::clamp<long>(offset, -kMaxZoneOffset, kMaxZoneOffset));
  return value;
}

// ---- shared by the four types ------------------------------------------------------------

const char* noValueKey(TypeCode code) {
  switch (code) {
    case '0': return "zeiketkeidat";
    case 't': return "zeiketkeizei";
    case '2': return "zeiketkeizeizon";
    default: return "zeiketkeidatzei";
  }
}

// `date("2024-01-01")`, `t.("12:00:00")` in the function form: a new value; the object is
// not used.
template <TypeCode code>
void fromText(MethodCall& call) {
  auto result = std::make_unique<Object>(code);
  if (!typeOps(code).readText(textArgument(call), *result)) call.fail(message(noValueKey(code)));
  call.out().pushOwned(std::move(result), Access::ConstResult);
}

// `d.("2024-01-01")`: the object takes the value read; it keeps its value on failure.
template <TypeCode code>
void setFromText(MethodCall& call) {
  requireSettable(call);
  const std::string& text = textArgument(call);
  if (!typeOps(code).readText(text, call.object)) call.fail(message(noValueKey(code)));
}

// The text form, as output writes it.
void chop(MethodCall& call) {
  pushStr(call, calendarText(call.heldObject()));
}

// ---- date --------------------------------------------------------------------------------

void dateDiff(MethodCall& call) {
  BigInt later = dayNumber(objectDate(call).date);
  pushInt(call, later - dayNumber(dateOf(call.usedArgument(0)).date));
}

void dateDay(MethodCall& call) { pushInt(call, objectDate(call).date.day); }
void dateMonth(MethodCall& call) { pushInt(call, objectDate(call).date.month); }
void dateYear(MethodCall& call) { pushInt(call, objectDate(call).date.year); }
void dateMonthName(MethodCall& call) { pushStr(call, monthName(objectDate(call).date.month)); }
int32_t objectWeekDay(MethodCall& call) { return weekDay(dayNumber(objectDate(call).date)); }
void dateWeekDay(MethodCall& call) { pushInt(call, objectWeekDay(call)); }
void dateWeekDayName(MethodCall& call) { pushStr(call, weekDayName(objectWeekDay(call))); }

void dateLeapYear(MethodCall& call) {
  call.out().pushOwned(makeBool(isLeapYear(objectDate(call).date.year)), Access::ConstResult);
}

// `d.leap_year(1900)`: the object is not used.
void leapYearOf(MethodCall& call) {
  requireDefined(call);
  call.out().pushOwned(makeBool(isLeapYear(intArgument(call))), Access::ConstResult);
}

void dateGetFormat(MethodCall& call) {
  requireDefined(call);
  const std::string& format = dateOf(call.object).format;
  pushStr(call, format.empty() ? std::string(kDefaultDateFormat) : format);
}

void dateToday(MethodCall& call) {
  requireDefined(call);
  pushDate(call, localNow().date);
}

void dateAdd(MethodCall& call) {
  DateValue& value = dateOf(call.heldObject());
  call.requireModifiable();
  value.date = dateOfDayNumber(dayNumber(value.date) + intArgument(call));
}

// The empty format stands for the default.
void dateSetFormat(MethodCall& call) {
  requireSettable(call);
  const std::string& format = textArgument(call);
  if (!isValidDateFormat(format)) call.fail(message("uzudatfmt"));
  dateOf(call.object).format = format == kDefaultDateFormat ? std::string() : format;
}

// ---- time --------------------------------------------------------------------------------

// A number of seconds taken modulo one day, as a time of day.
int32_t wrappedSeconds(const BigInt& seconds) { return static_cast<int32_t>(floorModulo(seconds, kSecondsPerDay)); }

void timeDiff(MethodCall& call) {
  int32_t later = objectTime(call);
  pushInt(call, static_cast<long long>(later) - timeOf(call.usedArgument(0)).seconds);
}

void timeSeconds(MethodCall& call) { pushInt(call, objectTime(call)); }
void timeHours(MethodCall& call) { pushInt(call, objectTime(call) / 3600); }
void timeMinutes(MethodCall& call) { pushInt(call, objectTime(call) / 60 % 60); }
void timeSecondOfMinute(MethodCall& call) { pushInt(call, objectTime(call) % 60); }

void timeNow(MethodCall& call) {
  requireDefined(call);
  pushTime(call, localNow().seconds);
}

void timeSetFromInt(MethodCall& call) {
  requireSettable(call);
  timeOf(call.object).seconds = wrappedSeconds(intArgument(call));
}

// `time(3600)`: a new time that many seconds after midnight; the object is not used.
void timeFromInt(MethodCall& call) { pushTime(call, wrappedSeconds(intArgument(call))); }

void timeAdd(MethodCall& call) {
  TimeValue& value = timeOf(call.heldObject());
  call.requireModifiable();
  value.seconds = wrappedSeconds(intArgument(call) + BigInt(value.seconds));
}

// ---- timezone ----------------------------------------------------------------------------

// Both parts carry the sign of the offset: -09:45 has -9 hours and -45 minutes.
void zoneHours(MethodCall& call) { pushInt(call, objectZone(call) / 60); }
void zoneMinutes(MethodCall& call) { pushInt(call, objectZone(call) % 60); }

void zoneLocal(MethodCall& call) {
  requireDefined(call);
  pushZone(call, localNow().offset);
}

// ---- datetime ----------------------------------------------------------------------------

void dateTimeDate(MethodCall& call) { pushDate(call, objectDateTime(call).date); }
void dateTimeTime(MethodCall& call) { pushTime(call, objectDateTime(call).seconds); }
void dateTimeZone(MethodCall& call) { pushZone(call, objectDateTime(call).offset); }

void dateTimeDiff(MethodCall& call) {
  BigInt later = instantOf(objectDateTime(call));
  pushInt(call, later - instantOf(dateTimeOf(call.usedArgument(0))));
}

void dateTimeNow(MethodCall& call) {
  requireDefined(call);
  pushDateTime(call, localNow());
}

void dateTimeAdd(MethodCall& call) {
  DateTimeValue& value = dateTimeOf(call.heldObject());
  call.requireModifiable();
  value = dateTimeAt(instantOf(value) + intArgument(call), value.offset);
}

void dateTimeToZone(MethodCall& call) {
  DateTimeValue& value = dateTimeOf(call.heldObject());
  call.requireModifiable();
  int32_t offset = *timezoneOf(call.usedArgument(0)).offset;
  value = dateTimeAt(instantOf(value), offset);
}

const MethodEntry kDateMethods[] = {
    {"\xA7str;\xA7", false, true, fromText<'0'>},
    {"diff\xA7" "date;\xA7", false, true, dateDiff},
    {"day\xA7\xA7", false, true, dateDay},
    {"month\xA7\xA7", false, true, dateMonth},
    {"year\xA7\xA7", false, true, dateYear},
    {"month_name\xA7\xA7", false, true, dateMonthName},
    {"week_day\xA7\xA7", false, true, dateWeekDay},
    {"week_day_name\xA7\xA7", false, true, dateWeekDayName},
    {"leap_year\xA7\xA7", false, true, dateLeapYear},
    {"leap_year\xA7int;\xA7", false, true, leapYearOf},
    {"get_fmt\xA7\xA7", false, true, dateGetFormat},
    {"today\xA7\xA7", false, true, dateToday},
    {"chop\xA7\xA7", false, true, chop},
    {"\xA7str;\xA7", false, false, setFromText<'0'>},
    {"add\xA7int;\xA7", false, false, dateAdd},
    {"set_fmt\xA7str;\xA7", false, false, dateSetFormat},
};

const MethodEntry kTimeMethods[] = {
    {"\xA7str;\xA7", false, true, fromText<'t'>},
    {"\xA7int;\xA7", false, true, timeFromInt},
    {"diff\xA7time;\xA7", false, true, timeDiff},
    {"int\xA7\xA7", false, true, timeSeconds},
    {"hours\xA7\xA7", false, true, timeHours},
    {"minutes\xA7\xA7", false, true, timeMinutes},
    {"seconds\xA7\xA7", false, true, timeSecondOfMinute},
    {"now\xA7\xA7", false, true, timeNow},
    {"chop\xA7\xA7", false, true, chop},
    {"\xA7int;\xA7", false, false, timeSetFromInt},
    {"\xA7str;\xA7", false, false, setFromText<'t'>},
    {"add\xA7int;\xA7", false, false, timeAdd},
};

const MethodEntry kTimezoneMethods[] = {
    {"\xA7str;\xA7", false, true, fromText<'2'>},
    {"hours\xA7\xA7", false, true, zoneHours},
    {"minutes\xA7\xA7", false, true, zoneMinutes},
    {"local\xA7\xA7", false, true, zoneLocal},
    {"chop\xA7\xA7", false, true, chop},
    {"\xA7str;\xA7", false, false, setFromText<'2'>},
};

const MethodEntry kDateTimeMethods[] = {
    {"\xA7str;\xA7", false, true, fromText<'4'>},
    {"date\xA7\xA7", false, true, dateTimeDate},
    {"time\xA7\xA7", false, true, dateTimeTime},
    {"timezone\xA7\xA7", false, true, dateTimeZone},
    {"diff\xA7" "datetime;\xA7", false, true, dateTimeDiff},
    {"now\xA7\xA7", false, true, dateTimeNow},
    {"chop\xA7\xA7", false, true, chop},
    {"\xA7str;\xA7", false, false, setFromText<'4'>},
    {"add\xA7int;\xA7", false, false, dateTimeAdd},
    {"to_timezone\xA7timezone;\xA7", false, false, dateTimeToZone},
};

}  // namespace

void registerDateTimeMethods() {
  registerMethods('0', kDateMethods, std::size(kDateMethods));
  registerMethods('t', kTimeMethods, std::size(kTimeMethods));
  registerMethods('2', kTimezoneMethods, std::size(kTimezoneMethods));
  registerMethods('4', kDateTimeMethods, std::size(kDateTimeMethods));
}

}  // namespace kavor
