#include "tor/exit_countries.h"

#include "tor/country_table.h"
#include "tor/reply_readers.h"
#include "tor/router_status.h"
#include "tor/tor_controller.h"

#include <map>
#include <unordered_set>

namespace quorvel {

namespace {

constexpr std::string_view kCountryQuery = "getinfo ip-to-country/";
// The query line was built in a buffer of 260 bytes; an address that would not fit is no address.
constexpr std::size_t kLongestAddress = 260 - 1 - kCountryQuery.size() - 2;

bool IsSkippedNickname(std::string_view nickname) {
    return nickname == "Unnamed" || nickname == "TorKServer" || nickname.find('-') != std::string_view::npos;
}

// Only a printable word is sent: anything else in a damaged status line could smuggle a second command in.
bool IsSendableAddress(std::string_view address) {
    if (address.empty() || address.size() > kLongestAddress) {
        return false;
    }
    for (char c : address) {
        if (c <= ' ' || c > '~') {
            return false;
        }
    }
    return true;
}

std::string CountryCodeOf(const std::string& answer) {
    std::size_t equals = answer.find('=');
    std::string code = equals == std::string::npos ? answer : answer.substr(equals + 1, 2);
    for (char& c : code) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return code;
}

} // namespace

void CountCountries(const std::vector<std::string>& countries, std::vector<std::string>& countryList,
                    std::vector<unsigned>& countryCounts) {
    std::map<std::string, unsigned> counts;
    for (const auto& country : countries) {
        ++counts[country];
    }
    countryList.clear();
    countryCounts.clear();
    for (const auto& [country, count] : counts) {
        countryList.push_back(country);
        countryCounts.push_back(count);
    }
}

void LoadExitCountries(TorController& tor, const std::function<void(int position)>& progress) {
    ExitCountryLists& lists = tor.ExitLists();
    lists.m_exitNicknames.clear();
    lists.m_exitCountries.clear();
    lists.m_exitFingerprints.clear();
    lists.m_countryList.clear();
    lists.m_countryCounts.clear();

    int position = 0;
    auto report = [&](int at) {
        position = at;
        if (progress) {
            progress(at);
        }
    };

    std::string status;
    auto socket = tor.ConnectionForQueries();
    if (socket && socket->Send("GETINFO ns/all\r\n")) {
        ReadRouterStatus(*socket, status, report, tor.Timing().replyLine);
    }
    std::size_t end = status.find("250 OK");
    if (end != std::string::npos && end > 0) {
        status.resize(end);
    }
    // The reader takes the end of the text as the end of the last line, so no line break is added (which could
    // copy the whole status once more).

    std::unordered_set<std::string> listed;
    bool answering = socket != nullptr;
    RouterStatusReader routers(status);
    std::string routerText;
    std::string answer;
    while (answering && routers.Next(routerText)) {
        if (!IsExitRouter(routerText)) {
            continue;
        }
        std::string nickname(RouterNickname(routerText));
        if (IsSkippedNickname(nickname) || listed.contains(nickname)) {
            continue;
        }
        auto address = RouterAddress(routerText);
        auto fingerprint = RouterFingerprint(routerText);
        if (!address || !IsSendableAddress(*address) || !fingerprint) {
            continue;
        }
        std::string query(kCountryQuery);
        query.append(*address);
        query += "\r\n";
        socket->Send(query);
        // Without an answer the connection is out of step or gone: no later answer could be trusted.
        if (ReadReplyOutcome(*socket, answer, tor.Timing().reply) == ReplyOutcome::NoAnswer) {
            answering = false;
            continue;
        }
        std::string country = CountryNameFromCode(CountryCodeOf(answer));
        if (country.empty()) {
            continue;
        }
        lists.m_exitNicknames.push_back(nickname);
        lists.m_exitCountries.push_back(std::move(country));
        lists.m_exitFingerprints.push_back(std::move(*fingerprint));
        listed.insert(std::move(nickname));
    }

    CountCountries(lists.m_exitCountries, lists.m_countryList, lists.m_countryCounts);
    report(position + 1);
}

} // namespace quorvel
