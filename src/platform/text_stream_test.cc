#include "platform/text_stream.h"

#include <gtest/gtest.h>
#ifdef _WIN32
#include "testing/named_pipe.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <iterator>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "testing/files.h"

namespace marvolen {
namespace {

#ifdef _WIN32
const char kNullDevice[] = "NUL";
#else
const char kNullDevice[] = "/dev/null";
#endif

std::string ReadAll(InputStream& in) {
  std::string out;
  for (int c; (c = in.Get()) >= 0;) out.push_back(static_cast<char>(c));
  return out;
}

TEST(InputStreamTest, CrLfArrivesAsLfAndALoneCrStays) {
  auto in = InputStream::FromBytes("a\r\nb\rc\r\r\n\r");
  EXPECT_EQ(ReadAll(*in), "a\nb\rc\r\n\r");
  EXPECT_TRUE(in->Eof());
}

TEST(InputStreamTest, TwoBytesOfPushBackClearTheEndOfFileState) {
  auto in = InputStream::FromBytes("x");
  EXPECT_EQ(in->Get(), 'x');
  EXPECT_EQ(in->Get(), -1);
  EXPECT_TRUE(in->Eof());
  in->Unget(0xB5);  // pushed back second byte first, then the lead byte
  in->Unget(0xC4);
  EXPECT_FALSE(in->Eof());
  EXPECT_EQ(in->Get(), 0xC4);
  EXPECT_EQ(in->Get(), 0xB5);
  EXPECT_EQ(in->Get(), -1);
  in->Unget(-1);  // pushing back the end does nothing
  EXPECT_TRUE(in->Eof());
  EXPECT_EQ(in->Get(), -1);
}

TEST(InputStreamTest, AThirdPendingByteIsRefused) {
  auto in = InputStream::FromBytes("");
  in->Unget('a');
  in->Unget('b');
  in->Unget('c');
  EXPECT_EQ(ReadAll(*in), "ba");
}

TEST(InputStreamTest, ReadLineTakesAtMostTheLimitAndKeepsTheLineFeed) {
  std::string text(149, 'x');
  text += "\r\nlast";
  auto in = InputStream::FromBytes(text);
  std::string line;
  ASSERT_TRUE(in->ReadLine(line));
  EXPECT_EQ(line, std::string(99, 'x'));
  ASSERT_TRUE(in->ReadLine(line));
  EXPECT_EQ(line, std::string(50, 'x') + "\n");
  ASSERT_TRUE(in->ReadLine(line));
  EXPECT_EQ(line, "last");
  EXPECT_FALSE(in->ReadLine(line));
  EXPECT_EQ(line, "");
}

// The line of the last byte read, against a model that keeps every byte read
// and not pushed back, over random texts and random reads and push-backs.
TEST(InputStreamTest, LineIsThatOfTheLastByteReadAndNotPushedBack) {
  std::mt19937 random(7);
  const std::string pieces[] = {"a", "\n", "\r\n", "\r", "\xC4\xFA", " "};
  for (int round = 0; round < 300; ++round) {
    std::string text;
    for (int k = static_cast<int>(random() % 30); k > 0; --k) text += pieces[random() % 6];
    auto in = InputStream::FromBytes(text);
    std::vector<int> kept;  // the model: bytes read, less those pushed back
    int pending = 0;
    for (int step = 0; step < 80; ++step) {
      if (random() % 3 == 0 && pending < 2 && !kept.empty()) {
        in->Unget(kept.back());
        kept.pop_back();
        ++pending;
      } else if (const int c = in->Get(); c >= 0) {
        kept.push_back(c);
        pending = std::max(0, pending - 1);
      }
      const int feeds = static_cast<int>(std::count(kept.begin(), kept.end(), '\n'));
      const int expected = kept.empty() ? 0 : kept.back() == '\n' ? feeds : feeds + 1;
      ASSERT_EQ(in->line(), expected) << "round " << round << " step " << step;
    }
  }
  // A line's LF belongs to it; the next byte starts the next line.
  auto in = InputStream::FromBytes("ab\r\ncd");
  std::string line;
  in->ReadLine(line);
  EXPECT_EQ(in->line(), 1);
  in->Get();
  EXPECT_EQ(in->line(), 2);
}

TEST(InputStreamTest, OpenFailsForMissingFileEmptyPathAndFolder) {
  EXPECT_EQ(InputStream::Open(""), nullptr);
  EXPECT_EQ(InputStream::Open("/nonexistent/dir/file.txt"), nullptr);
  EXPECT_EQ(InputStream::Open(PathText(std::filesystem::temp_directory_path())), nullptr);
}

// A file is read a block at a time: a CR LF split between two blocks is
// still one LF, and an endless device is read only as far as it is asked.
// (The whole file used to be read first, which never ended on a device and
// filled the memory with a huge file.)
TEST(InputStreamTest, RegressionAFileIsReadOnlyAsFarAsNeeded) {
  const auto path = std::filesystem::temp_directory_path() / "marvolen_in_test.txt";
  {
    std::ofstream out(path, std::ios::binary);
    out << std::string(65535, 'x') << "\r\n" << std::string(70000, 'y') << "\r";
  }
  auto in = InputStream::Open(path.string());
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(ReadAll(*in), std::string(65535, 'x') + "\n" + std::string(70000, 'y') + "\r");
  EXPECT_TRUE(in->Eof());
  std::filesystem::remove(path);
}

TEST(InputStreamTest, OnlyPlainFilesOpen) {
  // A device that never ends (a sequences file of endless NUL lines would
  // keep the reader busy forever), a pipe, a folder.
#ifdef _WIN32
  for (const char* path : {"NUL", "CON", "C:\\"}) {
    EXPECT_EQ(InputStream::Open(path), nullptr) << path;
  }
  // A named pipe opens without waiting for anyone; it is refused.
  const NamedPipeForTest pipe("marvolen_in_pipe");
  ASSERT_TRUE(pipe.ok());
  EXPECT_EQ(InputStream::Open(pipe.path()), nullptr);
#else
  for (const char* path : {"/dev/zero", "/dev/null", "/tmp"}) {
    if (std::filesystem::exists(path)) {
      EXPECT_EQ(InputStream::Open(path), nullptr) << path;
    }
  }
  const auto fifo = std::filesystem::temp_directory_path() / "marvolen_in_fifo";
  std::filesystem::remove(fifo);
  if (mkfifo(fifo.c_str(), 0600) == 0) {
    // Opening a pipe for reading waits for a writer; keep one end open here.
    const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    EXPECT_EQ(InputStream::Open(fifo.string()), nullptr);
    if (writer >= 0) close(writer);
    std::filesystem::remove(fifo);
  }
#endif
}

// Text mode on Windows ends the input at a Ctrl-Z byte; a file saved by an
// old DOS editor ends in one. It used to reach the readers as a byte.
TEST(InputStreamTest, RegressionACtrlZByteEndsTheInput) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"abc\x1a", "abc"},
      {"a\r\nb\r\n\x1a", "a\nb\n"},
      {"ab\x1a"
       "cd\r\nef",
       "ab"},
      {"\x1a"
       "abc",
       ""},
      {"a\r\x1a\n", "a\r"},  // the CR has no LF before the end
      {"\xB5\x1a", "\xB5"},  // bytes, not characters: a lead byte stays
      {"\x1b\x19\x7f", "\x1b\x19\x7f"},
  };
  for (const auto& [bytes, text] : cases) {
    auto in = InputStream::FromBytes(bytes);
    EXPECT_EQ(ReadAll(*in), text) << bytes;
    EXPECT_TRUE(in->Eof());
    EXPECT_EQ(in->Get(), -1);  // and stays at its end
    in->Unget('x');            // a byte pushed back is read again
    EXPECT_EQ(in->Get(), 'x');
    EXPECT_EQ(in->Get(), -1);
  }
  // In a file, past the first block too; ReadLine stops at it as well.
  const auto path = std::filesystem::temp_directory_path() / "marvolen_in_ctrlz.txt";
  {
    std::ofstream(path, std::ios::binary) << std::string(70000, 'x') << "\r\n\x1a"
                                          << "tail\r\n";
  }
  auto in = InputStream::Open(path.string());
  ASSERT_NE(in, nullptr);
  std::string line, all;
  while (in->ReadLine(line)) all += line;
  EXPECT_EQ(all, std::string(70000, 'x') + "\n");
  std::filesystem::remove(path);
}

