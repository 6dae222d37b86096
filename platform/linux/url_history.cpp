#include "platform/url_history.h"

namespace quorvel {

std::unique_ptr<UrlHistoryObject> LinuxUrlHistory::Create() {
    return nullptr;
}

} // namespace quorvel
