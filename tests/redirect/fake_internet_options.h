#pragma once

#include "platform/internet_options.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace quorvel::test {

// Internet settings with dial-up connections, answering the enumeration as the system does: a buffer too small
// for every entry gives kRasBufferTooSmall and the size needed. Every call is logged in order ("enum 1048",
// "query LAN", "set Office flags=3 proxy=...", "changed", "refresh").
class FakeInternetOptions : public InternetOptions {
public:
    std::vector<std::string> dialUps;
    std::map<std::string, ConnectionProxy> connections; // by name; "" is the LAN
    unsigned long enumFailure = kRasSuccess;            // when set, every enumeration answers this
    bool neverEnough = false;                           // every buffer is one record too small
    std::set<std::string> unreadable;                   // connections whose query fails
    std::set<std::string> unwritable;                   // connections whose set fails
    std::vector<std::string> log;

    unsigned long EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                    std::uint32_t& count) override;
    bool QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) override;
    bool SetConnectionProxy(const std::optional<std::string>& connection, const ConnectionProxy& proxy) override;
    void NotifySettingsChanged() override { log.emplace_back("changed"); }
    void Refresh() override { log.emplace_back("refresh"); }

    ConnectionProxy& Lan() { return connections[""]; }
    std::vector<std::string> SetsOnly() const; // the "set ..." lines of the log
};

} // namespace quorvel::test
