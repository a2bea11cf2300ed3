// The rows of `date`, `time`, `timezone` and `datetime`.
#include "types/date_time.h"

#include "types/placeholder_row.h"

namespace kavor {

extern constinit const TypeOps kDateOps = PlaceholderRow<DateValue>::row("date");
extern constinit const TypeOps kTimeOps = [] {
  TypeOps row = PlaceholderRow<TimeValue>::row("time");
  row.emptyIsNoValue = true;
  return row;
}();
extern constinit const TypeOps kTimezoneOps = PlaceholderRow<TimezoneValue>::row("timezone");
extern constinit const TypeOps kDateTimeOps = PlaceholderRow<DateTimeValue>::row("datetime");

}  // namespace kavor
