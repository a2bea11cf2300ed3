#include "types/calendar.h"

namespace kavor {

namespace {

// Days of one 400-year cycle, which repeats the calendar exactly.
constexpr int64_t kDaysPerCycle = 146097;
// The day number of 1 March of year 0, the start of the cycles the formulas count in: from
// March the leap day comes last in the counted year, so the month lengths repeat from there.
constexpr int64_t kCycleStartOffset = 305;

const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};
const char* const kWeekDayNames[] = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Two digits from `text` at `at`, or -1.
int32_t twoDigits(std::string_view text, size_t at) {
  if (at + 2 > text.size() || !isDigit(text[at]) || !isDigit(text[at + 1])) return -1;
  return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

void appendPadded(std::string& out, const std::string& digits, size_t width) {
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

// A small field of one or more digits (leading zeros allowed); nothing above 99, so that no
// long run of digits is converted.
std::optional<int32_t> smallField(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  int32_t value = 0;
  for (char c : digits) {
    if (!isDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > 99) return std::nullopt;
  }
  return value;
}

}  // namespace

int64_t floorModulo(const BigInt& value, int64_t divisor) {
  int64_t small = 0;
  // Years and day numbers are almost always small; the BigInt path serves the rest.
  if (value.toSmall(small)) return ((small % divisor) + divisor) % divisor;
  // A positive divisor never refuses, and the remainder lies below it.
  return *remainder(value, BigInt(divisor)).value.toInt64();
}

BigInt floorDivide(const BigInt& value, int64_t divisor) {
  int64_t small = 0;
  if (value.toSmall(small)) {
    int64_t quotient = small / divisor;
    if (small % divisor < 0) --quotient;
    return BigInt(quotient);
  }
  // The difference is a multiple of the divisor, so the truncating division is exact.
  return divide(value - BigInt(floorModulo(value, divisor)), BigInt(divisor)).value;
}

bool isLeapYear(const BigInt& year) {
  int64_t inCycle = floorModulo(year, 400);
  return inCycle % 4 == 0 && (inCycle % 100 != 0 || inCycle == 0);
}

int32_t daysInMonth(int32_t month, const BigInt& year) {
  static constexpr int32_t kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month == 2 && isLeapYear(year)) return 29;
  return kLengths[month - 1];
}

BigInt dayNumber(const CivilDate& date) {
  // Counted from March, January and February belong to the year before.
  BigInt year = date.year;
  if (date.month <= 2) year -= BigInt(1);
  BigInt cycle = floorDivide(year, 400);
  int64_t yearOfCycle = floorModulo(year, 400);
  int64_t monthFromMarch = date.month > 2 ? date.month - 3 : date.month + 9;
  int64_t dayOfYear = (153 * monthFromMarch + 2) / 5 + date.day - 1;
  int64_t dayOfCycle = yearOfCycle * 365 + yearOfCycle / 4 - yearOfCycle / 100 + dayOfYear;
  return cycle * BigInt(kDaysPerCycle) + BigInt(dayOfCycle - kCycleStartOffset);
}

CivilDate dateOfDayNumber(const BigInt& number) {
  BigInt shifted = number + BigInt(kCycleStartOffset);
  BigInt cycle = floorDivide(shifted, kDaysPerCycle);
  int64_t dayOfCycle = floorModulo(shifted, kDaysPerCycle);
  int64_t yearOfCycle = (dayOfCycle - dayOfCycle / 1460 + dayOfCycle / 36524 - dayOfCycle / 146096) / 365;
  int64_t dayOfYear = dayOfCycle - (365 * yearOfCycle + yearOfCycle / 4 - yearOfCycle / 100);
  int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  CivilDate date;
  date.day = static_cast<int32_t>(dayOfYear - (153 * monthFromMarch + 2) / 5 + 1);
  date.month = static_cast<int32_t>(monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9);
  date.year = cycle * BigInt(400) + BigInt(yearOfCycle + (date.month <= 2 ? 1 : 0));
  return date;
}

int32_t weekDay(const BigInt& dayNumber) {
  return static_cast<int32_t>(floorModulo(dayNumber - BigInt(1), 7)) + 1;
}

const char* monthName(int32_t month) { return kMonthNames[month - 1]; }
const char* weekDayName(int32_t weekDay) { return kWeekDayNames[weekDay - 1]; }

bool isValidDateFormat(std::string_view format) {
  if (format.empty()) return true;
  size_t days = 0, months = 0, years = 0;
  for (char c : format) {
    days += c == 'D';
    months += c == 'M';
    years += c == 'Y';
  }
  return days == 1 && months == 1 && years == 1;
}

std::string formatDate(const CivilDate& date, std::string_view format) {
  if (format.empty()) format = kDefaultDateFormat;
  std::string out;
  bool dayDone = false, monthDone = false, yearDone = false;
  for (char c : format) {
    if (c == 'D' && !dayDone) {
      appendPadded(out, std::to_string(date.day), 2);
      dayDone = true;
    } else if (c == 'M' && !monthDone) {
      appendPadded(out, std::to_string(date.month), 2);
      monthDone = true;
    } else if (c == 'Y' && !yearDone) {
      if (date.year.isNegative()) out += date.year.toText();
      else appendPadded(out, date.year.toText(), 4);
      yearDone = true;
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<CivilDate> readDate(std::string_view text) {
  size_t yearEnd = text.find('-', text.starts_with('-') ? 1 : 0);
  if (yearEnd == std::string_view::npos) return std::nullopt;
  size_t monthEnd = text.find('-', yearEnd + 1);
  if (monthEnd == std::string_view::npos) return std::nullopt;
  std::string_view yearText = text.substr(0, yearEnd);
  std::string_view yearDigits = yearText.starts_with('-') ? yearText.substr(1) : yearText;
  if (yearDigits.empty()) return std::nullopt;
  for (char c : yearDigits)
    if (!isDigit(c)) return std::nullopt;
  std::optional<int32_t> month = smallField(text.substr(yearEnd + 1, monthEnd - yearEnd - 1));
  std::optional<int32_t> day = smallField(text.substr(monthEnd + 1));
  if (!month || !day || *month < 1 || *month > 12) return std::nullopt;
  CivilDate date{*day, *month, *BigInt::fromText(yearText)};
  if (date.day < 1 || date.day > daysInMonth(date.month, date.year)) return std::nullopt;
  return date;
}

std::optional<int32_t> readTimeOfDay(std::string_view text) {
  if (text.size() != 8 || text[2] != ':' || text[5] != ':') return std::nullopt;
  int32_t hours = twoDigits(text, 0), minutes = twoDigits(text, 3), seconds = twoDigits(text, 6);
  if (hours < 0 || hours > 23 || minutes < 0 || minutes > 59 || seconds < 0 || seconds > 59) return std::nullopt;
  return hours * 3600 + minutes * 60 + seconds;
}

std::string formatTimeOfDay(int32_t seconds) {
  std::string out;
  for (int32_t part : {seconds / 3600, seconds / 60 % 60, seconds % 60}) {
    if (!out.empty()) out += ':';
    appendPadded(out, std::to_string(part), 2);
  }
  return out;
}

std::optional<int32_t> readZoneOffset(std::string_view text) {
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':') return std::nullopt;
  int32_t hours = twoDigits(text, 1), minutes = twoDigits(text, 4);
  if (hours < 0 || minutes < 0 || minutes > 59) return std::nullopt;
  int32_t offset = hours * 60 + minutes;
  if (offset > kMaxZoneOffset) return std::nullopt;
  return text[0] == '-' ? -offset : offset;
}

std::string formatZoneOffset(int32_t minutes) {
  std::string out(1, minutes < 0 ? '-' : '+');
  int32_t size = minutes < 0 ? -minutes : minutes;
  appendPadded(out, std::to_string(size / 60), 2);
  out += ':';
  appendPadded(out, std::to_string(size % 60), 2);
  return out;
}

}  // namespace kavor
