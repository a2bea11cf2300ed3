#include "driver/options.h"

#include "core/messages.h"

namespace kavor {

namespace {

bool isAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The catalogue keys of the option list lines, in the order they are shown.
constexpr std::string_view kOptionLineKeys[] = {"ausprover", "incver", "inpdat", "inpdatbin", "outdat",
                                                "outdatbin", "outdatapp", "outdatappbin", "app"};

bool isValueOption(std::string_view letters) {
  for (std::string_view known : {"n", "i", "ib", "o", "ob", "O", "Ob", "a"}) {
    if (letters == known) return true;
  }
  return false;
}

}  // namespace

bool isFeasibleApplicationName(std::string_view name) {
  if (name.empty() || !(isAsciiLetter(name[0]) || name[0] == '_')) return false;
  for (char c : name) {
    if (!(isAsciiLetter(c) || isAsciiDigit(c) || c == '_')) return false;
  }
  return true;
}

std::string optionList(bool withDash) {
  std::string list;
  for (std::string_view key : kOptionLineKeys) {
    if (withDash) list += '-';
    list += message(key);
  }
  return list;
}

bool applyValueOption(RunSettings& settings, std::string_view letters, const std::string& value) {
  auto setOutput = [&](bool binary, bool append) {
    settings.outputFile = value;
    settings.outputBinary = binary;
    settings.outputAppend = append;
  };
  if (letters == "n") settings.includeDirs.push_back(value);
  else if (letters == "i" || letters == "ib") {
    settings.inputFile = value;
    settings.inputBinary = letters == "ib";
  } else if (letters == "o") setOutput(false, false);
  else if (letters == "ob") setOutput(true, false);
  else if (letters == "O") setOutput(false, true);
  else if (letters == "Ob") setOutput(true, true);
  else if (letters == "a") settings.application = value;
  else return false;
  return true;
}

Failure parseCommandLine(const std::vector<std::string>& arguments, RunSettings& settings,
                         std::vector<std::string>& programArguments) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    // From the program file on, everything belongs to the program, whatever it looks like.
    if (!programArguments.empty()) {
      programArguments.push_back(argument);
      continue;
    }
    if (argument == "-v") {
      settings.version = true;
      continue;
    }
    if (argument.empty() || argument[0] != '-') {
      programArguments.push_back(argument);
      continue;
    }
    const std::string letters = argument.substr(1);
    if (!isValueOption(letters)) {
      return fillKey("unbproopt", {argument}) + "\n" + message("zulopt") + optionList(true);
    }
    if (i + 1 == arguments.size()) return fillKey("prooptistunv", {letters});
    const std::string& value = arguments[++i];
    applyValueOption(settings, letters, value);
    if (letters == "a" && !isFeasibleApplicationName(value)) return fillKey("prooptkeizulnamapp", {"a", value});
  }
  return Failure::none();
}

}  // namespace kavor
