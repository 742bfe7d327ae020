// Drawing and erasing the progress bar.
#include "cli/progress_bar.h"

#include <algorithm>

namespace marvolen {

namespace {

constexpr int kBarWidth = 30;

}  // namespace

ProgressBar::ProgressBar(std::FILE* out, bool enabled, std::chrono::milliseconds interval)
    : out_(out), enabled_(enabled), interval_(interval) {}

ProgressBar::~ProgressBar() { Clear(); }

std::string ProgressBar::Text(std::int64_t done, std::int64_t total) {
  done = std::clamp<std::int64_t>(done, 0, std::max<std::int64_t>(total, 0));
  const int percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
  const int filled = total > 0 ? static_cast<int>(done * kBarWidth / total) : kBarWidth;
  std::string text = "[";
  text.append(filled, '#');
  text.append(kBarWidth - filled, '.');
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "] %3d%% %lld/%lld", percent, static_cast<long long>(done),
                static_cast<long long>(total));
  return text + numbers;
}

void ProgressBar::Update(std::int64_t done, std::int64_t total) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (done < total && drawn_ > 0 && now - last_ < interval_) return;
  last_ = now;
  const std::string text = Text(done, total);
  std::string line = "\r" + text;
  // Blank out what is left of a longer text drawn before.
  if (drawn_ > text.size()) line.append(drawn_ - text.size(), ' ');
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
  drawn_ = std::max(drawn_, text.size());
}

void ProgressBar::Clear() {
  if (!enabled_ || drawn_ == 0) return;
  std::string line = "\r";
  line.append(drawn_, ' ');
  line += '\r';
  std::fwrite(line.data(), 1, line.size(), out_);
  std::fflush(out_);
  drawn_ = 0;
}

}  // namespace marvolen
