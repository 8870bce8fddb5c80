#include "io/output_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>

#include "base/error.h"

namespace kestrun {
namespace {

/// Symbolic links followed at most, as the system follows them.
constexpr int kMaxLinks = 40;
/// Attempts at a temporary name no other file has.
constexpr int kMaxAttempts = 100;
/// Bytes of the output's name kept in the temporary name, which must stay
/// within the longest name a directory takes (255 bytes).
constexpr std::size_t kNameKept = 200;

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string last_name_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// The name `path` leads to through symbolic links: the first that is no
/// link or does not exist. Nothing if the links go round.
std::optional<std::string> followed(std::string path) {
  for (int links = 0; links < kMaxLinks; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    std::string target(256, '\0');
    for (;;) {
      const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
      if (length < 0) return std::nullopt;
      if (static_cast<std::size_t>(length) < target.size()) {
        target.resize(static_cast<std::size_t>(length));
        break;
      }
      target.resize(target.size() * 2);
    }
    path = target.starts_with('/') ? target : directory_of(path) + "/" + target;
  }
  return std::nullopt;
}

/// Eight letters and digits, different in every call and process.
std::string random_letters() {
  std::uint64_t bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof bits)) {
    bits = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<std::uint64_t>(::getpid()) << 40);
  }
  constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string letters;
  for (int i = 0; i < 8; ++i, bits /= kLetters.size()) letters.push_back(kLetters[bits % kLetters.size()]);
  return letters;
}

}  // namespace

OutputFile::OutputFile(std::unique_ptr<FileSink> sink, std::string temporary, std::string target)
    : sink_(std::move(sink)), temporary_(std::move(temporary)), target_(std::move(target)) {}

std::unique_ptr<OutputFile> OutputFile::open(const std::string& path) {
  const auto direct = [&path]() -> std::unique_ptr<OutputFile> {
    std::unique_ptr<FileSink> sink = FileSink::create(path);
    if (!sink) return nullptr;
    return std::unique_ptr<OutputFile>(new OutputFile(std::move(sink), {}, {}));
  };
  struct stat status {};
  const bool exists = ::stat(path.c_str(), &status) == 0;
  // Links that go round, a file where a directory should be, no permission:
  // the output could not be opened either.
  if (!exists && errno != ENOENT) return nullptr;
  if (exists && !S_ISREG(status.st_mode)) return direct();  // A device, a pipe; a directory fails.
  const std::optional<std::string> target = followed(path);
  if (!target) return nullptr;
  const std::string name = last_name_of(*target);
  if (name.empty() || name == "." || name == "..") return nullptr;
  if (exists) {
    // A name that reaches the file otherwise than its links tell (a
    // descriptor of a deleted file in /proc): written directly.
    struct stat reached {};
    if (::stat(target->c_str(), &reached) != 0 || reached.st_dev != status.st_dev ||
        reached.st_ino != status.st_ino) {
      return direct();
    }
    // A file the user may not write is refused, as truncating it would be.
    if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return nullptr;
  }
  const std::string prefix = directory_of(*target) + "/." + name.substr(0, kNameKept) + ".kestrun-";
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string temporary = prefix + random_letters();
    // Made as a new output would be: 0666 under the umask.
    const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
    }
    if (exists) {
      // The replaced file keeps its owner (where the system allows it) and
      // its permissions, as it would have kept them had it been truncated.
      [[maybe_unused]] const int owned = ::fchown(descriptor, status.st_uid, status.st_gid);
      [[maybe_unused]] const int kept = ::fchmod(descriptor, status.st_mode & 07777);
    }
    return std::unique_ptr<OutputFile>(
        new OutputFile(std::make_unique<FileSink>(descriptor), std::move(temporary), *target));
  }
  return nullptr;
}

OutputFile::~OutputFile() {
  sink_.reset();  // Closes the file first.
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::commit() {
  if (temporary_.empty()) return;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) throw Error(ErrorCode::OutputWrite);
  temporary_.clear();
}

}  // namespace kestrun
