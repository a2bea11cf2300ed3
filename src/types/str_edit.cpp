// Changing a `str` at positions: set, setp, ins0, ins, del0, delp, del and their capital
// forms. Every method checks all its arguments before it changes anything, so a failing
// call leaves the string as it was. Several positions in one call all refer to the string
// as it was before the call.
#include <algorithm>

#include "core/messages.h"
#include "exec/calls.h"
#include "types/str_common.h"

namespace kavor {

namespace {

// The argument count of the pair methods: positive and even.
void requirePairs(const MethodCall& call) {
  if (call.args.empty() || call.args.size() % 2 != 0) call.fail(message("anzargposger"));
}

// set/Set: overwrites characters; the length stays, so it is allowed during iteration.
template <bool FromEnd>
void strSet(MethodCall& call) {
  std::string& text = nonEmptyText(call).text;
  call.requireModifiable();
  requirePairs(call);
  std::vector<std::pair<size_t, char>> changes;
  changes.reserve(call.args.size() / 2);
  for (size_t i = 0; i < call.args.size(); i += 2) {
    size_t position = characterPosition(call, i, FromEnd, text.size());
    call.require(checkType(call.args, i + 1, 'c', true));
    changes.emplace_back(position, static_cast<char>(call.args[i + 1].object->resolve(true).charValue()));
  }
  for (const auto& [position, c] : changes) text[position] = c;
}

template <bool FromEnd>
void strSetp(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  if (data.text.empty()) call.fail(message("insistlee"));
  CharacterRange range = characterRange(call, 0, FromEnd, data.text.size());
  std::string replacement = textArgument(call, 2, false);
  data.text.replace(range.start, range.count, replacement);
  data.restartReading();
}

template <bool AtEnd>
void strIns0(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  call.require(checkCount(call.args, 1));
  const std::string& given = textArgument(call, 0, false);
  // `s.Ins0(s)` must not read the text while it grows.
  const std::string copy = &given == &data.text ? given : std::string();
  const std::string& inserted = &given == &data.text ? copy : given;
  // Appending grows in place: amortised constant time per byte.
  if (AtEnd) data.text.append(inserted);
  else data.text.insert(0, inserted);
  data.restartReading();
}

// ins/Ins: each text goes into the gap before character p (Ins: after character p counted
// from the end, so position 0 appends); texts for the same gap keep their argument order.
template <bool FromEnd>
void strIns(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  requirePairs(call);
  const std::string& text = data.text;
  struct Insertion {
    size_t gap;            // index of the byte the text goes before; text.size() appends
    std::string inserted;  // a copy: the argument may be the string itself
  };
  std::vector<Insertion> insertions;
  insertions.reserve(call.args.size() / 2);
  size_t added = 0;
  for (size_t i = 0; i < call.args.size(); i += 2) {
    std::string shown;
    std::optional<size_t> gap = readPosition(call, i, FromEnd, text.size(), PositionKind::Gap, shown);
    if (!gap) call.fail(fillKey("unzindstrlae", {shown, std::to_string(text.size())}));
    insertions.push_back({*gap, textArgument(call, i + 1, false)});
    added += insertions.back().inserted.size();
  }
  std::stable_sort(insertions.begin(), insertions.end(),
                   [](const Insertion& a, const Insertion& b) { return a.gap < b.gap; });
  std::string result;
  result.reserve(text.size() + added);
  size_t copied = 0;
  for (const Insertion& insertion : insertions) {
    result.append(text, copied, insertion.gap - copied);
    result += insertion.inserted;
    copied = insertion.gap;
  }
  result.append(text, copied);
  data.text = std::move(result);
  data.restartReading();
}

template <bool AtEnd>
void strDel0(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  if (data.text.empty()) call.fail(message("insistlee"));
  if (AtEnd) data.text.pop_back();
  else data.text.erase(0, 1);
  data.restartReading();
}

template <bool FromEnd>
void strDelp(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  if (data.text.empty()) call.fail(message("insistlee"));
  CharacterRange range = characterRange(call, 0, FromEnd, data.text.size());
  data.text.erase(range.start, range.count);
  data.restartReading();
}

template <bool FromEnd>
void strDel(MethodCall& call) {
  STR_DATA& data = resizableText(call);
  call.require(checkCountRange(call.args, 1, -1));
  std::string& text = data.text;
  std::vector<size_t> doomed;
  doomed.reserve(call.args.size());
  for (size_t i = 0; i < call.args.size(); ++i) {
    std::string shown;
    std::optional<size_t> position = readPosition(call, i, FromEnd, text.size(), PositionKind::Character, shown);
    if (!position) call.fail(fillKey("unzindstrlae", {shown, std::to_string(text.size())}));
    doomed.push_back(*position);
  }
  // A position named twice is reported as the first repeat in argument order.
  std::vector<size_t> sorted = doomed;
  std::sort(sorted.begin(), sorted.end());
  if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end()) {
    std::vector<bool> seen(text.size(), false);
    for (size_t position : doomed) {
      if (seen[position]) call.fail(fillKey("mehind", {std::to_string(position)}));
      seen[position] = true;
    }
  }
  size_t kept = 0, next = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (next < sorted.size() && sorted[next] == i) {
      ++next;
      continue;
    }
    text[kept++] = text[i];
  }
  text.resize(kept);
  data.restartReading();
}

const MethodEntry kEditMethods[] = {
    {"set\xA7", true, false, strSet<false>},
    {"Set\xA7", true, false, strSet<true>},
    {"setp\xA7int;int;str;\xA7", false, false, strSetp<false>},
    {"Setp\xA7int;int;str;\xA7", false, false, strSetp<true>},
    {"ins0\xA7", true, false, strIns0<false>},
    {"Ins0\xA7", true, false, strIns0<true>},
    {"ins\xA7", true, false, strIns<false>},
    {"Ins\xA7", true, false, strIns<true>},
    {"del0\xA7\xA7", false, false, strDel0<false>},
    {"Del0\xA7\xA7", false, false, strDel0<true>},
    {"delp\xA7int;int;\xA7", false, false, strDelp<false>},
    {"Delp\xA7int;int;\xA7", false, false, strDelp<true>},
    {"del\xA7", true, false, strDel<false>},
    {"Del\xA7", true, false, strDel<true>},
};

}  // namespace

void registerStrEditMethods() { registerMethods('s', kEditMethods, std::size(kEditMethods)); }

}  // namespace kavor
