#include "tor/exit_countries.h"

#include "bench/ns_all_generator.h"
#include "tor/country_table.h"
#include "tor/router_status.h"
#include "tor_test_fixture.h"

#include <map>

namespace quorvel {
namespace {

using namespace std::chrono_literals;

// Answers ip-to-country queries from a table of address to reply, recording the queries.
struct CountryAnswers {
    std::map<std::string, std::string> replies;
    std::vector<std::string> asked;
    std::mutex mutex;

    test::FakeControlPort::Answerer Answerer() {
        return [this](const std::string& line) -> std::optional<std::string> {
            const std::string prefix = "getinfo ip-to-country/";
            std::lock_guard lock(mutex);
            asked.push_back(line);
            std::string address = line.substr(prefix.size());
            auto it = replies.find(address);
            if (it != replies.end()) {
                return it->second;
            }
            return "250-ip-to-country/" + address + "=" + bench::CountryCodeFor(address) + "\r\n250 OK\r\n";
        };
    }
};

std::string Router(const std::string& nickname, const std::string& address, const std::string& flags,
                   bool ipv6 = false) {
    std::string lines = "r " + nickname +
                        " AAAAAAAAAAAAAAAAAAAAAAAAAAA BBBBBBBBBBBBBBBBBBBBBBBBBBB 2038-01-01 00:00:00 " + address +
                        " 9001 0\r\n";
    if (ipv6) {
        lines += "a [2001:db8::1]:9001\r\n";
    }
    return lines + "s " + flags + "\r\nw Bandwidth=100\r\n";
}

class ExitCountriesTest : public test::TorFixture {};

TEST_F(ExitCountriesTest, ListsUsableExitsByCountry) {
    CountryAnswers countries;
    countries.replies = {
        {"1.0.0.1", "250-ip-to-country/1.0.0.1=fr\r\n250 OK\r\n"},
        {"1.0.0.2", "650 NOTICE in between\r\n250-ip-to-country/1.0.0.2=fr\r\n250 OK\r\n"},
        {"1.0.0.3", "250-ip-to-country/1.0.0.3=FR\r\n250 OK\r\n"},
        {"1.0.0.4", "250-ip-to-country/1.0.0.4=at\r\n250 OK\r\n"},
        {"1.0.0.5", "250-ip-to-country/1.0.0.5=??\r\n250 OK\r\n"},
        {"1.0.0.6", "551 Invalid address family\r\n"},
        {"1.0.0.7", "250-ip-to-country/1.0.0.7=us\r\n250 OK\r\n"},
    };
    const std::string status = "250+ns/all=\r\n" + Router("paris", "1.0.0.1", "Exit Fast Running Valid", true) +
                               Router("middle", "2.0.0.1", "Fast Guard Running Valid") +
                               Router("lyon", "1.0.0.2", "BadExit Running", true) +
                               Router("paris", "9.9.9.9", "Exit Running") + Router("Unnamed", "3.0.0.1", "Exit") +
                               Router("TorKServer", "3.0.0.2", "Exit") + Router("with-hyphen", "3.0.0.3", "Exit") +
                               Router("nice", "1.0.0.3", "Exit", true) + Router("vienna", "1.0.0.4", "Exit") +
                               Router("nowhere", "1.0.0.5", "Exit") + Router("broken", "1.0.0.6", "Exit") +
                               // A router whose address gave no country may come again under the same name.
                               Router("nowhere", "1.0.0.7", "Exit") + ".\r\n250 OK\r\n";
    Authenticated().Expect("GETINFO ns/all\r\n").SendSplit(status, {5, 600}).Answer(countries.Answerer());
    ASSERT_TRUE(Tor().Connect());
    std::vector<int> positions;
    LoadExitCountries(Tor(), [&](int position) { positions.push_back(position); });

    const auto& lists = Tor().ExitLists();
    EXPECT_EQ(lists.m_exitNicknames, (std::vector<std::string>{"paris", "lyon", "nice", "vienna", "nowhere"}));
    EXPECT_EQ(lists.m_exitCountries,
              (std::vector<std::string>{"France", "France", "France", "Austria", "United States"}));
    EXPECT_EQ(lists.m_countryList, (std::vector<std::string>{"Austria", "France", "United States"}));
    EXPECT_EQ(lists.m_countryCounts, (std::vector<unsigned>{1, 3, 1}));
    // Each exit is named by its own identity, the first "paris" only.
    ASSERT_EQ(lists.m_exitFingerprints.size(), 5u);
    EXPECT_EQ(lists.m_exitFingerprints[0], "$" + std::string(40, '0'));
    EXPECT_EQ(countries.asked.size(), 7u);
    EXPECT_EQ(countries.asked.front(), "getinfo ip-to-country/1.0.0.1");
    EXPECT_EQ(positions, std::vector<int>{1});
    EXPECT_TRUE(fake.Failures().empty());
}

TEST_F(ExitCountriesTest, ARouterLineHoldingTheEndLineDoesNotEndTheStatus) {
    // A router named "250" whose identity begins with "OK".
    const std::string status = "250+ns/all=\r\nr 250 OK" + std::string(25, 'A') +
                               " BBBBBBBBBBBBBBBBBBBBBBBBBBB 2038-01-01 00:00:00 1.0.0.1 9001 0\r\ns Exit\r\n" +
                               Router("later", "1.0.0.2", "Exit") + ".\r\n250 OK\r\n";
    CountryAnswers countries;
    Authenticated().Expect("GETINFO ns/all\r\n").Send(status).Answer(countries.Answerer());
    ASSERT_TRUE(Tor().Connect());
    LoadExitCountries(Tor(), nullptr);

    EXPECT_EQ(Tor().ExitLists().m_exitNicknames, (std::vector<std::string>{"250", "later"}));
}

TEST_F(ExitCountriesTest, RealisticStatusIsReadWhole) {
    auto status = bench::GenerateStatus(2000, 7);
    auto expected = bench::ExpectedExitsOf(status);
    CountryAnswers countries;
    Authenticated().Expect("GETINFO ns/all\r\n").Send(status.reply).Answer(countries.Answerer());
    ASSERT_TRUE(Tor().Connect());
    LoadExitCountries(Tor(), nullptr);

    EXPECT_EQ(Tor().ExitLists().m_exitNicknames.size(), expected.exits);
    EXPECT_EQ(Tor().ExitLists().m_countryList.size(), expected.countries);
    ASSERT_EQ(countries.asked.size(), expected.queriedAddresses.size());
    for (std::size_t i = 0; i < countries.asked.size(); ++i) {
        ASSERT_EQ(countries.asked[i], "getinfo ip-to-country/" + expected.queriedAddresses[i]);
    }
}

TEST_F(ExitCountriesTest, SilentTorGetsNoMoreThanTheWindowAndAFreshConnection) {
    timing.reply = 200ms;
    std::string status = "250+ns/all=\r\n";
    for (std::size_t i = 0; i < kCountryQueryWindow + 5; ++i) {
        status += Router("exit" + std::to_string(i), "1.0.0." + std::to_string(i), "Exit");
    }
    Authenticated().Expect("GETINFO ns/all\r\n").Send(status + ".\r\n250 OK\r\n").Hang();
    Authenticated().Expect("SIGNAL NEWNYM\r\n").Send("250 OK\r\n");
    ASSERT_TRUE(Tor().Connect());
    LoadExitCountries(Tor(), nullptr);
    EXPECT_TRUE(Tor().ExitLists().m_exitNicknames.empty());
    ASSERT_TRUE(fake.WaitClosed(0, 5s)) << "the answers still due must not meet the next command";
    std::string sent = fake.Received(0);
    std::size_t queries = 0;
    for (std::size_t at = sent.find("ip-to-country/"); at != std::string::npos;
         at = sent.find("ip-to-country/", at + 1)) {
        ++queries;
    }
    EXPECT_EQ(queries, kCountryQueryWindow);
    EXPECT_TRUE(Tor().NewIdentity());
}

TEST_F(ExitCountriesTest, StatusThatDoesNotComeWholeIsNotUsed) {
    timing.replyLine = 300ms;
    const std::string status = "250+ns/all=\r\n" + Router("one", "1.0.0.1", "Exit") + Router("two", "1.0.0.2", "Exit");
    Authenticated().Expect("GETINFO ns/all\r\n").Send(status).Hang();
    Authenticated().Expect("SIGNAL NEWNYM\r\n").Send("250 OK\r\n");
    ASSERT_TRUE(Tor().Connect());
    LoadExitCountries(Tor(), nullptr);
    EXPECT_TRUE(Tor().ExitLists().m_exitNicknames.empty());
    ASSERT_TRUE(fake.WaitClosed(0, 5s));
    EXPECT_EQ(fake.Received(0).find("ip-to-country"), std::string::npos);
    EXPECT_TRUE(Tor().NewIdentity());
}

TEST_F(ExitCountriesTest, NoConnectionGivesEmptyLists) {
    Tor().ExitLists().m_exitNicknames = {"stale"};
    std::vector<int> positions;
    LoadExitCountries(Tor(), [&](int position) { positions.push_back(position); });
    EXPECT_TRUE(Tor().ExitLists().m_exitNicknames.empty());
    EXPECT_EQ(positions, std::vector<int>{1});
}

TEST(RouterStatusReader, FlagLineIsTheFirstSLineOfTheRouter) {
    auto routers = [](const std::string& text) {
        std::vector<std::string> found;
        RouterStatusReader reader(text);
        std::string router;
        while (reader.Next(router)) {
            found.push_back(router);
        }
        return found;
    };
    const std::string older = "250+ns/all=\r\nr a 1 2 3 4 5 6 7\r\ns Exit\r\nr b 1\r\ns Fast\r\n.\r\n250";
    EXPECT_EQ(routers(older), (std::vector<std::string>{"a 1 2 3 4 5 6 7 Exit", "b 1 Fast"}));
    const std::string newer =
        "250+ns/all=\r\nr a 1 2 3 4 5 6 7\r\na [::1]:1\r\ns Exit\r\nw Bandwidth=1\r\nr b 1\r\na [::2]:1\r\ns Fast\r\n";
    EXPECT_EQ(routers(newer), routers(older));
    // A router without a flag line has no flags; the next router is not taken for them.
    EXPECT_EQ(routers("250+ns/all=\r\nr a 1\r\nw x\r\nr b 2\r\ns Exit"), (std::vector<std::string>{"a 1", "b 2 Exit"}));

    EXPECT_FALSE(IsExitRouter("Exitnode 1 2 Fast"));
    EXPECT_TRUE(IsExitRouter("Exitnode 1 2 Exit Fast"));
    EXPECT_EQ(RouterAddress("n id dg 2038-01-01 00:00:00 5.6.7.8 9001 0 Exit"), "5.6.7.8");
    EXPECT_EQ(RouterFingerprint("n AAECAwQFBgcICQoLDA0ODxAREhM dg 2038-01-01"),
              "$000102030405060708090A0B0C0D0E0F10111213");
    EXPECT_EQ(RouterFingerprint("n AAECAwQFBgcICQoLDA0ODxAREhM= dg"), "$000102030405060708090A0B0C0D0E0F10111213");
    EXPECT_EQ(RouterFingerprint("n AAECAwQFBgcICQoLDA0ODxAREh dg"), std::nullopt);
    EXPECT_EQ(RouterFingerprint("n AAECAwQFBgcICQoLDA0ODxAREh* dg"), std::nullopt);
    EXPECT_EQ(RouterFingerprint("n AAE*AwQFBgcICQoLDA0ODxAREhM dg"), std::nullopt);
    EXPECT_EQ(RouterFingerprint("n //////////////////////////8 dg"), "$" + std::string(40, 'F'));
    EXPECT_EQ(RouterAddress("n id dg no time"), std::nullopt);
}

TEST(CountryTable, NamesAreExact) {
    EXPECT_EQ(CountryTable().size(), 246u);
    EXPECT_EQ(CountryNameFromCode("DE"), "Germany");
    EXPECT_EQ(CountryNameFromCode("VN"), "Viet Nam ");
    EXPECT_EQ(CountryNameFromCode("KN"), "Saint Kitts and Nevis ");
    EXPECT_EQ(CountryNameFromCode("de"), "");
    EXPECT_EQ(CountryNameFromCode("??"), "");
    EXPECT_EQ(CountryNameFromCode("DEU"), "");
    for (const auto& row : CountryTable()) {
        EXPECT_EQ(CountryNameFromCode(row.code), row.name);
    }
}

} // namespace
} // namespace quorvel
