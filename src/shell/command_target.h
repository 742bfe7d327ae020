// Command handling by id, for every object a command can be routed to.
//
// Each command target keeps a map from command id to handler, and optionally
// an update handler that says whether the command is enabled or checked now.
// The main window routes a command through the active view, its document,
// the active document window, the main window and the application; the
// first target that maps the id handles it. A command nobody maps is
// disabled.
#ifndef MARVOLEN_SHELL_COMMAND_TARGET_H_
#define MARVOLEN_SHELL_COMMAND_TARGET_H_

#include <functional>
#include <map>
#include <optional>

namespace marvolen {

// The state of a command's menu item, toolbar button or accelerator.
struct CommandState {
  bool enabled = true;
  std::optional<bool> checked;  // unset: not a checkable command
};

class CommandTarget {
 public:
  CommandTarget() = default;
  virtual ~CommandTarget() = default;
  CommandTarget(const CommandTarget&) = delete;
  CommandTarget& operator=(const CommandTarget&) = delete;

  // True when this target maps `id` to a handler.
  bool HandlesCommand(int id) const;

  // The command's current state (enabled, unchecked, when the target has no
  // update handler for it).
  CommandState QueryCommand(int id) const;

  // Run the handler of `id`; false when this target does not map it.
  bool ExecuteCommand(int id);

 protected:
  // Map `id` to `handler`, and optionally to an update handler.
  void OnCommand(int id, std::function<void()> handler,
                 std::function<void(CommandState&)> update = nullptr);
  // Map a range of ids (first..last) to one handler that receives the id.
  void OnCommandRange(int first, int last, std::function<void(int)> handler,
                      std::function<void(int, CommandState&)> update = nullptr);

 private:
  struct Entry {
    std::function<void()> handler;
    std::function<void(CommandState&)> update;
  };
  std::map<int, Entry> map_;
};

}  // namespace marvolen

#endif  // MARVOLEN_SHELL_COMMAND_TARGET_H_
