// Replacing a file by rename, on POSIX systems.
#include "platform/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace marvolen {

namespace {

// More links than this in a chain are taken as a loop, as the kernel does.
constexpr int kMaxLinks = 40;

bool Fail(std::string* error, const std::string& text) {
  if (error != nullptr) *error = text;
  return false;
}

std::string Cause(int errorNumber) { return std::strerror(errorNumber); }

// The folder part of a path ("." when it has none) and the name part.
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file at the end of the chain of links that starts at `path`, with its
// status when it exists (`exists` false when it does not).
bool FollowLinks(const std::string& path, std::string& target, struct stat& info, bool& exists,
                 std::string* error) {
  target = path;
  for (int hops = 0; hops <= kMaxLinks; ++hops) {
    if (::lstat(target.c_str(), &info) != 0) {
      if (errno != ENOENT) return Fail(error, target + ": " + Cause(errno));
      exists = false;
      return true;
    }
    if (!S_ISLNK(info.st_mode)) {
      exists = true;
      return true;
    }
    std::string link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
    if (n < 0) return Fail(error, target + ": " + Cause(errno));
    if (static_cast<std::size_t>(n) >= link.size()) {
      return Fail(error, target + ": the link changed while it was read");
    }
    link.resize(static_cast<std::size_t>(n));
    target = (!link.empty() && link[0] == '/') ? link : FolderOf(target) + "/" + link;
  }
  return Fail(error, path + ": " + Cause(ELOOP));
}

// Sync a folder, so that a rename in it survives a crash. Not every file
// system can; that is no failure of the replacement.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

std::unique_ptr<FileReplacement> FileReplacement::Begin(const std::string& path,
                                                        std::string* error) {
  if (path.empty()) {
    Fail(error, "no file name given");
    return nullptr;
  }
  std::string target;
  struct stat info {};
  bool exists = false;
  if (!FollowLinks(path, target, info, exists, error)) return nullptr;
  if (exists) {
    // Opening a FIFO for writing would wait for a reader; a device or a
    // folder is no report.
    if (!S_ISREG(info.st_mode)) {
      Fail(error, target + ": not a plain file");
      return nullptr;
    }
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
      Fail(error, target + ": the file may not be written");
      return nullptr;
    }
  }

  const std::string folder = FolderOf(target);
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = folder + "/" + NameOf(target) + "." + RandomNamePart() + ".tmp";
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    Fail(error, folder + ": cannot create a temporary file: " + Cause(errno));
    return nullptr;
  }
  if (exists) {
    // Owner and group first: changing them clears set-id bits, which the
    // mode then restores. Only the superuser may give a file away; for
    // anyone else the new file stays theirs.
    if (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) {
      if (::fchown(fd, info.st_uid, info.st_gid) != 0) {
        // Keep at least the group, where that is allowed.
        [[maybe_unused]] const int ignored = ::fchown(fd, static_cast<uid_t>(-1), info.st_gid);
      }
    }
    if (::fchmod(fd, info.st_mode & 07777) != 0) {
      const int cause = errno;
      ::close(fd);
      ::unlink(temporary.c_str());
      Fail(error, temporary + ": cannot set its permissions: " + Cause(cause));
      return nullptr;
    }
  }
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    const int cause = errno;
    ::close(fd);
    ::unlink(temporary.c_str());
    Fail(error, temporary + ": " + Cause(cause));
    return nullptr;
  }
  return std::unique_ptr<FileReplacement>(new FileReplacement(target, temporary, file));
}

FileReplacement::~FileReplacement() { Abandon(); }

bool FileReplacement::Prepare(std::string* error) {
  if (file_ == nullptr || prepared_) {
    return Fail(error, target_ + ": the replacement was already finished");
  }
  std::FILE* file = file_;
  file_ = nullptr;
  bool written = std::fflush(file) == 0 && std::ferror(file) == 0;
  int cause = written ? 0 : errno;
  // The content is on the disk before it takes the target's place, so that
  // a crash right after the rename cannot leave an empty or partial file.
  if (written && ::fsync(::fileno(file)) != 0) {
    written = false;
    cause = errno;
  }
  if (std::fclose(file) != 0 && written) {
    written = false;
    cause = errno;
  }
  if (!written) {
    const std::string text = temporary_ + ": write failed: " + Cause(cause);
    Abandon();
    return Fail(error, text);
  }
  prepared_ = true;
  return true;
}

bool FileReplacement::Commit(std::string* error) {
  if (temporary_.empty()) return Fail(error, target_ + ": the replacement was already finished");
  if (!prepared_ && !Prepare(error)) return false;
  if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const std::string text = target_ + ": cannot be replaced: " + Cause(errno);
    Abandon();
    return Fail(error, text);
  }
  SyncFolder(FolderOf(target_));
  temporary_.clear();
  return true;
}

void FileReplacement::Abandon() {
  if (file_ != nullptr) {
    std::fclose(file_);
    file_ = nullptr;
  }
  if (!temporary_.empty()) {
    ::unlink(temporary_.c_str());
    temporary_.clear();
  }
}

}  // namespace marvolen
