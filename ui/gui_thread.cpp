#include "ui/gui_thread.h"

namespace quorvel {

namespace {
std::atomic<bool> g_guiThreadEnded{false};
} // namespace

void MarkGuiThreadEnded(bool ended) {
    g_guiThreadEnded = ended;
}

bool GuiThreadEnded() {
    return g_guiThreadEnded.load();
}

} // namespace quorvel
