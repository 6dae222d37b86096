#pragma once

#include <memory>

namespace quorvel {

// Internet Explorer's URL history object. Releasing it is destroying it.
class UrlHistoryObject {
public:
    virtual ~UrlHistoryObject() = default;
    // Clears the whole history; false when the object reports a failure.
    virtual bool ClearHistory() = 0;
};

// Creates the history object on demand (initialising the component runtime of the thread as needed).
class UrlHistory {
public:
    virtual ~UrlHistory() = default;
    // Nothing when the object cannot be created.
    virtual std::unique_ptr<UrlHistoryObject> Create() = 0;
};

// There is no Internet Explorer history object on Linux: it can never be created.
class LinuxUrlHistory final : public UrlHistory {
public:
    std::unique_ptr<UrlHistoryObject> Create() override;
};

} // namespace quorvel
