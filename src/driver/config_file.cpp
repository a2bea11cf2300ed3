#include "driver/config_file.h"

#include <cctype>

#include "core/messages.h"
#include "driver/options.h"
#include "streams/file_data.h"

namespace kavor {

namespace {

std::string trimBlanksAndTabs(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return "";
  size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

}  // namespace

Failure readConfigFile(const std::string& path, RunSettings& settings) {
  FILE_DATA file(path);
  if (Failure failure = file.open("i")) return failure.text() + "\n";
  const std::vector<std::string> lines = readAllLines(file);
  file.close();

  for (size_t index = 0; index < lines.size(); ++index) {
    const std::string& line = lines[index];
    if (line.empty()) continue;
    const std::string number = std::to_string(index + 1);
    size_t split = 0;
    while (split < line.size() && !std::isspace(static_cast<unsigned char>(line[split]))) ++split;
    const std::string key = line.substr(0, split);
    const std::string value = split < line.size() ? trimBlanksAndTabs(std::string_view(line).substr(split + 1)) : "";

    if (key == "v") {
      if (!value.empty()) return fillKey("datkavzeierwkeiwerproopt", {number});
      settings.version = true;
      continue;
    }
    if (!applyValueOption(settings, key, value)) {
      return fillKey("datkavzeiunbproopt", {number, key}) + "\n" + message("zulopt") + optionList(false);
    }
    if (key == "a" && !isFeasibleApplicationName(value)) return fillKey("datkavzeikeizulnamapp", {number, value});
  }
  return Failure::none();
}

}  // namespace kavor
