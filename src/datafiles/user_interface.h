// The interface through which the analysis talks to the person using it.
//
// The analysis shows each message as a modal box with one OK button and waits
// until it is dismissed; it marks itself busy while a report is being built
// and reports its progress. The workbench implements this with Qt dialogs, the
// command-line tool with stderr, and tests with a recorder.
#ifndef MARVOLEN_DATAFILES_USER_INTERFACE_H_
#define MARVOLEN_DATAFILES_USER_INTERFACE_H_

#include <cstdint>
#include <string>
#include <vector>

namespace marvolen {

// Where a message comes from, when the analysis knows: a data file as
// config.ini names it (its bytes) and, while the file is being read, the
// line its reader had reached (1 for the first; 0 when not known).
struct MessagePlace {
  std::string file;
  int line = 0;
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Show `text` (UTF-8, exactly as given, trailing blanks included) with one
  // OK button; return when the person has dismissed it.
  virtual void ShowMessage(const std::string& text) = 0;

  // Show `text` as ShowMessage does; `place` tells where it comes from, for
  // an interface that lists the messages with their files and lines.
  virtual void ShowMessageAt(const std::string& text, const MessagePlace& place) {
    (void)place;
    ShowMessage(text);
  }

  // Turn the busy indication (wait cursor) on or off.
  virtual void SetBusy(bool busy) = 0;

  // `done` of `total` units of the current report are finished. Called from
  // the thread that runs the analysis, often; implementations throttle.
  virtual void Progress(std::int64_t done, std::int64_t total) {
    (void)done;
    (void)total;
  }
};

// Records everything shown, for tests and for callers that count messages.
class RecordingUserInterface : public UserInterface {
 public:
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  void SetBusy(bool busy) override {
    busy_ = busy;
    busyChanges.push_back(busy);
  }
  bool busy() const { return busy_; }

  std::vector<std::string> messages;
  std::vector<bool> busyChanges;

 private:
  bool busy_ = false;
};

}  // namespace marvolen

#endif  // MARVOLEN_DATAFILES_USER_INTERFACE_H_
