#include "ui/options_command.h"

#include "ui/event_loop_waiter.h"
#include "ui/options_sheet.h"

namespace quorvel {

void RunOptionsCommand(const OptionsParts& parts, const EventLoopWaiter* waiter) {
    PrepareOptionsSheet(parts.paths, parts.settings, parts.masking);
    COptionsSheet sheet(parts);
    if (waiter != nullptr) {
        sheet.SetCloseRequest([waiter] { return waiter->IsInterrupted(); });
    }
    sheet.exec();
}

} // namespace quorvel
