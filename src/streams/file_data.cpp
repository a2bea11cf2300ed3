#include "streams/file_data.h"

#include <sys/stat.h>


namespace kavor {

namespace {

StreamSettings defaultFileSettings;

// The C library mode of each of our modes; nullptr for a mode we do not have.
const char* libraryMode(std::string_view mode) {
  if (mode == "i") return "r";
  if (mode == "ib") return "rb";
  if (mode == "o") return "w";
  if (mode == "ob") return "wb";
  if (mode == "O") return "a";
  if (mode == "Ob") return "ab";
  return nullptr;
}

}  // namespace

StreamSettings* FILE_DATA::sharedSettings = &defaultFileSettings;

Refusal FILE_DATA::open(std::string_view mode) {
  if (name.empty()) return Refusal::of("datmusini");
  const char* cMode = libraryMode(mode);
  if (cMode == nullptr) return Refusal::of("unzmod", std::string(mode));
  if (handle_ && openMode_ == mode) return Refusal::none();
  close();
  handle_.reset(std::fopen(name.c_str(), cMode));
  // The C library opens a directory for reading; it would then read as an empty file.
  struct stat status;
  if (handle_ && ::fstat(fileno(handle_.get()), &status) == 0 && S_ISDIR(status.st_mode)) handle_.reset();
  if (!handle_) return Refusal::of("datkannicgeower", std::string(name));
  openMode_ = std::string(mode);
  return Refusal::none();
}

void FILE_DATA::close() {
  handle_.reset();
  openMode_.clear();
}

bool FILE_DATA::exists() const { return handle_ != nullptr || isRegularFile(name); }

void FILE_DATA::restartReading() {
  if (isReading()) std::rewind(handle_.get());
}

Refusal FILE_DATA::prepareInput() {
  if (isReading()) return Refusal::none();
  return open("i");
}

bool FILE_DATA::readChar(char& c) {
  if (!isReading()) return true;
  return readFileChar(handle_.get(), isBinary(), c);
}

Refusal FILE_DATA::write(std::string_view text, bool aligned) {
  if (!isWriting()) {
    if (Refusal refusal = open("o")) return refusal;
  }
  // A full disk or a closed device must not lose output without a word.
  return writeAligned(text, aligned, [this](std::string_view bytes) -> Refusal {
    if (writeFileBytes(handle_.get(), bytes)) return Refusal::none();
    return Refusal::of("datkannicschwer", name);
  });
}

}  // namespace kavor
