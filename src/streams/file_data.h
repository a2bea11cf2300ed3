// The payload of every Kavor `file`, and the reader of program files and kavor.sys: a named
// file that is closed, open for reading or open for writing.
#pragma once

#include <string>
#include <string_view>

#include "streams/file_handle.h"
#include "streams/stream.h"

namespace kavor {

class FILE_DATA final : public STREAM_DATA {
 public:
  // The record every `file` stream shares; see STR_DATA::sharedSettings. Never null.
  static StreamSettings* sharedSettings;

  explicit FILE_DATA(std::string name = "") : STREAM_DATA(sharedSettings), name(std::move(name)) {}

  // The path; "" while the `file` is not initialised. Changing it does not touch an open
  // handle: callers close() first when the new name must take effect.
  std::string name;

  // Opens in one of the modes "i", "ib" (read, text/binary), "o", "ob" (write, truncate),
  // "O", "Ob" (append). Opening in the other direction closes the open handle first;
  // re-opening in the mode already open keeps the handle (and its position).
  // Refusals: "File must be initialised", "Infeasible mode '%s'", "File '%s' cannot be opened".
  Refusal open(std::string_view mode);
  void close();
  // True while a handle is open; otherwise whether the name names an existing regular file.
  bool exists() const;
  // The mode of the open handle, "" when closed.
  const std::string& mode() const { return openMode_; }
  bool isReading() const { return openMode_ == "i" || openMode_ == "ib"; }
  bool isWriting() const { return handle_ && !isReading(); }
  // Reading starts again at the first byte (no effect unless open for reading).
  void restartReading();

  Refusal prepareInput() override;
  bool readChar(char& c) override;
  bool isBinary() const override { return openMode_ == "ib"; }
  bool isInteractive() const override { return false; }
  // Writing a file that is not open for writing opens it with "o" (truncating it) first.
  // Refuses with "File '%s' cannot be written" when the bytes do not arrive.
  Refusal write(std::string_view text, bool aligned) override;

 private:
  // The one open handle, for reading or for writing as openMode_ says; null when closed.
  FileHandle handle_;
  // One of the six modes while handle_ is open, "" exactly when it is null.
  std::string openMode_;
};

}  // namespace kavor
