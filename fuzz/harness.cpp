// The fuzz harness: runs the interpreter in-process and keeps generated programs from
// touching the machine. The fuzz build renames, inside the interpreter's library only, every
// call through which a program could change the file system or start a process to the
// kavor_fuzz_ functions below, which refuse them: a generated `system("...")` or
// `dir(".").remove()` finds nothing to do, while libFuzzer still writes its own files.
#include "harness.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "core/interpreter.h"
#include "driver/program_run.h"
#include "frontend/tree_node.h"

extern "C" {

// Reading is harmless; writing only into the one output the harness names.
FILE* kavor_fuzz_fopen(const char* path, const char* mode) {
  if (std::strchr(mode, 'r') == nullptr || std::strchr(mode, '+') != nullptr) {
    if (std::strcmp(path, "/dev/null") != 0) {
      errno = EACCES;
      return nullptr;
    }
  }
  return std::fopen(path, mode);
}

int kavor_fuzz_open(const char* path, int flags, ...) {
  if ((flags & O_ACCMODE) != O_RDONLY || (flags & O_CREAT) != 0) {
    errno = EACCES;
    return -1;
  }
  return ::open(path, flags);
}

#define KAVOR_REFUSED(name, ...) \
  int kavor_fuzz_##name(__VA_ARGS__) {  \
    errno = EACCES;                 \
    return -1;                      \
  }
KAVOR_REFUSED(system, const char*)
KAVOR_REFUSED(chdir, const char*)
KAVOR_REFUSED(chmod, const char*, mode_t)
KAVOR_REFUSED(fchmod, int, mode_t)
KAVOR_REFUSED(mkdir, const char*, mode_t)
KAVOR_REFUSED(rmdir, const char*)
KAVOR_REFUSED(unlink, const char*)
KAVOR_REFUSED(remove, const char*)
KAVOR_REFUSED(rename, const char*, const char*)
KAVOR_REFUSED(symlink, const char*, const char*)
#undef KAVOR_REFUSED
}

namespace kavor_fuzz {

namespace {

constexpr size_t kStack = size_t(64) << 20;
constexpr long kRecursionLimit = 16L << 20;

std::string& directory() {
  static std::string made = [] {
    char pattern[] = "/tmp/kavor_fuzz_XXXXXX";
    const char* path = mkdtemp(pattern);
    if (path == nullptr) std::abort();
    return std::string(path);
  }();
  return made;
}

void writeFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) std::abort();
  std::fclose(file);
}

struct Run {
  kavor::Interpreter* interp;
  std::string program;
};

void* runOnThread(void* data) {
  auto* run = static_cast<Run*>(data);
  try {
    (void)kavor::runProgramFile(*run->interp, run->program);
  } catch (const std::bad_alloc&) {
    // A program may ask for more memory than there is; that is no fault of the interpreter.
  }
  return nullptr;
}

}  // namespace

void runProgram(const RunFiles& files, double seconds) {
  const std::string programPath = directory() + "/p.kv";
  const std::string inputPath = directory() + "/input";
  writeFile(programPath, files.program);
  writeFile(inputPath, files.input);

  auto interp = std::make_unique<kavor::Interpreter>();
  interp->stackLimit = kRecursionLimit;
  interp->settings.inputFile = inputPath;
  interp->settings.inputBinary = files.binaryInput;
  interp->settings.outputFile = "/dev/null";
  interp->settings.outputBinary = files.binaryOutput;
  interp->programArguments = {programPath};
  if (interp->standardStream.redirect(inputPath, files.binaryInput, "/dev/null", files.binaryOutput, false)) std::abort();

  Run run{interp.get(), programPath};
  pthread_attr_t attributes;
  pthread_t thread;
  if (pthread_attr_init(&attributes) != 0 || pthread_attr_setstacksize(&attributes, kStack) != 0 ||
      pthread_create(&thread, &attributes, runOnThread, &run) != 0)
    std::abort();
  timespec deadline;
  clock_gettime(CLOCK_REALTIME, &deadline);
  deadline.tv_sec += static_cast<time_t>(seconds);
  deadline.tv_nsec += static_cast<long>((seconds - static_cast<double>(static_cast<time_t>(seconds))) * 1e9);
  if (deadline.tv_nsec >= 1000000000L) {
    deadline.tv_sec += 1;
    deadline.tv_nsec -= 1000000000L;
  }
  if (pthread_timedjoin_np(thread, nullptr, &deadline) != 0) {
    // Too long: from the next statement on, every statement and expression raises.
    std::atomic_ref<long>(interp->stackLimit).store(-1, std::memory_order_relaxed);
    pthread_join(thread, nullptr);
  }
  pthread_attr_destroy(&attributes);
  interp->programTree.reset();
  interp->standardStream.closeFiles();
}

int runReader(const char* reader, const uint8_t* data, size_t size, bool binary) {
  RunFiles files;
  files.program = reader;
  files.input.assign(reinterpret_cast<const char*>(data), size);
  files.binaryInput = files.binaryOutput = binary;
  runProgram(files);
  return 0;
}

}  // namespace kavor_fuzz
