#include "core/error.h"

#include "core/messages.h"

namespace kavor {

std::string errorKindTitle(char kind) {
  switch (kind) {
    case ErrorKind::Syntax: return message("synfeh");
    case ErrorKind::System: return message("sysfeh");
    case ErrorKind::Analysis: return message("anafeh");
    default: return "";
  }
}

std::string formatError(const std::string& title, const std::string& file, long long line,
                        const std::string& text) {
  return fillKey("indatzei", {title, file, std::to_string(line), text});
}

}  // namespace kavor
