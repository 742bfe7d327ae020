// Test support, on Windows: a named pipe whose server waits for a client,
// to offer where only a plain file will do. Closed on destruction.
#ifndef MARVOLEN_TESTING_NAMED_PIPE_H_
#define MARVOLEN_TESTING_NAMED_PIPE_H_

#include <windows.h>

#include <string>

namespace marvolen {

class NamedPipeForTest {
 public:
  // The pipe \\.\pipe\<name>_<process id>.
  explicit NamedPipeForTest(const std::string& name)
      : path_("\\\\.\\pipe\\" + name + "_" + std::to_string(GetCurrentProcessId())) {
    const std::wstring wide(path_.begin(), path_.end());  // ASCII
    server_ = CreateNamedPipeW(wide.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE, 1, 4096, 4096, 0,
                               nullptr);
  }
  ~NamedPipeForTest() { Close(); }
  NamedPipeForTest(const NamedPipeForTest&) = delete;
  NamedPipeForTest& operator=(const NamedPipeForTest&) = delete;

  bool ok() const { return server_ != INVALID_HANDLE_VALUE; }
  const std::string& path() const { return path_; }

  void Close() {
    if (ok()) CloseHandle(server_);
    server_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::string path_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
};

}  // namespace marvolen

#endif  // MARVOLEN_TESTING_NAMED_PIPE_H_
