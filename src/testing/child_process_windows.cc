// Test support: child processes through CreateProcessW.
#include "testing/child_process.h"

#include <windows.h>

#include "encoding/windows_text.h"

namespace marvolen {

namespace {

// One argument as CommandLineToArgvW and the C runtime split it again.
std::wstring Quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out.push_back(c);
  }
  out.append(backslashes * 2, L'\\');  // before the closing quote
  out.push_back(L'"');
  return out;
}

HANDLE InheritableFile(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const auto wide = Utf8ToWide(path);
  if (!wide) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide->c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL WINAPI SwallowCtrlC(DWORD event) { return event == CTRL_C_EVENT; }

}  // namespace

struct ChildProcessForTest::State {
  PROCESS_INFORMATION process{};
  bool ended = false;
  int status = -1;
};

std::unique_ptr<ChildProcessForTest> ChildProcessForTest::Start(
    const std::string& program, const std::vector<std::string>& args, const Options& options) {
  const auto wideProgram = Utf8ToWide(program);
  if (!wideProgram) return nullptr;
  std::wstring command = Quoted(*wideProgram);
  for (const std::string& arg : args) {
    const auto wide = Utf8ToWide(arg);
    if (!wide) return nullptr;
    command += L" " + Quoted(*wide);
  }
  const HANDLE in = InheritableFile("NUL", GENERIC_READ, OPEN_EXISTING);
  const HANDLE out = InheritableFile(options.outPath, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE err = InheritableFile(options.errPath, GENERIC_WRITE, CREATE_ALWAYS);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = in;
  startup.hStdOutput = out;
  startup.hStdError = err;
  std::optional<std::wstring> directory;
  if (!options.directory.empty()) directory = Utf8ToWide(options.directory);
  auto state = std::make_unique<State>();
  const bool started =
      in != INVALID_HANDLE_VALUE && out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
      (options.directory.empty() || directory) &&
      CreateProcessW(wideProgram->c_str(), command.data(), nullptr, nullptr, TRUE,
                     options.ownConsole ? CREATE_NEW_CONSOLE : DETACHED_PROCESS, nullptr,
                     directory ? directory->c_str() : nullptr, &startup, &state->process);
  for (const HANDLE h : {in, out, err}) {
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
  if (!started) return nullptr;
  std::unique_ptr<ChildProcessForTest> child(new ChildProcessForTest);
  child->state_ = std::move(state);
  return child;
}

ChildProcessForTest::~ChildProcessForTest() {
  if (!state_->ended) {
    Kill();
    Wait();
  }
  CloseHandle(state_->process.hProcess);
  CloseHandle(state_->process.hThread);
}

int ChildProcessForTest::Wait() {
  if (state_->ended) return state_->status;
  DWORD code = 0;
  if (WaitForSingleObject(state_->process.hProcess, 5 * 60 * 1000) != WAIT_OBJECT_0) {
    TerminateProcess(state_->process.hProcess, 1);
    WaitForSingleObject(state_->process.hProcess, INFINITE);
    state_->status = -1;
  } else if (GetExitCodeProcess(state_->process.hProcess, &code)) {
    state_->status = static_cast<int>(code);
  }
  state_->ended = true;
  return state_->status;
}

bool ChildProcessForTest::Interrupt() {
  if (state_->ended) return false;
  // Attach to the program's console for a moment and send the event to
  // everyone on that console: the program, and this process, which from now
  // on lets Ctrl+C pass (the event may reach it after it has left).
  static const bool swallowing = SetConsoleCtrlHandler(SwallowCtrlC, TRUE);
  if (!swallowing) return false;
  FreeConsole();
  bool sent = false;
  if (AttachConsole(state_->process.dwProcessId)) {
    sent = GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
    FreeConsole();
  }
  AttachConsole(ATTACH_PARENT_PROCESS);
  return sent;
}

void ChildProcessForTest::Kill() {
  if (!state_->ended) TerminateProcess(state_->process.hProcess, 1);
}

}  // namespace marvolen
