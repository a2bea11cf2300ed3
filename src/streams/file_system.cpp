#include "streams/file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace kavor {

namespace {

// A descriptor closed when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now and reports whether the close succeeded (late write errors show up here).
  bool close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;  // the open descriptor, or -1
};

// The status of `path` itself (a symbolic link is not followed); false when nothing is there.
bool entryStatus(const std::string& path, struct stat& status) { return ::lstat(path.c_str(), &status) == 0; }

// The directory a new entry at `path` goes into.
std::string parentOf(const std::string& path) {
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  size_t slash = trimmed.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return trimmed.substr(0, slash);
}

std::string joined(const std::string& directory, const std::string& name) {
  if (!directory.empty() && directory.back() == '/') return directory + name;
  return directory + "/" + name;
}

// "File '%s' already exists" or "Directory '%s' already exists" when something is at
// `target`, so that a rename never replaces it.
Refusal refuseExisting(const std::string& target) {
  struct stat status;
  if (!entryStatus(target, status)) return Refusal::none();
  return Refusal::of(S_ISDIR(status.st_mode) ? "verexisch" : "datexisch", target);
}

// Copies every byte from `in` to `out`; false on a read or write error.
bool copyBytes(int in, int out) {
  char buffer[65536];
  for (;;) {
    ssize_t got = ::read(in, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(out, buffer + done, static_cast<size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return false;
      done += put;
    }
  }
}

// Reads up to `size` bytes, fewer only at the end of the file; -1 on an error.
ssize_t readFull(int fd, char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd, buffer + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return -1;
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(done);
}

// Opens a regular file for reading; "File '%s' does not exist" when the path is absent or
// names something else.
Outcome<int> openRegular(const std::string& path, struct stat& status) {
  // Without O_NONBLOCK a pipe would wait here for a writer that may never come.
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    return Outcome<int>::refusal(Refusal::of(errno == ENOENT ? "datexinic" : "datkannickopwer", path));
  }
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return Outcome<int>::refusal(Refusal::of("datexinic", path));
  }
  return Outcome<int>::success(fd);
}

// Writes the bytes and rights of the open regular file `in` (status `status`) to a new file
// at `target`, which must not exist. Messages name `source` and `shownTarget`.
Refusal writeCopy(int in, const struct stat& status, const std::string& target, const std::string& source,
                  const std::string& shownTarget) {
  Descriptor out(::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!out.valid()) return Refusal::of("datkannickopwer", source);
  if (!copyBytes(in, out.get())) return Refusal::of("datkannickopwer", source);
  if (::fchmod(out.get(), status.st_mode & 07777) != 0) return Refusal::of("zugrecfuedatkannicgeswer", shownTarget);
  if (!out.close()) return Refusal::of("datkannickopwer", source);
  return Refusal::none();
}

// A fresh name beside `target` for a copy under construction; the file or directory is
// created by `make` so that no other process can take the name in between.
template <class Make>
std::string temporaryBeside(const std::string& target, Make&& make) {
  std::string pattern = joined(parentOf(target), ".kavor-copy-XXXXXX");
  if (!make(pattern.data())) return "";
  return pattern;
}

// Copies the tree below `source` into the existing directory `target`. Messages name the
// paths under `shown`, the name the copy will have once it is complete.
Refusal copyTreeInto(const std::string& source, const std::string& target, const std::string& shown) {
  Outcome<std::vector<DirectoryEntry>> listing = listDirectory(source, "*", false);
  if (listing.failure) return Refusal::of("verkannickopwer", source);
  for (const DirectoryEntry& entry : listing.value) {
    const std::string from = joined(source, entry.name);
    const std::string to = joined(target, entry.name);
    const std::string toShown = joined(shown, entry.name);
    struct stat status;
    if (!entryStatus(from, status)) return Refusal::of("verkannickopwer", source);
    if (S_ISDIR(status.st_mode)) {
      if (::mkdir(to.c_str(), 0700) != 0) return Refusal::of("verkannicerzwer", toShown);
      if (Refusal refusal = copyTreeInto(from, to, toShown)) return refusal;
      // Rights last, so that a read-only directory still receives its entries first.
      if (::chmod(to.c_str(), status.st_mode & 07777) != 0) return Refusal::of("zugrecfueverkannicgeswer", toShown);
    } else if (S_ISLNK(status.st_mode)) {
      std::string link(PATH_MAX, '\0');
      ssize_t length = ::readlink(from.c_str(), link.data(), link.size());
      if (length < 0) return Refusal::of("datkannickopwer", from);
      link.resize(static_cast<size_t>(length));
      if (::symlink(link.c_str(), to.c_str()) != 0) return Refusal::of("datkannickopwer", from);
    } else {
      Outcome<int> in = openRegular(from, status);
      if (in.failure) return Refusal::of("datkannickopwer", from);
      Descriptor input(in.value);
      if (Refusal refusal = writeCopy(input.get(), status, to, from, toShown)) return refusal;
    }
  }
  return Refusal::none();
}

