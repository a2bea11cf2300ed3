#include "streams/terminal_data.h"

#include <termios.h>
#include <unistd.h>

#include <cstdlib>


namespace kavor {

namespace {

constexpr char kEscape = 27;
constexpr char kBackspace = 8;
constexpr char kDelete = 127;  // what most terminals send for the backspace key

bool namesUtf8(std::string_view locale) {
  std::string lower;
  for (char c : locale) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower.find("utf-8") != std::string::npos || lower.find("utf8") != std::string::npos;
}

void echo(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

bool consoleNeedsTranslation() {
  if (!::isatty(STDOUT_FILENO)) return false;
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return !namesUtf8(value);
  }
  return true;
}

std::string consoleBytes(std::string_view text, bool translate) {
  std::string bytes;
  bytes.reserve(text.size());
  for (char c : text) {
    if (c == kStoredNul) {
      bytes += '\0';
      continue;
    }
    if (!translate) {
      bytes += c;
      continue;
    }
    switch (static_cast<unsigned char>(c)) {
      case 0x80: bytes += "EUR"; break;
      case 0xA7: bytes += '\x15'; break;
      case 0xB0: bytes += '\xF8'; break;
      case 0xB2: bytes += '\xFD'; break;
      case 0xB3: bytes += '\xFC'; break;
      case 0xB5: bytes += '\xE6'; break;
      case 0xC4: bytes += '\x8E'; break;
      case 0xD6: bytes += '\x99'; break;
      case 0xDC: bytes += '\x9A'; break;
      case 0xDF: bytes += '\xE1'; break;
      case 0xE4: bytes += '\x84'; break;
      case 0xF6: bytes += '\x94'; break;
      case 0xFC: bytes += '\x81'; break;
      default: bytes += c;
    }
  }
  return bytes;
}

TERMINAL_DATA::TERMINAL_DATA(StreamSettings* settings)
    : STREAM_DATA(settings), translateOutput(consoleNeedsTranslation()), stdinIsTerminal_(::isatty(STDIN_FILENO)) {}

Refusal TERMINAL_DATA::redirect(const std::string& inputName, bool inputBinary, const std::string& outputName,
                                bool outputBinary, bool outputAppend) {
  inputName_ = inputName;
  outputName_ = outputName;
  closeFiles();
  inputBinary_ = inputBinary;
  outputBinary_ = outputBinary;
  if (!inputName.empty()) {
    if (!isReadableNonDirectory(inputName)) return Refusal::of("inpdatexinic", std::string(inputName));
    input_.reset(std::fopen(inputName.c_str(), inputBinary ? "rb" : "r"));
    if (!input_) return Refusal::of("inpdatkannicgeower", std::string(inputName));
  }
  if (!outputName.empty()) {
    const char* mode = outputBinary ? (outputAppend ? "ab" : "wb") : (outputAppend ? "a" : "w");
    output_.reset(std::fopen(outputName.c_str(), mode));
    if (!output_) return Refusal::of("outdatkannicgeower", std::string(outputName));
  }
  return Refusal::none();
}

void TERMINAL_DATA::closeFiles() {
  input_.reset();
  // Buffered bytes go out at the close: that is where a full device says so.
  if (output_ && std::fflush(output_.get()) != 0) writeFailed_ = true;
  output_.reset();
}

bool TERMINAL_DATA::readChar(char& c) {
  if (input_) return readFileChar(input_.get(), inputBinary_, c);
  if (!stdinIsTerminal_) return readFileChar(stdin, inputBinary_, c);
  return readKey(c);
}

bool TERMINAL_DATA::readKey(char& c) {
  // Raw mode lasts for one key only, so the terminal is as the user left it between reads.
  termios saved;
  const bool raw = ::tcgetattr(STDIN_FILENO, &saved) == 0;
  if (raw) {
    termios keyMode = saved;
    keyMode.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
    keyMode.c_cc[VMIN] = 1;
    keyMode.c_cc[VTIME] = 0;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &keyMode);
  }
  const int key = std::getc(stdin);
  if (raw) ::tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  if (key == EOF || key == kEscape) return true;

  c = static_cast<char>(key);
  if (c == '\r') {
    if (inputBinary_) {
      echo("\r");
      return false;
    }
    c = '\n';
    echo("\n");
    return false;
  }
  if (c == '\0') {
    c = kStoredNul;
    echo(std::string_view("\0", 1));
    return false;
  }
  if (c == kBackspace || c == kDelete) {
    c = kBackspace;
    echo("\b \b");
    return false;
  }
  echo(std::string_view(&c, 1));
  return false;
}

Refusal TERMINAL_DATA::write(std::string_view text, bool aligned) {
  return writeAligned(text, aligned, [this](std::string_view bytes) -> Refusal {
    // Once a write failed, later ones (the error report among them) are not tried again.
    if (writeFailed_) return Refusal::of("datkannicschwer", outputName_.empty() ? "/dev/stdout" : outputName_);
    if (output_) {
      if (writeFileBytes(output_.get(), bytes)) return Refusal::none();
    } else {
      const std::string shown = consoleBytes(bytes, translateOutput);
      bool written = std::fwrite(shown.data(), 1, shown.size(), stdout) == shown.size();
      if (std::fflush(stdout) == 0 && written) return Refusal::none();
    }
    writeFailed_ = true;
    return Refusal::of("datkannicschwer", outputName_.empty() ? "/dev/stdout" : outputName_);
  });
}

}  // namespace kavor
