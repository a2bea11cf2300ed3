// `str` and `file` streams are created deep inside value handling, far from the
// interpreter, so they reach their class's settings record through a static link. This
// object points that link at one interpreter's records for as long as it lives.
#pragma once

#include "streams/file_data.h"
#include "streams/str_data.h"

namespace kavor {

class StreamSettingsLink {
 public:
  StreamSettingsLink(StreamSettings* strings, StreamSettings* files)
      : previousStrings_(STR_DATA::sharedSettings), previousFiles_(FILE_DATA::sharedSettings) {
    STR_DATA::sharedSettings = strings;
    FILE_DATA::sharedSettings = files;
  }
  ~StreamSettingsLink() {
    STR_DATA::sharedSettings = previousStrings_;
    FILE_DATA::sharedSettings = previousFiles_;
  }
  StreamSettingsLink(const StreamSettingsLink&) = delete;
  StreamSettingsLink& operator=(const StreamSettingsLink&) = delete;

 private:
  StreamSettings* previousStrings_;  // restored on destruction
  StreamSettings* previousFiles_;    // restored on destruction
};

}  // namespace kavor