// Whether `inner` names `outer` or a path below it, both resolved through links.
bool liesWithin(const std::string& inner, const std::string& outer) {
  char* innerReal = ::realpath(inner.c_str(), nullptr);
  char* outerReal = ::realpath(outer.c_str(), nullptr);
  bool within = false;
  if (innerReal != nullptr && outerReal != nullptr) {
    std::string a = innerReal, b = outerReal;
    within = a == b || (a.compare(0, b.size(), b) == 0 && (b == "/" || a[b.size()] == '/'));
  }
  std::free(innerReal);
  std::free(outerReal);
  return within;
}

Refusal listInto(const std::string& path, const std::string& prefix, const std::string& pattern, bool recursive,
                 std::vector<DirectoryEntry>& entries) {
  DIR* directory = ::opendir(path.c_str());
  if (directory == nullptr) return Refusal::of("verexinic", path);
  std::vector<DirectoryEntry> here;
  while (const dirent* entry = ::readdir(directory)) {
    std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    struct stat status;
    bool isDirectory = entryStatus(joined(path, name), status) && S_ISDIR(status.st_mode);
    here.push_back({std::move(name), isDirectory});
  }
  ::closedir(directory);
  std::sort(here.begin(), here.end(),
            [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
  for (DirectoryEntry& entry : here) {
    std::string full = prefix + entry.name;
    if (::fnmatch(pattern.c_str(), entry.name.c_str(), 0) == 0) entries.push_back({full, entry.isDirectory});
    if (recursive && entry.isDirectory) {
      if (Refusal refusal = listInto(joined(path, entry.name), full + "/", pattern, true, entries)) return refusal;
    }
  }
  return Refusal::none();
}

Refusal removeTreeAt(const std::string& path) {
  struct stat status;
  if (!entryStatus(path, status) || !S_ISDIR(status.st_mode)) return Refusal::of("verexinic", path);
  Outcome<std::vector<DirectoryEntry>> listing = listDirectory(path, "*", false);
  if (listing.failure) return Refusal::of("verkannicgelwer", path);
  // Files first, then the emptied subdirectories, then the directory itself.
  for (const DirectoryEntry& entry : listing.value) {
    std::string inner = joined(path, entry.name);
    if (!entry.isDirectory && ::unlink(inner.c_str()) != 0) return Refusal::of("datkannicgelwer", inner);
  }
  for (const DirectoryEntry& entry : listing.value) {
    if (!entry.isDirectory) continue;
    if (Refusal refusal = removeTreeAt(joined(path, entry.name))) return refusal;
  }
  if (::rmdir(path.c_str()) != 0) return Refusal::of("verkannicgelwer", path);
  return Refusal::none();
}

}  // namespace

Outcome<int64_t> fileSize(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
    return Outcome<int64_t>::refusal(Refusal::of("datexinic", path));
  }
  return Outcome<int64_t>::success(static_cast<int64_t>(status.st_size));
}

bool fileOwnerMay(const std::string& path, char which) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0 || S_ISDIR(status.st_mode)) return false;
  mode_t bit = which == 'r' ? S_IRUSR : which == 'w' ? S_IWUSR : S_IXUSR;
  return (status.st_mode & bit) != 0;
}

Outcome<bool> sameContents(const std::string& first, const std::string& second) {
  struct stat firstStatus, secondStatus;
  Outcome<int> a = openRegular(first, firstStatus);
  if (a.failure) return Outcome<bool>::refusal(Refusal::of("datexinic", first));
  Descriptor left(a.value);
  Outcome<int> b = openRegular(second, secondStatus);
  if (b.failure) return Outcome<bool>::refusal(Refusal::of("datexinic", second));
  Descriptor right(b.value);
  if (firstStatus.st_size != secondStatus.st_size) return Outcome<bool>::success(false);
  std::vector<char> leftBuffer(65536), rightBuffer(65536);
  for (;;) {
    ssize_t got = readFull(left.get(), leftBuffer.data(), leftBuffer.size());
    if (got < 0 || readFull(right.get(), rightBuffer.data(), rightBuffer.size()) != got) break;
    if (std::memcmp(leftBuffer.data(), rightBuffer.data(), static_cast<size_t>(got)) != 0) break;
    if (got == 0) return Outcome<bool>::success(true);
  }
  return Outcome<bool>::success(false);
}

