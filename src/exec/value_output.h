// Writing values to a stream as the output statements do, and the output formats that
// shape them; the `str` and `file` methods that write use the same.
#pragma once

#include <string>

#include "exec/executor.h"
#include "streams/stream.h"

namespace kavor {

// Writes the values `values[first..]` to `stream`, each as soon as it is converted: its text
// form, padded by the output format of its type, written aligned to the stream's fields.
// Unless `plain` (pout), the stream's output separator goes between two values and a value
// of a user-defined type with an `out` procedure is written by that procedure. Refuses with
// the failure of the first value that could not be written; earlier values stay written.
Failure writeValues(Executor& exec, TreeNode& node, const ExecContext& context, STREAM_DATA& stream,
                    ResultList& values, size_t first, bool plain);

// Installs `format` (a column format string such as "+8" or "-5+3") as the output format of
// the values of the type `typeLetter` (a base type letter), or of every type when it is a
// blank; an empty format removes it. Refuses an unknown letter or a bad format.
Failure setOutputFormat(StreamSettings& settings, char typeLetter, const std::string& format);

// The output formats as get_out_fmt reports them: the format of every type as it was given,
// then each type's own as its letter followed by its format, separated by blanks.
std::string outputFormatText(const StreamSettings& settings);

}  // namespace kavor
