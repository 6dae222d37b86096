#pragma once

#include "app/language_file.h"
#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "masking/identity_masking.h"
#include "pages/child_dialog_host.h"
#include "pages/options_sheet_model.h"
#include "platform/internet_options_store.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "support/fake_controls.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"
#include "tor/tor_controller.h"

#ifdef _WIN32
#include "redirect/fake_internet_options.h"

#include <winsock2.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quorvel::test {

// A loopback port nobody listens on, so a controller pointed at it never reaches a Tor of this machine.
inline std::uint16_t UnusedPort() {
#ifdef _WIN32
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    const SOCKET fd = ::socket(AF_INET, SOCK_STREAM, 0);
    int length = sizeof(sockaddr_in);
#else
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    socklen_t length = sizeof(sockaddr_in);
#endif
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
#ifdef _WIN32
    ::closesocket(fd);
#else
    ::close(fd);
#endif
    return ntohs(address.sin_port);
}

// The folder of this source tree.
inline std::string SourceFolder() {
    return QUORVEL_SOURCE_DIR;
}

// Child dialogs kept in memory: each hosting makes fresh controls, as a new window would have.
class FakeChildHost : public ChildDialogHost {
public:
    Controls& HostChild(int frameId, int templateId) override {
        auto& child = m_children[frameId];
        child.templateId = templateId;
        child.controls = std::make_unique<FakeControls>();
        hosted.push_back(std::to_string(frameId) + ":" + std::to_string(templateId));
        return *child.controls;
    }
    void DestroyChild(int frameId) override { m_children.erase(frameId); }
    Controls* Child(int frameId) override {
        auto it = m_children.find(frameId);
        return it == m_children.end() ? nullptr : it->second.controls.get();
    }

    FakeControls& At(int frameId) { return *m_children.at(frameId).controls; }
    int TemplateIn(int frameId) const {
        auto it = m_children.find(frameId);
        return it == m_children.end() ? 0 : it->second.templateId;
    }

    std::vector<std::string> hosted; // "frame:template", in order

private:
    struct HostedChild {
        int templateId = 0;
        std::unique_ptr<FakeControls> controls;
    };
    std::map<int, HostedChild> m_children;
};

// Everything the options pages work with, on real files in a temporary home; Tor is not reachable.
struct PagesWorld {
    TestEnvironment env;
    TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RecordingUi ui;
    ProcessState state;
    RegistryStore registry{RegistryFolder(paths)};
#ifdef _WIN32
    // The prefix's own Internet options would outlive the test and change what every later one sees.
    FakeInternetOptions internet;
#else
    InternetOptionsStore internet{registry};
#endif
    IeProxy ie{internet, settings, state};
    MozillaProxy mozilla{settings, language, ui};
    MessengerProxy messengers{registry, settings};
    ProgramRedirector redirector{settings, language, ui, state, ie, mozilla, messengers};
    IdentityMasking masking{settings, language, registry, ui, state};
    TorController tor{ui, language, settings, paths, UnusedPort()};
    int restarts = 0;

    PagesWorld() {
        MakeFolders(SettingsFolder(paths));
    }

    OptionsParts Parts() {
        return OptionsParts{
            paths, settings, language, ui, state, redirector, masking, tor, [this] { ++restarts; }, "check.example"};
    }

    // A stored value, or "<missing>".
    std::string Setting(const std::string& section, const std::string& key) const {
        return settings.ReadString(section, key, "<missing>");
    }
    std::string Torrc() const {
        return ReadFileBytes(TorrcPath(paths));
    }
    void WriteTorrc(const std::string& text) const {
        WriteFileBytes(TorrcPath(paths), text);
    }

    // A Firefox profile listed in the browser's profiles.ini; its folder.
    std::string MakeFirefoxProfile(const std::string& prefs = "") const {
        // Where Firefox keeps its list, spelt as the program joins it.
#ifdef _WIN32
        const std::string root = JoinPath(env.AppData(), "Mozilla\\Firefox");
#else
        const std::string root = JoinPath(env.Home(), ".mozilla/firefox");
#endif
        MakeFolders(root + "/Profiles/abc.default");
        WriteFileBytes(root + "/profiles.ini", "[Profile0]\nName=default\nIsRelative=1\nPath=Profiles/abc.default\n");
        WriteFileBytes(root + "/Profiles/abc.default/prefs.js", prefs);
        return root + "/Profiles/abc.default";
    }

    // Makes the program show its texts in Russian, from the project's own language file.
    void ChooseRussian() {
        MakeFolders(env.ProgramFolder() + "/lang");
        std::filesystem::copy_file(SourceFolder() + "/lang/Russian.ini", env.ProgramFolder() + "/lang/Russian.ini",
                                   std::filesystem::copy_options::overwrite_existing);
        settings.WriteString(settings::kOptionsDialog, settings::kLanguage, "Russian(Русский)");
    }
};

} // namespace quorvel::test