#ifndef _WIN32
// A pipe with nobody writing to it as a data file kept the run waiting for
// ever: the open waited for a writer before the check for a plain file.
// (Windows: a named pipe, in OnlyPlainFilesOpen.)
TEST(InputStreamTest, RegressionAPipeWithoutWriterIsRefusedAtOnce) {
  const auto fifo = std::filesystem::temp_directory_path() /
                    ("marvolen_in_fifo_alone_" + std::to_string(::getpid()));
  std::filesystem::remove(fifo);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  auto open =
      std::async(std::launch::async, [&] { return InputStream::Open(fifo.string()) != nullptr; });
  if (open.wait_for(std::chrono::seconds(10)) == std::future_status::timeout) {
    // Free the waiting open, so that the test fails instead of hanging.
    const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    ADD_FAILURE() << "opening a pipe waited for a writer";
    open.wait();
    if (writer >= 0) close(writer);
  } else {
    EXPECT_FALSE(open.get());
  }
  std::filesystem::remove(fifo);
}
#endif

TEST(OutputStreamTest, EveryLineFeedReachesTheDiskAsCrLf) {
  const auto path = std::filesystem::temp_directory_path() / "marvolen_out_test.txt";
  {
    auto out = OutputStream::Create(path.string());
    ASSERT_NE(out, nullptr);
    out->Write("\n\na\tb%d\n");
    out->Write(std::string("x\0y\r\n", 5));
    EXPECT_TRUE(out->Close());
  }
  std::string bytes;
  {
    // Closed before the file is removed: Windows removes no open file.
    std::ifstream f(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  EXPECT_EQ(bytes, std::string("\r\n\r\na\tb%d\r\nx\0y\r\r\n", 17));
  std::filesystem::remove(path);
}

TEST(OutputStreamTest, ALongTextIsConvertedWholeWhereverItsLineFeedsFall) {
  // Several blocks of output, with line feeds around every block boundary
  // and a CR LF split across one.
  std::string text, expected;
  for (int k = 0; k < 300000; ++k) {
    const bool lf = k % 997 == 0 || (k > 65530 && k < 65540) || (k > 131065 && k < 131075);
    text += lf ? '\n' : static_cast<char>('a' + k % 26);
    expected += lf ? "\r\n" : std::string(1, static_cast<char>('a' + k % 26));
  }
  const auto path = std::filesystem::temp_directory_path() / "marvolen_out_test3.txt";
  {
    auto out = OutputStream::Create(path.string());
    ASSERT_NE(out, nullptr);
    out->Write(text);
    out->Write("");
    out->Write("end");
    EXPECT_TRUE(out->Close());
  }
  std::string bytes;
  {
    std::ifstream f(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  EXPECT_TRUE(bytes == expected + "end");
  std::filesystem::remove(path);
}

TEST(OutputStreamTest, CreateEmptiesAnExistingFileAndFailsInAMissingFolder) {
  const auto path = std::filesystem::temp_directory_path() / "marvolen_out_test2.txt";
  { std::ofstream(path) << "old content"; }
  { ASSERT_NE(OutputStream::Create(path.string()), nullptr); }
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  std::filesystem::remove(path);
  EXPECT_EQ(OutputStream::Create("/nonexistent/dir/out.txt"), nullptr);
}

TEST(OutputStreamTest, AFullDiskIsReportedByClose) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  auto out = OutputStream::Create("/dev/full");
  ASSERT_NE(out, nullptr);
  out->Write(std::string(100000, 'x'));
  EXPECT_FALSE(out->Close());
}

// A replacing stream puts its bytes in place only when closed.
TEST(OutputStreamTest, AReplacingStreamReplacesTheFileOnlyWhenClosed) {
  const auto dir = std::filesystem::temp_directory_path() / "marvolen_out_replace";
  std::filesystem::create_directories(dir);
  const auto path = dir / "report.txt";
  { std::ofstream(path) << "old"; }
  {
    auto out = OutputStream::Replacing(path.string());
    ASSERT_NE(out, nullptr);
    out->Write(std::string(1 << 20, 'x'));  // more than one block reaches the disk
    EXPECT_EQ(ReadFile(path), "old");
  }  // destroyed without Close: abandoned
  EXPECT_EQ(ReadFile(path), "old");
  {
    auto out = OutputStream::Replacing(path.string());
    ASSERT_NE(out, nullptr);
    out->Write("a\nb");
    EXPECT_EQ(ReadFile(path), "old");
    EXPECT_TRUE(out->Close());
    EXPECT_TRUE(out->Close());
  }
  EXPECT_EQ(ReadFile(path), "a\r\nb");
  {
    auto out = OutputStream::Replacing(path.string());
    out->Write("dropped");
    out->Abandon();
    EXPECT_EQ(ReadFile(path), "a\r\nb");
  }
  std::string error;
  EXPECT_EQ(OutputStream::Replacing(kNullDevice, &error), nullptr);
  EXPECT_NE(error.find("not a plain file"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                          std::filesystem::directory_iterator()),
            1);
  std::filesystem::remove_all(dir);
}

// Truncating to an earlier position drops what came after it, whether it is
// still gathered or already on the disk, in both kinds of stream.
TEST(OutputStreamTest, TruncateToDropsEverythingAfterAnEarlierPosition) {
  const auto path = std::filesystem::temp_directory_path() / "marvolen_out_truncate.txt";
  for (const bool replacing : {false, true}) {
    SCOPED_TRACE(replacing);
    std::filesystem::remove(path);
    auto out =
        replacing ? OutputStream::Replacing(path.string()) : OutputStream::Create(path.string());
    ASSERT_NE(out, nullptr);
    out->Write("head\n");
    EXPECT_EQ(out->Position(), 6u);
    const std::uint64_t mark = out->Position();
    out->Write("small\n");
    ASSERT_TRUE(out->TruncateTo(mark));  // still gathered
    EXPECT_EQ(out->Position(), mark);
    out->Write(std::string(700000, 'y') + "\n");  // reaches the disk
    EXPECT_EQ(out->Position(), mark + 700002);
    ASSERT_TRUE(out->TruncateTo(mark));
    EXPECT_FALSE(out->TruncateTo(mark + 1));  // past the end
    out->Write("tail\n");
    EXPECT_TRUE(out->Close());
    EXPECT_EQ(ReadFile(path), "head\r\ntail\r\n");
  }
  std::filesystem::remove(path);
}

// A stream made to write bytes as given leaves LF and CR LF alone, in small
// writes and in writes that reach the disk, and can still be truncated.
TEST(OutputStreamTest, BytesAsGivenKeepEveryLineEnd) {
  const auto path = std::filesystem::temp_directory_path() / "marvolen_out_as_given.txt";
  std::filesystem::remove(path);
  auto out = OutputStream::Replacing(path.string(), nullptr, OutputStream::LineEnds::kAsGiven);
  ASSERT_NE(out, nullptr);
  out->Write("a\nb\r\n");
  const std::uint64_t mark = out->Position();
  EXPECT_EQ(mark, 5u);
  out->Write(std::string(300000, '\n'));
  ASSERT_TRUE(out->TruncateTo(mark));
  out->Write("c\n");
  EXPECT_TRUE(out->Close());
  EXPECT_EQ(ReadFile(path), "a\nb\r\nc\n");
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace marvolen
