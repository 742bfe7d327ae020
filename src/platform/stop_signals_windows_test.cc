// Ctrl+C and Ctrl+Break become stop requests while a StopOnSignals lives, and
// regain their usual effect afterwards; a second Ctrl+C while stopping ends
// the process.
//
// Console events reach every process of a console, so each case runs in a
// copy of this program started without a console, which then makes one of
// its own: nothing else ever receives the events.
#include "platform/stop_signals.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

namespace marvolen {
namespace {

const wchar_t kChildVariable[] = L"MARVOLEN_STOP_SIGNALS_CHILD";

template <typename Done>
bool WaitUntil(Done done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// Run `test` of this program in a copy of it without a console; its exit
// code, or -1 when it did not end within 60 seconds. What it prints goes to
// `output`.
long RunChild(const std::wstring& test, std::string& output) {
  wchar_t exe[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, exe, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return -1;
  std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=" + test;
  wchar_t folder[MAX_PATH], outPath[MAX_PATH];
  if (GetTempPathW(MAX_PATH, folder) == 0 || GetTempFileNameW(folder, L"mvs", 0, outPath) == 0) {
    return -1;
  }
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE out = CreateFileW(outPath, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return -1;
  SetEnvironmentVariableW(kChildVariable, L"1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = INVALID_HANDLE_VALUE;
  startup.hStdOutput = out;
  startup.hStdError = out;
  PROCESS_INFORMATION process{};
  const BOOL started = CreateProcessW(exe, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                      nullptr, nullptr, &startup, &process);
  SetEnvironmentVariableW(kChildVariable, nullptr);
  CloseHandle(out);
  if (!started) return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
  } else {
    GetExitCodeProcess(process.hProcess, &code);
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  std::ifstream in(outPath, std::ios::binary);
  output.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  in.close();
  DeleteFileW(outPath);
  return static_cast<long>(code);
}

// In a child: a console of its own to send Ctrl+C to. (Wine cannot send
// Ctrl+Break, which takes the same way.)
bool InChildWithConsole() {
  return GetEnvironmentVariableW(kChildVariable, nullptr, 0) > 0 && AllocConsole();
}

bool SendCtrlC() { return GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0); }

std::atomic<int> gCounted{0};
BOOL WINAPI CountEvent(DWORD) {
  ++gCounted;
  return TRUE;
}

TEST(StopOnSignalsTest, CtrlCAsksToStopAndThePreviousHandlingComesBack) {
  std::string output;
  EXPECT_EQ(RunChild(L"StopOnSignalsChild.CtrlCAsksToStop", output), 0) << output;
  EXPECT_NE(output.find("[       OK ] StopOnSignalsChild.CtrlCAsksToStop"), std::string::npos)
      << output;
}

TEST(StopOnSignalsTest, ASecondCtrlCWhileStoppingEndsTheProcess) {
  // With the status of a process ended by Ctrl+C.
  std::string output;
  EXPECT_EQ(RunChild(L"StopOnSignalsChild.ASecondCtrlCEndsTheProcess", output),
            static_cast<long>(STATUS_CONTROL_C_EXIT))
      << output;
}

TEST(StopOnSignalsChild, CtrlCAsksToStop) {
  if (!InChildWithConsole()) GTEST_SKIP() << "run in a child process of its own";
  ASSERT_TRUE(SetConsoleCtrlHandler(CountEvent, TRUE));
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    gCounted = 0;
    {
      std::stop_source source;
      StopOnSignals stop(source);
      EXPECT_EQ(stop.signal(), 0);
      ASSERT_TRUE(SendCtrlC());
      EXPECT_TRUE(WaitUntil([&] { return source.stop_requested(); }));
      EXPECT_EQ(stop.signal(), SIGINT);
      EXPECT_EQ(gCounted, 0);
    }
    // Afterwards Ctrl+C reaches the handler it had before.
    ASSERT_TRUE(SendCtrlC());
    EXPECT_TRUE(WaitUntil([] { return gCounted == 1; }));
  }
}

TEST(StopOnSignalsChild, ASecondCtrlCEndsTheProcess) {
  if (!InChildWithConsole()) GTEST_SKIP() << "run in a child process of its own";
  std::stop_source source;
  StopOnSignals stop(source);
  SendCtrlC();
  if (!WaitUntil([&] { return source.stop_requested(); })) std::exit(3);
  SendCtrlC();
  Sleep(5000);
  std::exit(4);  // not reached: the second Ctrl+C ends the process
}

}  // namespace
}  // namespace marvolen
