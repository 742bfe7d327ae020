// GBK <-> UTF-8 through iconv.
#include "encoding/gbk_converter.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace marvolen {

namespace {

// One iconv conversion descriptor, closed on destruction.
class Descriptor {
 public:
  Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Descriptor() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  // Convert all of `in`; false when any byte cannot be converted.
  bool Convert(std::string_view in, std::string& out) {
    out.clear();
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buf[256];
    while (srcLeft > 0) {
      char* dst = buf;
      std::size_t dstLeft = sizeof buf;
      const std::size_t r = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      out.append(buf, dst - buf);
      if (r == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    if (iconv(cd_, nullptr, nullptr, &dst, &dstLeft) == static_cast<std::size_t>(-1)) return false;
    out.append(buf, dst - buf);
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

// Each descriptor is opened on its first use.
struct GbkConverter::State {
  std::unique_ptr<Descriptor> toUtf8;
  std::unique_ptr<Descriptor> fromUtf8;
};

GbkConverter::GbkConverter() : state_(new State) {}
GbkConverter::~GbkConverter() = default;

bool GbkConverter::ToUtf8(std::string_view gbk, std::string& out) {
  if (state_->toUtf8 == nullptr) state_->toUtf8 = std::make_unique<Descriptor>("UTF-8", "GBK");
  return state_->toUtf8->Convert(gbk, out);
}

bool GbkConverter::FromUtf8(std::string_view utf8, std::string& out) {
  if (state_->fromUtf8 == nullptr) state_->fromUtf8 = std::make_unique<Descriptor>("GBK", "UTF-8");
  return state_->fromUtf8->Convert(utf8, out);
}

}  // namespace marvolen
