// Command handling by id.
#include "shell/command_target.h"

namespace marvolen {

bool CommandTarget::HandlesCommand(int id) const { return map_.count(id) != 0; }

CommandState CommandTarget::QueryCommand(int id) const {
  CommandState state;
  const auto it = map_.find(id);
  if (it != map_.end() && it->second.update) it->second.update(state);
  return state;
}

bool CommandTarget::ExecuteCommand(int id) {
  const auto it = map_.find(id);
  if (it == map_.end()) return false;
  // The handler may destroy the target: call a copy.
  const std::function<void()> handler = it->second.handler;
  handler();
  return true;
}

void CommandTarget::OnCommand(int id, std::function<void()> handler,
                              std::function<void(CommandState&)> update) {
  map_[id] = Entry{std::move(handler), std::move(update)};
}

void CommandTarget::OnCommandRange(int first, int last, std::function<void(int)> handler,
                                   std::function<void(int, CommandState&)> update) {
  for (int id = first; id <= last; ++id) {
    Entry entry;
    entry.handler = [handler, id] { handler(id); };
    if (update) entry.update = [update, id](CommandState& s) { update(id, s); };
    map_[id] = std::move(entry);
  }
}

}  // namespace marvolen
