// Payloads of `date`, `time`, `timezone` and `datetime`. The calendar arithmetic arrives
// with the date and time types; until then a value is only its empty state.
#pragma once

namespace kavor {

struct DateValue {
  bool isEmpty() const { return true; }
  bool operator==(const DateValue&) const = default;
};
struct TimeValue {
  bool isEmpty() const { return true; }
  bool operator==(const TimeValue&) const = default;
};
struct TimezoneValue {
  bool isEmpty() const { return true; }
  bool operator==(const TimezoneValue&) const = default;
};
struct DateTimeValue {
  bool isEmpty() const { return true; }
  bool operator==(const DateTimeValue&) const = default;
};

}  // namespace kavor
