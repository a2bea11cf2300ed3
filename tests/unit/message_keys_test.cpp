// Every message key the sources name must be in the catalogue: a mistyped key would
// silently yield an empty message and turn a refusal into success.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

#include "core/messages.h"

namespace kavor {
namespace {

TEST(MessageCatalogue, UnknownKeyYieldsEmptyText) {
  EXPECT_STREQ(message("no such key"), "");
  EXPECT_STREQ(message("veralinicerl"), "Movement of an alias not allowed");
  EXPECT_STREQ(message("schxxxnicdef"), message("keynicdef"));
  EXPECT_EQ(fill("%s-%d-%c%%", {"a", "12345678901234567890", "z"}), "a-12345678901234567890-z%");
}

TEST(MessageCatalogue, EveryKeyUsedInTheSourcesExists) {
  // Literal keys passed to the lookup functions, also as either side of a "?:".
  const std::regex call(R"((message|fillKey|concatMessages|kindKey)\(([^;]*))");
  const std::regex literal(R"re("([a-z0-9!+\-]{2,})")re");
  size_t checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(KAVOR_SOURCE_DIR)) {
    if (entry.path().extension() != ".cpp" || entry.path().filename() == "message_table.cpp") continue;
    std::ifstream file(entry.path());
    std::string line;
    int number = 0;
    while (std::getline(file, line)) {
      ++number;
      for (std::sregex_iterator it(line.begin(), line.end(), call), end; it != end; ++it) {
        // Keys come before the braced list of fill-in values.
        std::string arguments = (*it)[2];
        arguments = arguments.substr(0, arguments.find('{'));
        for (std::sregex_iterator key(arguments.begin(), arguments.end(), literal); key != end; ++key) {
          std::string name = (*key)[1];
          ++checked;
          EXPECT_STRNE(message(name), "") << entry.path().filename() << ":" << number << " key " << name;
        }
      }
    }
  }
  EXPECT_GT(checked, 100u);
}

}  // namespace
}  // namespace kavor
