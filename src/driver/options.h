// The options of the command line and the lines of kavor.sys, which share their letters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/failure.h"
#include "core/interpreter.h"

namespace kavor {

// A non-empty name of ASCII letters, digits and "_" that does not begin with a digit.
bool isFeasibleApplicationName(std::string_view name);

// One line per option, in the fixed order v, n, i, ib, o, ob, O, Ob, a; each line begins
// with "-" when `withDash`.
std::string optionList(bool withDash);

// Applies one of the options that take a value ("n", "i", "ib", "o", "ob", "O", "Ob", "a",
// given without the dash). Returns false for any other letters. An output option sets the
// name and both output flags together; "a" stores the name without checking it.
bool applyValueOption(RunSettings& settings, std::string_view letters, const std::string& value);

// Reads the options before the program file into `settings` and the program file and the
// arguments after it into `programArguments`. Returns the message for a faulty option
// (without the banner that precedes it), or none.
Failure parseCommandLine(const std::vector<std::string>& arguments, RunSettings& settings,
                         std::vector<std::string>& programArguments);

}  // namespace kavor