Refusal makeEmptyFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) return refuseExisting(path);
    return Refusal::of("datkannicerzwer", path);
  }
  ::close(fd);
  return Refusal::none();
}

Refusal removeFile(const std::string& path) {
  struct stat status;
  if (!entryStatus(path, status) || S_ISDIR(status.st_mode) || ::unlink(path.c_str()) != 0) {
    return Refusal::of("datkannicgelwer", path);
  }
  return Refusal::none();
}

Refusal moveFile(const std::string& source, const std::string& target) {
  struct stat status;
  if (!entryStatus(source, status) || S_ISDIR(status.st_mode)) return Refusal::of("datkannicumbwer", source);
  if (Refusal refusal = refuseExisting(target)) return refusal;
  if (::rename(source.c_str(), target.c_str()) != 0) return Refusal::of("datkannicumbwer", source);
  return Refusal::none();
}

Refusal copyFile(const std::string& source, const std::string& target) {
  struct stat status;
  Outcome<int> in = openRegular(source, status);
  if (in.failure) return in.failure;
  Descriptor input(in.value);
  struct stat targetStatus;
  if (::stat(target.c_str(), &targetStatus) == 0 && S_ISDIR(targetStatus.st_mode)) {
    return Refusal::of("datkannickopwer", source);
  }
  std::string temporary = temporaryBeside(target, [](char* name) {
    int fd = ::mkstemp(name);
    if (fd < 0) return false;
    ::close(fd);
    return ::unlink(name) == 0;
  });
  if (temporary.empty()) return Refusal::of("datkannickopwer", source);
  Refusal refusal = writeCopy(input.get(), status, temporary, source, target);
  if (!refusal && ::rename(temporary.c_str(), target.c_str()) != 0) refusal = Refusal::of("datkannickopwer", source);
  if (refusal) ::unlink(temporary.c_str());
  return refusal;
}

Refusal makeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return Refusal::none();
  if (errno == EEXIST) return refuseExisting(path);
  return Refusal::of("verkannicerzwer", path);
}

Refusal removeTree(const std::string& path) {
  // As the shell's rm, never the root and never a tree named by "." or "..", which would take
  // the directory the program runs in (or its parent) from under it.
  char* real = ::realpath(path.c_str(), nullptr);
  bool refused = real != nullptr && std::string(real) == "/";
  std::free(real);
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  const std::string last = trimmed.substr(trimmed.rfind('/') == std::string::npos ? 0 : trimmed.rfind('/') + 1);
  if (refused || last == "." || last == "..") return Refusal::of("verkannicgelwer", path);
  return removeTreeAt(path);
}

Refusal moveDirectory(const std::string& source, const std::string& target) {
  struct stat status;
  if (!entryStatus(source, status) || !S_ISDIR(status.st_mode)) return Refusal::of("verexinic", source);
  if (Refusal refusal = refuseExisting(target)) return refusal;
  if (::rename(source.c_str(), target.c_str()) != 0) return Refusal::of("verkannicumbwer", source);
  return Refusal::none();
}

Refusal copyTree(const std::string& source, const std::string& target) {
  struct stat status;
  if (!entryStatus(source, status) || !S_ISDIR(status.st_mode)) return Refusal::of("verexinic", source);
  if (Refusal refusal = refuseExisting(target)) return refusal;
  // A copy inside its own source would find itself while it is being made.
  if (liesWithin(parentOf(target), source)) return Refusal::of("verkannickopwer", source);
  std::string temporary = temporaryBeside(target, [](char* name) { return ::mkdtemp(name) != nullptr; });
  if (temporary.empty()) return Refusal::of("verkannicerzwer", target);
  Refusal refusal = copyTreeInto(source, temporary, target);
  if (!refusal && ::chmod(temporary.c_str(), status.st_mode & 07777) != 0) {
    refusal = Refusal::of("zugrecfueverkannicgeswer", target);
  }
  if (!refusal && ::rename(temporary.c_str(), target.c_str()) != 0) refusal = Refusal::of("verkannickopwer", source);
  if (refusal) {
    // Rights copied from the source may keep us out of the unfinished copy.
    ::chmod(temporary.c_str(), 0700);
    (void)removeTreeAt(temporary);
  }
  return refusal;
}

Outcome<std::vector<DirectoryEntry>> listDirectory(const std::string& path, const std::string& pattern,
                                                   bool recursive) {
  std::vector<DirectoryEntry> entries;
  if (Refusal refusal = listInto(path, "", pattern, recursive, entries)) {
    return Outcome<std::vector<DirectoryEntry>>::refusal(refusal);
  }
  return Outcome<std::vector<DirectoryEntry>>::success(std::move(entries));
}

}  // namespace kavor
