#include "app/shared_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace bolta {
namespace {

namespace fs = std::filesystem;

class UniqueFd {
 public:
  explicit UniqueFd(int fd = -1) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  // Closing can report a late write error, so a writer closes explicitly and looks.
  bool Close() { return ::close(std::exchange(fd_, -1)) == 0; }

 private:
  int fd_;
};

struct Content {
  bool exists = false;
  std::string bytes;
  mode_t permissions = 0;
};

std::error_code LastError() { return {errno, std::generic_category()}; }

// Nothing, with the reason in `error`, when the file exists but cannot be read (or is no
// regular file).
std::optional<Content> ReadContent(const fs::path& file, std::error_code& error) {
  // Non-blocking, so that a FIFO put in the file's place cannot hang the caller.
  const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) {
    if (errno == ENOENT) return Content{};
    error = LastError();
    return std::nullopt;
  }
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) {
    error = LastError();
    return std::nullopt;
  }
  if (!S_ISREG(info.st_mode)) {
    error = std::make_error_code(std::errc::invalid_argument);
    return std::nullopt;
  }
  Content content{true, {}, info.st_mode & 0777};
  char buffer[8192];
  for (;;) {
    const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
    if (count == 0) return content;
    if (count < 0 && errno != EINTR) {
      error = LastError();
      return std::nullopt;
    }
    if (count > 0) content.bytes.append(buffer, static_cast<size_t>(count));
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = ::write(fd, bytes.data(), bytes.size());
    if (count < 0 && errno != EINTR) return false;
    if (count > 0) bytes.remove_prefix(static_cast<size_t>(count));
  }
  return true;
}

// The lock is the descriptor's: it is released when the returned UniqueFd closes it.
UniqueFd LockExclusively(const fs::path& lockFile) {
  UniqueFd fd(::open(lockFile.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666));
  if (!fd) return fd;
  while (::flock(fd.get(), LOCK_EX) != 0) {
    if (errno != EINTR) return UniqueFd();
  }
  return fd;
}

// Only the lock holder writes the temporary file, so one already there is a crashed writer's
// leftover.
UniqueFd CreateOverLeftover(const fs::path& path) {
  ::unlink(path.c_str());
  return UniqueFd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
}

// The new content on its way to its place; removed again unless it got there. Each step keeps
// the reason of its failure.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path)
      : path_(std::move(path)), fd_(CreateOverLeftover(path_)), owned_(static_cast<bool>(fd_)) {
    if (!owned_) error_ = LastError();
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (owned_) ::unlink(path_.c_str());
  }

  const std::error_code& error() const { return error_; }

  // A new file gets the default permissions (0666 less the umask); a replacement the old ones.
  bool Fill(std::string_view bytes, std::optional<mode_t> permissions) {
    const bool filled = owned_ && WriteAll(fd_.get(), bytes) &&
                        (!permissions || ::fchmod(fd_.get(), *permissions) == 0) &&
                        ::fsync(fd_.get()) == 0 && fd_.Close();
    if (!filled && !error_) error_ = LastError();
    return filled;
  }

  bool RenameOver(const fs::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) {
      error_ = LastError();
      return false;
    }
    owned_ = false;
    // Makes the rename itself durable. The new content is in place already, so a failure here
    // is no failed write.
    const fs::path directory = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const UniqueFd dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir) ::fsync(dir.get());
    return true;
  }

 private:
  fs::path path_;
  UniqueFd fd_;
  bool owned_;
  std::error_code error_;
};

}  // namespace

std::optional<std::string> ReadSharedFile(const fs::path& file) {
  std::error_code ignored;
  std::optional<Content> content = ReadContent(file, ignored);
  if (!content || !content->exists) return std::nullopt;
  return std::move(content->bytes);
}

std::error_code RewriteSharedFile(const fs::path& file,
                                  const std::function<std::string(std::string_view)>& edit,
                                  const std::optional<fs::path>& startFrom) {
  std::error_code error;
  fs::path target = fs::canonical(file, error);
  if (error) target = file;  // not there yet: it is created where it is named
  error.clear();

  const UniqueFd lock = LockExclusively(fs::path(target) += ".lock");
  if (!lock) return LastError();
  const std::optional<Content> current = ReadContent(target, error);
  if (!current) return error;  // what could not be read must not be overwritten
  std::optional<std::string> start;
  if (!current->exists && startFrom) start = ReadSharedFile(*startFrom);
  const std::string next = edit(start ? *start : current->bytes);
  const fs::path temporaryPath = fs::path(target) += ".tmp";
  if (current->exists && next == current->bytes) {
    ::unlink(temporaryPath.c_str());  // a crashed writer's leftover, as below
    return {};
  }

  TemporaryFile temporary(temporaryPath);
  if (temporary.Fill(next, current->exists ? std::optional(current->permissions) : std::nullopt) &&
      temporary.RenameOver(target)) {
    return {};
  }
  return temporary.error();
}

}  // namespace bolta
