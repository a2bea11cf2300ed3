// The standard stream: the keyboard and the screen, or the files named by the options
// -i/-ib and -o/-ob/-O/-Ob. Exactly one lives in the interpreter.
#pragma once

#include <string>
#include <string_view>

#include "streams/file_handle.h"
#include "streams/stream.h"

namespace kavor {

// Whether bytes written to the screen are translated from the interpreter's 8-bit code page
// to the console code page: only on a terminal whose locale (LC_ALL, else LC_CTYPE, else
// LANG) does not name UTF-8. Elsewhere the translation would corrupt text.
bool consoleNeedsTranslation();

// The bytes that represent `text` on the screen. The stored NUL always becomes a 0 byte;
// with `translate` the console code page replaces the characters it has at other places.
std::string consoleBytes(std::string_view text, bool translate);

class TERMINAL_DATA final : public STREAM_DATA {
 public:
  explicit TERMINAL_DATA(StreamSettings* settings);

  // Points input and output at files ("" = keyboard / screen), closing files opened before.
  // The input file must be an existing regular file. Returns the start-up message that
  // describes a failure ("Input file '%s' does not exist\n", ... cannot be opened\n", or
  // "Output file '%s' cannot be opened\n"), or none.
  Refusal redirect(const std::string& inputName, bool inputBinary, const std::string& outputName, bool outputBinary,
                   bool outputAppend);
  // Closes both files; what was written is flushed.
  void closeFiles();
  // Some output could not be written (a full device, a closed pipe): the run must not end
  // as a success. The name is the output file's, or "" for the process's standard output.
  bool writeFailed() const { return writeFailed_; }

  const std::string& inputName() const { return inputName_; }
  const std::string& outputName() const { return outputName_; }
  bool hasOutputFile() const { return output_ != nullptr; }

  // Decided once at start-up (consoleNeedsTranslation); tests may set it.
  bool translateOutput;

  Refusal prepareInput() override { return Refusal::none(); }
  // From the input file; else from a non-terminal standard input read like a text file;
  // else one key at a time from the keyboard in raw mode, echoed (ESC ends the input).
  bool readChar(char& c) override;
  bool isBinary() const override { return inputBinary_; }
  // Only a person at the keyboard erases with backspace; files and pipes deliver it as a byte.
  bool isInteractive() const override { return !input_ && stdinIsTerminal_; }
  bool readsObjects() const override { return inputBinary_ && input_; }
  bool writesObjects() const override { return outputBinary_ && output_; }
  Refusal write(std::string_view text, bool aligned) override;

 private:
  bool readKey(char& c);

  // The names given at start-up; "" when that side is not redirected.
  std::string inputName_;
  std::string outputName_;
  // Open exactly when the matching name was given and redirect() succeeded.
  FileHandle input_;
  FileHandle output_;
  // Set by the first write or close that failed; never cleared.
  bool writeFailed_ = false;
  // Set by -ib: the input file is read without folding "\r\n".
  bool inputBinary_ = false;
  // Set by -ob and -Ob: values are written in the binary object form.
  bool outputBinary_ = false;
  // Standard input was a terminal at start-up: keys are then read in raw mode.
  bool stdinIsTerminal_;
};

}  // namespace kavor
