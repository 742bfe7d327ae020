// Text-mode file streams.
#include "platform/text_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/replace_file.h"

namespace marvolen {

namespace {

constexpr std::size_t kBlockSize = 65536;
constexpr char kCtrlZ = '\x1A';

// Bytes written to an OutputStream go out in blocks of about this size.
constexpr std::size_t kOutputBlock = 1 << 18;

}  // namespace

std::unique_ptr<InputStream> InputStream::Open(const std::string& path) {
  // Only a plain file is a data file: a device such as /dev/zero never ends,
  // and a pipe would keep the analysis waiting for a writer.
  UniqueFile file = OpenPlainFileForReading(path);
  if (file == nullptr) return nullptr;
  std::unique_ptr<InputStream> in(new InputStream(std::move(file)));
  // A file that opens but cannot be read is no better than a missing one.
  if (!in->Available() && std::ferror(in->file_.get()) != 0) return nullptr;
  return in;
}

std::unique_ptr<InputStream> InputStream::FromBytes(std::string bytes) {
  return std::unique_ptr<InputStream>(new InputStream(std::move(bytes)));
}

bool InputStream::Available() {
  if (ctrlZ_) return false;
  if (pos_ >= data_.size()) {
    if (file_ == nullptr) return false;
    data_.resize(kBlockSize);
    const std::size_t n = std::fread(data_.data(), 1, data_.size(), file_.get());
    data_.resize(n);
    pos_ = 0;
    if (n == 0) return false;
  }
  if (data_[pos_] != kCtrlZ) return true;
  ctrlZ_ = true;
  return false;
}

int InputStream::Get() {
  unsigned char c = 0;
  if (pushedCount_ > 0) {
    c = pushed_[--pushedCount_];
  } else if (!Available()) {
    eof_ = true;
    return -1;
  } else {
    c = static_cast<unsigned char>(data_[pos_++]);
    if (c == '\r' && Available() && data_[pos_] == '\n') {
      ++pos_;
      c = '\n';
    }
  }
  if (c == '\n') ++lineFeeds_;
  if (recentCount_ == 3) {
    recent_[0] = recent_[1];
    recent_[1] = recent_[2];
    --recentCount_;
  }
  recent_[recentCount_++] = c;
  return c;
}

void InputStream::Unget(int byte) {
  if (byte < 0 || byte > 255 || pushedCount_ >= 2) return;
  pushed_[pushedCount_++] = static_cast<unsigned char>(byte);
  eof_ = false;
  // The byte read last is taken back.
  if (recentCount_ > 0 && recent_[--recentCount_] == '\n') --lineFeeds_;
}

int InputStream::line() const {
  if (recentCount_ == 0) return lineFeeds_;
  return recent_[recentCount_ - 1] == '\n' ? lineFeeds_ : lineFeeds_ + 1;
}

bool InputStream::ReadLine(std::string& line, std::size_t maxBytes) {
  line.clear();
  while (line.size() < maxBytes) {
    const int c = Get();
    if (c < 0) break;
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line.empty();
}

std::unique_ptr<OutputStream> OutputStream::Create(const std::string& path) {
  if (path.empty()) return nullptr;
  UniqueFile f = OpenFile(path, "wb");
  if (f == nullptr) return nullptr;
  return std::unique_ptr<OutputStream>(new OutputStream(f.release(), path));
}

std::unique_ptr<OutputStream> OutputStream::Replacing(const std::string& path, std::string* error,
                                                      LineEnds lineEnds) {
  std::unique_ptr<FileReplacement> replacement = FileReplacement::Begin(path, error);
  if (replacement == nullptr) return nullptr;
  std::unique_ptr<OutputStream> stream(
      new OutputStream(replacement->file(), replacement->temporary()));
  stream->replacement_ = std::move(replacement);
  stream->lineEnds_ = lineEnds;
  return stream;
}

std::unique_ptr<OutputStream> OutputStream::Discarding() {
  return std::unique_ptr<OutputStream>(new OutputStream(nullptr, std::string()));
}

OutputStream::OutputStream(std::FILE* file, std::string path)
    : file_(file), path_(std::move(path)) {
  // The stream gathers its bytes itself.
  if (file_ != nullptr) std::setvbuf(file_, nullptr, _IONBF, 0);
  buffer_.reserve(kOutputBlock + 4096);
}

OutputStream::~OutputStream() {
  if (replacement_ != nullptr) {
    Abandon();
  } else {
    Close();
  }
}

void OutputStream::Flush() {
  if (file_ == nullptr || !ok_ || buffer_.empty()) return;
  if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) ok_ = false;
  flushed_ += buffer_.size();
  buffer_.clear();
}

void OutputStream::Write(std::string_view text) {
  if (file_ == nullptr || !ok_) return;
  if (lineEnds_ == LineEnds::kAsGiven) {
    buffer_ += text;
    if (buffer_.size() >= kOutputBlock) Flush();
    return;
  }
  std::size_t start = 0;
  while (start < text.size()) {
    const void* lf = std::memchr(text.data() + start, '\n', text.size() - start);
    if (lf == nullptr) {
      buffer_.append(text.data() + start, text.size() - start);
      break;
    }
    const std::size_t end = static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
    buffer_.append(text.data() + start, end - start);
    buffer_ += "\r\n";
    start = end + 1;
    if (buffer_.size() >= kOutputBlock) Flush();
  }
  if (buffer_.size() >= kOutputBlock) Flush();
}

bool OutputStream::TruncateTo(std::uint64_t position) {
  if (file_ == nullptr || !ok_ || position > Position()) return false;
  if (position >= flushed_) {
    buffer_.resize(static_cast<std::size_t>(position - flushed_));
    return true;
  }
  buffer_.clear();
  if (!TruncateOpenFile(file_, position)) {
    ok_ = false;
    return false;
  }
  flushed_ = position;
  return true;
}

bool OutputStream::Finish() {
  if (replacement_ == nullptr) return Close();
  if (file_ == nullptr) return ok_;
  Flush();
  file_ = nullptr;
  if (!ok_) {
    replacement_->Abandon();
    return false;
  }
  ok_ = replacement_->Prepare();
  finished_ = ok_;
  return ok_;
}

bool OutputStream::Close() {
  if (finished_) {
    finished_ = false;
    ok_ = replacement_->Commit();
    return ok_;
  }
  if (file_ == nullptr) return ok_;
  Flush();
  if (replacement_ != nullptr) {
    file_ = nullptr;
    if (!ok_) {
      replacement_->Abandon();
      return false;
    }
    ok_ = replacement_->Commit();
    return ok_;
  }
  if (std::fflush(file_) != 0) ok_ = false;
  if (std::fclose(file_) != 0) ok_ = false;
  file_ = nullptr;
  return ok_;
}

void OutputStream::Abandon() {
  if (replacement_ == nullptr) {
    Close();
    return;
  }
  file_ = nullptr;
  finished_ = false;
  buffer_.clear();
  replacement_->Abandon();
}

}  // namespace marvolen
