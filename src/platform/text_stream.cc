// Text-mode file streams.
#include "platform/text_stream.h"

#include <algorithm>
#include <cstring>

namespace marvolen {

namespace {

constexpr std::size_t kBlockSize = 65536;
constexpr char kCtrlZ = '\x1A';

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
  if (pushedCount_ > 0) return pushed_[--pushedCount_];
  if (!Available()) {
    eof_ = true;
    return -1;
  }
  unsigned char c = static_cast<unsigned char>(data_[pos_++]);
  if (c == '\r' && Available() && data_[pos_] == '\n') {
    ++pos_;
    c = '\n';
  }
  return c;
}

void InputStream::Unget(int byte) {
  if (byte < 0 || byte > 255 || pushedCount_ >= 2) return;
  pushed_[pushedCount_++] = static_cast<unsigned char>(byte);
  eof_ = false;
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
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return nullptr;
  return std::unique_ptr<OutputStream>(new OutputStream(f));
}

OutputStream::~OutputStream() { Close(); }

void OutputStream::Write(std::string_view text) {
  if (file_ == nullptr || !ok_) return;
  // The text with CR LF for LF goes out in blocks, not line by line: a
  // report has hundreds of thousands of lines.
  char block[65536];
  std::size_t used = 0;
  auto put = [&](const char* bytes, std::size_t size) {
    while (size > 0 && ok_) {
      const std::size_t take = std::min(size, sizeof block - used);
      std::memcpy(block + used, bytes, take);
      used += take;
      bytes += take;
      size -= take;
      if (used == sizeof block) {
        if (std::fwrite(block, 1, used, file_) != used) ok_ = false;
        used = 0;
      }
    }
  };
  std::size_t start = 0;
  while (start < text.size() && ok_) {
    const void* lf = std::memchr(text.data() + start, '\n', text.size() - start);
    const std::size_t end =
        lf == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(lf) - text.data());
    put(text.data() + start, end - start);
    if (lf == nullptr) break;
    put("\r\n", 2);
    start = end + 1;
  }
  if (used > 0 && ok_ && std::fwrite(block, 1, used, file_) != used) ok_ = false;
}

bool OutputStream::Close() {
  if (file_ == nullptr) return ok_;
  if (std::fflush(file_) != 0) ok_ = false;
  if (std::fclose(file_) != 0) ok_ = false;
  file_ = nullptr;
  return ok_;
}

}  // namespace marvolen
