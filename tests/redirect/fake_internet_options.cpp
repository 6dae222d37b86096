#include "fake_internet_options.h"

#include <algorithm>

namespace quorvel::test {

namespace {

std::string Describe(const std::optional<std::string>& connection) {
    return connection ? *connection : "LAN";
}

} // namespace

unsigned long FakeInternetOptions::EnumDialUpEntries(DialUpEntryName* entries, std::uint32_t& bufferBytes,
                                                     std::uint32_t& count) {
    log.push_back("enum " + std::to_string(bufferBytes));
    if (entries[0].size != kDialUpEntryNameSize) {
        return kRasInvalidSize;
    }
    if (enumFailure != kRasSuccess) {
        return enumFailure;
    }
    const auto needed = static_cast<std::uint32_t>(dialUps.size()) * kDialUpEntryNameSize;
    if (bufferBytes < needed || neverEnough) {
        bufferBytes = std::max(needed, bufferBytes + kDialUpEntryNameSize);
        return kRasBufferTooSmall;
    }
    for (std::size_t i = 0; i < dialUps.size(); ++i) {
        entries[i].size = kDialUpEntryNameSize;
        SetDialUpEntryNameText(entries[i], dialUps[i]);
    }
    count = static_cast<std::uint32_t>(dialUps.size());
    return kRasSuccess;
}

bool FakeInternetOptions::QueryConnectionProxy(const std::optional<std::string>& connection, ConnectionProxy& proxy) {
    log.push_back("query " + Describe(connection));
    if (unreadable.count(Describe(connection)) != 0) {
        return false;
    }
    proxy = connections[connection.value_or("")];
    return true;
}

bool FakeInternetOptions::SetConnectionProxy(const std::optional<std::string>& connection,
                                             const ConnectionProxy& proxy) {
    log.push_back("set " + Describe(connection) + " flags=" + std::to_string(proxy.flags) +
                  " proxy=" + proxy.proxyServer.value_or("(none)"));
    if (unwritable.count(Describe(connection)) != 0) {
        return false;
    }
    connections[connection.value_or("")] = proxy;
    return true;
}

std::vector<std::string> FakeInternetOptions::SetsOnly() const {
    std::vector<std::string> sets;
    for (const std::string& line : log) {
        if (line.rfind("set ", 0) == 0) {
            sets.push_back(line);
        }
    }
    return sets;
}

} // namespace quorvel::test
