// Program text through the whole pipeline: lexer, tree builder, analysis and execution.
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kavor_fuzz::RunFiles files;
  files.program.assign(reinterpret_cast<const char*>(data), size);
  kavor_fuzz::runProgram(files);
  return 0;
}
