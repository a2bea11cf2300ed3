// A `file` as a stream: reading values from it, writing values into it, and the settings of
// the stream class all files share.
#include "types/file_common.h"
#include "types/stream_methods.h"

namespace kavor {

namespace {

STREAM_DATA& fileStream(const MethodCall& call) { return initialisedFile(call); }

void fileInReset(MethodCall& call) { initialisedFile(call).restartReading(); }

// out, sout, outl, soutl, fout, fsout, foutl, fsoutl, pout: a file not open for writing is
// opened with "o", which empties it; opening it with "O" first appends instead.
struct FileWriter {
  template <OutputForm Form>
  static void write(MethodCall& call) {
    FILE_DATA& file = initialisedFile(call);
    size_t first = installFieldWidths<Form>(call, file);
    call.require(writeValues(call.exec, call.node, call.context, file, call.args, first, Form.plain));
    if (Form.newline) call.require(file.write("\n", false));
  }
};

}  // namespace

void registerFileStreamMethods() { registerStreamMethods<fileStream, FileWriter>('f', fileInReset); }

}  // namespace kavor
