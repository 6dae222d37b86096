// The login on the control port against a scripted peer that does not know the user's cookie.

#include "tor/control_auth.h"
#include "tor_test_fixture.h"

#ifdef _WIN32
#include "platform/file_path.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#else
#include <sys/stat.h>
#endif

using namespace std::chrono_literals;

namespace quorvel {
namespace {

constexpr const char* kNotTorMessage =
    "Something other than your Tor answers on Tor's control port 127.0.0.1:9051: it could not prove that it knows "
    "the cookie in your Tor data folder. Quorvel has refused to work with it. Another account on this computer may "
    "have taken the port.";

enum class Readers { OwnerOnly, Everyone };

#ifdef _WIN32
// Gives the file a protected access list: the user alone, or the user and everyone reading, as a Tor data
// folder of this account or a shared one would. A file made under Wine otherwise lets everyone read it, where on
// Windows it would inherit the user's own temporary folder's list.
void SetReaders(const std::string& path, Readers readers) {
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    alignas(TOKEN_USER) unsigned char buffer[256];
    DWORD size = 0;
    const BOOL got = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    ASSERT_TRUE(got);
    wchar_t* sid = nullptr;
    ASSERT_TRUE(ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid));
    std::wstring sddl = L"D:P(A;;FA;;;" + std::wstring(sid) + L")";
    LocalFree(sid);
    if (readers == Readers::Everyone) {
        sddl += L"(A;;FR;;;WD)";
    }
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr));
    const BOOL set = SetFileSecurityW(FilePath(path).c_str(), DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    ASSERT_TRUE(set);
}
#else
void SetReaders(const std::string& path, Readers readers) {
    ASSERT_EQ(::chmod(path.c_str(), readers == Readers::OwnerOnly ? 0600 : 0644), 0);
}
#endif

class ControlAuthTest : public test::TorFixture {
protected:
    // A cookie file as Tor writes it.
    std::string Cookie(Readers readers) {
        const std::string path = env.Root() + "/tor-data/control_auth_cookie";
        test::MakeFolders(env.Root() + "/tor-data");
        test::WriteFileBytes(path, std::string(32, '\x5a'));
        SetReaders(path, readers);
        return path;
    }

    // The file name quoted as Tor quotes it: a Windows path's backslashes are escaped.
    static std::string SafeCookieOffer(const std::string& cookieFile) {
        std::string quoted;
        for (char c : cookieFile) {
            if (c == '\\' || c == '"') {
                quoted += '\\';
            }
            quoted += c;
        }
        return "250-PROTOCOLINFO 1\r\n250-AUTH METHODS=COOKIE,SAFECOOKIE COOKIEFILE=\"" + quoted +
               "\"\r\n250-VERSION Tor=\"0.4.9.11\"\r\n250 OK\r\n";
    }

    // What the client sent after its PROTOCOLINFO, line by line.
    std::vector<std::string> LinesAfterProtocolInfo() const {
        std::string received = fake.Received(0);
        EXPECT_TRUE(received.starts_with(test::kProtocolInfo)) << received;
        received.erase(0, std::string(test::kProtocolInfo).size());
        std::vector<std::string> lines;
        for (std::size_t end; (end = received.find("\r\n")) != std::string::npos; received.erase(0, end + 2)) {
            lines.push_back(received.substr(0, end));
        }
        return lines;
    }
};

TEST_F(ControlAuthTest, ASquatterWithAWrongServerHashIsRefusedToldAboutAndSentNothingMore) {
    fake.NextConnection()
        .Expect(test::kProtocolInfo)
        .Send(SafeCookieOffer(Cookie(Readers::OwnerOnly)))
        .Answer([](const std::string& line) -> std::optional<std::string> {
            if (line.starts_with("AUTHCHALLENGE SAFECOOKIE ")) {
                return "250 AUTHCHALLENGE SERVERHASH=" + std::string(64, 'A') + " SERVERNONCE=" + std::string(64, 'B') +
                       "\r\n";
            }
            return "250 OK\r\n";
        });

    EXPECT_FALSE(Tor().ConnectAndWatch());
    EXPECT_FALSE(Tor().NewIdentity());
    Tor().Halt();

    EXPECT_TRUE(fake.WaitClosed(0, 5s));
    auto lines = LinesAfterProtocolInfo();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].size(), std::string("AUTHCHALLENGE SAFECOOKIE ").size() + 64) << lines[0];
    ASSERT_EQ(ui.MessageTexts(), std::vector<std::string>{kNotTorMessage});
    EXPECT_EQ(ui.Messages()[0].icon, MessageIcon::Error);
    EXPECT_FALSE(Tor().IsWatching());
}

// The torrc asks for the cookie: a peer that offers only the password cannot talk the program out of the proof.
TEST_F(ControlAuthTest, APasswordOfferIsRefusedWhereTheTorrcAsksForTheCookie) {
    WriteTorrc("ControlPort 9051\r\nCookieAuthentication 1\r\nSocksPort 9050\r\n");
    fake.NextConnection().Expect(test::kProtocolInfo).Send(test::kPasswordOffer);

    EXPECT_FALSE(Tor().Connect());
    EXPECT_TRUE(fake.WaitClosed(0, 5s));
    EXPECT_EQ(fake.Received(0), test::kProtocolInfo);
}

// Anybody can read a cookie that others can read, a squatter that names a file of its own too.
TEST_F(ControlAuthTest, ACookieThatOthersCanReadProvesNothing) {
    fake.NextConnection().Expect(test::kProtocolInfo).Send(SafeCookieOffer(Cookie(Readers::Everyone)));

    EXPECT_FALSE(Tor().Connect());
    EXPECT_TRUE(fake.WaitClosed(0, 5s));
    EXPECT_EQ(fake.Received(0), test::kProtocolInfo);
}

TEST(ControlAuthOffer, CookieFileEscapesAreDecoded) {
    // Tor writes a byte outside printable ASCII in octal: "Д" of a Russian home folder is \320\224.
    auto offer = ParseAuthLine(
        R"(250-AUTH METHODS=COOKIE,SAFECOOKIE,HASHEDPASSWORD COOKIEFILE="/home/\320\224/a \"b\"\\c\x41")");
    ASSERT_TRUE(offer);
    EXPECT_EQ(offer->methods, (std::vector<std::string>{"COOKIE", "SAFECOOKIE", "HASHEDPASSWORD"}));
    EXPECT_EQ(offer->cookieFile, "/home/Д/a \"b\"\\cA");

    EXPECT_FALSE(ParseAuthLine(R"(250-AUTH METHODS=SAFECOOKIE COOKIEFILE="/unterminated)"));
    offer = ParseAuthLine("250-AUTH METHODS=NULL");
    ASSERT_TRUE(offer);
    EXPECT_FALSE(offer->cookieFile);
}

TEST(TorrcAsksForCookie, TheLastActiveLineCounts) {
    EXPECT_TRUE(TorrcAsksForCookie("ControlPort 9051\r\ncookieauthentication 1 # the default\r\n"));
    EXPECT_FALSE(TorrcAsksForCookie("CookieAuthentication 1\nCookieAuthentication 0\n"));
    EXPECT_FALSE(TorrcAsksForCookie("#CookieAuthentication 1\nHashedControlPassword 16:00\n"));
    EXPECT_FALSE(TorrcAsksForCookie("CookieAuthenticationFile 1\n"));
}

} // namespace
} // namespace quorvel
