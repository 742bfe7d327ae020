// Turning Ctrl+C and Ctrl+Break into a stop request, on Windows.
//
// The system calls a console control handler on a thread of its own. The
// handler only wakes the object's watching thread through an event, as the
// POSIX signal handler only writes to a pipe. A second Ctrl+C while the
// program winds down ends the process at once, with the status of a process
// ended by Ctrl+C (STATUS_CONTROL_C_EXIT), as a second SIGINT does on POSIX
// systems. Other events (the console window closed, logoff, shutdown) keep
// their usual effect.
#include "platform/stop_signals.h"

#include <signal.h>
#include <windows.h>

#include <mutex>
#include <thread>

namespace marvolen {

namespace {

// What the handler reaches: only one StopOnSignals lives at a time.
std::mutex gMutex;
HANDLE gWake = nullptr;           // set by the handler, or by the destructor to end the watcher
int gSignal = 0;                  // the event that asked for the stop, as a signal number
bool gEnding = false;             // the destructor asks the watcher to end
std::atomic<bool> gAsked{false};  // a first Ctrl+C has been passed on

BOOL WINAPI OnConsoleEvent(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  // A second one while stopping ends the process, as Ctrl+C does.
  if (gAsked.exchange(true)) TerminateProcess(GetCurrentProcess(), STATUS_CONTROL_C_EXIT);
  std::lock_guard<std::mutex> lock(gMutex);
  if (gWake == nullptr) return FALSE;
  gSignal = type == CTRL_C_EVENT ? SIGINT : SIGBREAK;
  SetEvent(gWake);
  return TRUE;
}

// Wake the watching thread to end, wait for it, and let the handler find no
// event any more.
void EndWatcher(std::thread& watcher) {
  {
    std::lock_guard<std::mutex> lock(gMutex);
    gEnding = true;
    SetEvent(gWake);
  }
  watcher.join();
  std::lock_guard<std::mutex> lock(gMutex);
  CloseHandle(gWake);
  gWake = nullptr;
}

}  // namespace

StopOnSignals::StopOnSignals(std::stop_source source) : source_(std::move(source)) {
  {
    std::lock_guard<std::mutex> lock(gMutex);
    if (gWake != nullptr) return;
    gWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (gWake == nullptr) return;
    gSignal = 0;
    gEnding = false;
    gAsked = false;
  }
  watcher_ = std::thread([this] { Watch(); });
  if (!SetConsoleCtrlHandler(OnConsoleEvent, TRUE)) {
    EndWatcher(watcher_);
    return;
  }
  installed_ = true;
}

StopOnSignals::~StopOnSignals() {
  if (!installed_) return;
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
  EndWatcher(watcher_);
}

void StopOnSignals::Watch() {
  HANDLE wake;
  {
    std::lock_guard<std::mutex> lock(gMutex);
    wake = gWake;
  }
  for (;;) {
    WaitForSingleObject(wake, INFINITE);
    std::lock_guard<std::mutex> lock(gMutex);
    if (gSignal != 0 && signal_.load() == 0) {
      signal_ = gSignal;
      source_.request_stop();
    }
    if (gEnding) return;
  }
}

// Writing to a pipe whose reader has gone fails with an error on Windows;
// there is no signal to ignore.
void IgnoreBrokenPipe() {}

}  // namespace marvolen
