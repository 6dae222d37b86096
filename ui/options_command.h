#pragma once

#include "pages/options_sheet_model.h"

namespace quorvel {

class EventLoopWaiter;

// The tray menu's Options command: finds the Mozilla profiles when needed, keeps their languages lines, and
// shows the options sheet until it is closed. When `waiter` is interrupted (the program is ending) the sheet
// closes as Cancel does.
void RunOptionsCommand(const OptionsParts& parts, const EventLoopWaiter* waiter = nullptr);

} // namespace quorvel
