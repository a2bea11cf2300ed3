// A `str` as an in-memory stream: reading values from it, writing values into it, and the
// settings of the stream class all strings share.
#include "types/stream_methods.h"

namespace kavor {

namespace {

STREAM_DATA& textStream(const MethodCall& call) { return definedText(call); }

void strInReset(MethodCall& call) { definedText(call).restartReading(); }

// out, sout, outl, soutl, fout, fsout, foutl, fsoutl, pout: the string is the stream
// written to. A value that cannot be written takes back what the call wrote before it.
struct TextWriter {
  template <OutputForm Form>
  static void write(MethodCall& call) {
    STR_DATA& data = resizableText(call);
    size_t first = installFieldWidths<Form>(call, data);
    const size_t before = data.text.size();
    Failure failure = writeValues(call.exec, call.node, call.context, data, call.args, first, Form.plain);
    if (!failure && Form.newline) failure = data.write("\n", false);
    if (!failure) return;
    data.text.resize(std::min(before, data.text.size()));
    data.restartReading();
    call.fail(failure.text());
  }
};

}  // namespace

void registerStrStreamMethods() { registerStreamMethods<textStream, TextWriter>('s', strInReset); }

}  // namespace kavor
