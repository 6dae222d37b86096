#include "tor/exit_countries.h"

#include "tor/country_table.h"
#include "tor/reply_readers.h"
#include "tor/router_status.h"
#include "tor/tor_controller.h"

#include <algorithm>
#include <deque>
#include <tuple>
#include <unordered_map>

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
    // Counted by hash, then sorted: thousands of exits fall in a few dozen countries.
    std::unordered_map<std::string_view, unsigned> counts;
    for (const auto& country : countries) {
        ++counts[country];
    }
    std::vector<std::pair<std::string_view, unsigned>> sorted(counts.begin(), counts.end());
    std::sort(sorted.begin(), sorted.end());
    countryList.clear();
    countryCounts.clear();
    for (const auto& [country, count] : sorted) {
        countryList.emplace_back(country);
        countryCounts.push_back(count);
    }
}

namespace {

// The country queries sent back to back: the same bytes, one query per exit, the answers read in order and
// paired with their routers. At most kQueryWindow are unanswered at any time, so a slow Tor is never flooded;
// once the window is full, kQueryBatch answers are taken before the next kQueryBatch queries go out in one send.
class CountryQueries {
public:
    static constexpr std::size_t kQueryWindow = kCountryQueryWindow;
    static constexpr std::size_t kQueryBatch = 128;
    static constexpr std::size_t kAnswersReceive = 64 * 1024;
    static constexpr std::size_t kExpectedExits = 4096;

    CountryQueries(ControlSocket& socket, ExitCountryLists& lists, std::chrono::milliseconds limit)
        : m_socket(socket), m_lists(lists), m_limit(limit) {
        // A status's worth of exits, so that neither the table nor the lists are rebuilt while asking.
        m_names.reserve(kExpectedExits);
        m_lists.m_exitNicknames.reserve(kExpectedExits);
        m_lists.m_exitCountries.reserve(kExpectedExits);
        m_lists.m_exitFingerprints.reserve(kExpectedExits);
    }

    // Asks for the country of a router, unless one of its name is listed already. False once the connection is
    // out of step (an answer did not come, or a send failed); nothing more is asked then. The nickname is a view
    // of the router status, which outlives the queries.
    bool Ask(std::string_view nickname, std::string fingerprint, std::string_view address) {
        // A router whose name is still being asked about waits for that answer: it is asked only when that one
        // gave no country, exactly as if every query waited for its answer.
        auto [name, isNew] = m_names.try_emplace(nickname, Name::Asked);
        while (!isNew && name->second == Name::Asked) {
            if (!TakeAnswer()) {
                return false;
            }
            std::tie(name, isNew) = m_names.try_emplace(nickname, Name::Asked);
        }
        if (!isNew) {
            return true; // listed
        }
        if (m_inFlight.size() >= kQueryWindow) {
            while (m_inFlight.size() > kQueryWindow - kQueryBatch) {
                if (!TakeAnswer()) {
                    return false;
                }
            }
        }
        m_unsent.append(kCountryQuery);
        m_unsent.append(address);
        m_unsent += "\r\n";
        ++m_unsentCount;
        m_inFlight.push_back({nickname, &name->second, std::move(fingerprint)});
        return m_unsentCount < kQueryBatch || Flush();
    }

    // Takes every answer still due. False when the connection is out of step.
    bool Finish() {
        while (!m_inFlight.empty()) {
            if (!TakeAnswer()) {
                return false;
            }
        }
        return true;
    }

private:
    // Names being asked about and names listed; a name whose answer gave no country may be asked again.
    enum class Name { Asked, Listed };
    struct Asked {
        std::string_view nickname;
        Name* name; // its entry in m_names, which stays where it is while the table grows
        std::string fingerprint;
    };

    bool Flush() {
        m_unsentCount = 0;
        bool sent = m_unsent.empty() || m_socket.Send(m_unsent);
        m_unsent.clear();
        return sent;
    }

    bool TakeAnswer() {
        if (!Flush()) {
            return false;
        }
        // Many answers are on their way: whatever has come is taken in one receive.
        if (m_socket.Available() == 0 && m_socket.Receive(m_limit, kAnswersReceive) != ControlSocket::Fill::Data) {
            return false;
        }
        if (ReadReplyOutcome(m_socket, m_answer, m_limit) == ReplyOutcome::NoAnswer) {
            return false;
        }
        Asked asked = std::move(m_inFlight.front());
        m_inFlight.pop_front();
        std::string country = CountryNameFromCode(CountryCodeOf(m_answer));
        if (country.empty()) {
            m_names.erase(asked.nickname);
        } else {
            *asked.name = Name::Listed;
            m_lists.m_exitNicknames.emplace_back(asked.nickname);
            m_lists.m_exitCountries.push_back(std::move(country));
            m_lists.m_exitFingerprints.push_back(std::move(asked.fingerprint));
        }
        return true;
    }

    ControlSocket& m_socket;
    ExitCountryLists& m_lists;
    const std::chrono::milliseconds m_limit;
    std::deque<Asked> m_inFlight; // in the order the answers come
    std::unordered_map<std::string_view, Name> m_names;
    std::string m_unsent;
    std::size_t m_unsentCount = 0;
    std::string m_answer;
};

} // namespace

void LoadExitCountries(TorController& tor, const std::function<void(int position)>& progress) {
    ExitCountryLists& lists = tor.ExitLists();
    lists = {};

    int position = 0;
    auto report = [&](int at) {
        position = at;
        if (progress) {
            progress(at);
        }
    };

    std::string status;
    auto socket = tor.ConnectionForQueries();
    ReplyOutcome statusRead = ReplyOutcome::NoAnswer;
    if (socket && socket->Send("GETINFO ns/all\r\n")) {
        statusRead = ReadRouterStatusOutcome(*socket, status, report, tor.Timing().replyLine);
    }
    bool inStep = statusRead != ReplyOutcome::NoAnswer;
    if (statusRead == ReplyOutcome::Ok) {
        // The status ends before its "250 OK" line; the reader takes the end of the text as the end of the last
        // line, so no line break is added (which could copy the whole status once more).
        CountryQueries queries(*socket, lists, tor.Timing().reply);
        RouterStatusReader routers(status);
        std::string_view routerLine;
        std::string_view flagLine;
        std::string routerText;
        while (inStep && routers.Next(routerLine, flagLine)) {
            // Most routers are no exits: only the exits' texts are joined.
            if (!IsExitRouter(routerLine, flagLine)) {
                continue;
            }
            // The nickname lies wholly in the r line, since the flag part begins with a space: a view of the
            // status, which outlives the queries.
            std::string_view nickname = RouterNickname(routerLine);
            if (IsSkippedNickname(nickname)) {
                continue;
            }
            routerText.assign(routerLine);
            routerText.append(flagLine);
            auto address = RouterAddress(routerText);
            auto fingerprint = RouterFingerprint(routerText);
            if (!address || !IsSendableAddress(*address) || !fingerprint) {
                continue;
            }
            inStep = queries.Ask(nickname, std::move(*fingerprint), *address);
        }
        inStep = inStep && queries.Finish();
    }
    // A reply that did not come whole may still come, and would be taken for the answer to the next command.
    if (socket && !inStep) {
        tor.DropOutOfStep(socket);
    }

    CountCountries(lists.m_exitCountries, lists.m_countryList, lists.m_countryCounts);
    report(position + 1);
}

} // namespace quorvel
