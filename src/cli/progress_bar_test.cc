#include "cli/progress_bar.h"

#include <gtest/gtest.h>

#include <memory>

namespace marvolen {
namespace {

// What a bar wrote to a temporary file.
class Output {
 public:
  Output() : file_(std::tmpfile(), &std::fclose) {}
  std::FILE* get() { return file_.get(); }
  std::string Text() {
    std::fflush(file_.get());
    std::rewind(file_.get());
    std::string text;
    for (int c; (c = std::fgetc(file_.get())) != EOF;) text += static_cast<char>(c);
    return text;
  }

 private:
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

TEST(ProgressBarTest, TextShowsTheShareDoneAndStaysInRange) {
  EXPECT_EQ(ProgressBar::Text(0, 512000), "[..............................]   0% 0/512000");
  EXPECT_EQ(ProgressBar::Text(256000, 512000),
            "[###############...............]  50% 256000/512000");
  EXPECT_EQ(ProgressBar::Text(27, 27), "[" + std::string(30, '#') + "] 100% 27/27");
  EXPECT_EQ(ProgressBar::Text(30, 27), ProgressBar::Text(27, 27));
  EXPECT_EQ(ProgressBar::Text(0, 0), "[" + std::string(30, '#') + "] 100% 0/0");
}

TEST(ProgressBarTest, DrawsOverItselfAndErasesItself) {
  Output out;
  {
    ProgressBar bar(out.get(), true, std::chrono::milliseconds(0));
    bar.Update(5, 100);
    bar.Update(1, 2);  // a shorter text blanks out the rest of the longer one
    bar.Clear();
    bar.Clear();  // nothing drawn: nothing to erase
    bar.Update(2, 2);
  }  // erased when the bar goes
  const std::string first = ProgressBar::Text(5, 100), second = ProgressBar::Text(1, 2);
  const std::string blank = "\r" + std::string(first.size(), ' ') + "\r";
  const std::string last = ProgressBar::Text(2, 2);
  EXPECT_EQ(out.Text(), "\r" + first + "\r" + second +
                            std::string(first.size() - second.size(), ' ') + blank + "\r" + last +
                            "\r" + std::string(last.size(), ' ') + "\r");
}

TEST(ProgressBarTest, ThrottledButTheEndOfAReportIsAlwaysDrawn) {
  Output out;
  ProgressBar bar(out.get(), true, std::chrono::hours(1));
  bar.Update(1, 10);
  bar.Update(5, 10);  // too soon
  bar.Update(10, 10);
  EXPECT_EQ(out.Text(), "\r" + ProgressBar::Text(1, 10) + "\r" + ProgressBar::Text(10, 10));
}

TEST(ProgressBarTest, ADisabledBarPrintsNothing) {
  Output out;
  {
    ProgressBar bar(out.get(), false, std::chrono::milliseconds(0));
    bar.Update(1, 10);
    bar.Update(10, 10);
    bar.Clear();
  }
  EXPECT_EQ(out.Text(), "");
}

}  // namespace
}  // namespace marvolen
