#pragma once

#include "app/language_file.h"
#include "app/locations.h"
#include "app/process_state.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "fake_internet_options.h"
#include "platform/paths.h"
#include "platform/registry_store.h"
#include "redirect/ie_proxy.h"
#include "redirect/messenger_proxy.h"
#include "redirect/mozilla_proxy.h"
#include "redirect/program_redirector.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"

#include <functional>
#include <string>
#include <vector>

namespace quorvel::test {

// A recording Ui that also notes, at every message box, what the test wants to watch (a file, a registry
// value), so a test can tell whether a change happened before or after the box.
class SnapshotUi : public RecordingUi {
public:
    std::function<std::string()> snapshot;
    std::vector<std::string> seenAtMessage;

    MessageResult ShowMessage(const std::string& caption, const std::string& text, MessageIcon icon,
                              MessageButtons buttons, MessageOwner owner) override {
        if (snapshot) {
            seenAtMessage.push_back(snapshot());
        }
        return RecordingUi::ShowMessage(caption, text, icon, buttons, owner);
    }
};

// Everything redirection needs, on real files in a temporary home: settings, language files, the registry
// store, profile folders; the Internet options are a fake with dial-up connections.
struct RedirectWorld {
    TestEnvironment env;
    TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    SnapshotUi ui;
    ProcessState state;
    RegistryStore registry{RegistryFolder(paths)};
    FakeInternetOptions internet;
    IeProxy ie{internet, settings, state};
    MozillaProxy mozilla{settings, language, ui};
    MessengerProxy messengers{registry, settings};
    ProgramRedirector redirector{settings, language, ui, state, ie, mozilla, messengers};

    RedirectWorld() {
        MakeFolders(SettingsFolder(paths));
        ForgetMessengers();
    }
    ~RedirectWorld() { ForgetMessengers(); }

    // On Windows the store is the real registry of the Wine prefix, which outlives a test; on Linux the store
    // starts empty in the temporary home and this finds nothing to delete.
    void ForgetMessengers() {
        for (const char* key : {"Software\\America Online", "Software\\Microsoft\\MSNMessenger", "Software\\Yahoo",
                                "Software\\Mirabilis"}) {
            registry.DeleteTree(RegistryHive::CurrentUser, key);
        }
    }

    // A stored value, or "<missing>".
    std::string Setting(const std::string& section, const std::string& key) const {
        return settings.ReadString(section, key, "<missing>");
    }
    // Makes a profile folder holding `prefs` as prefs.js (none when empty) and configures it for the browser.
    // Its times.json, which the browser writes when it makes a profile, marks it as one.
    std::string MakeProfile(MozillaBrowser browser, const std::string& prefs) {
        std::string folder = env.Home() + "/profiles/" + MozillaBrowserName(browser) + ".default";
        MakeFolders(folder);
        WriteFileBytes(folder + "/times.json", "{\"created\":1700000000000}\n");
        if (!prefs.empty()) {
            WriteFileBytes(folder + "/prefs.js", prefs);
        }
        settings.WriteString(settings::kOptionsDialog, MozillaProfileKey(browser), folder);
        return folder;
    }
    // Uses a language file for every text from now on.
    void UseLanguage(const std::string& name, const std::string& iniText) {
        WriteFileBytes(LanguageFolder(paths) + "/" + name + ".ini", iniText);
        settings.WriteString(settings::kOptionsDialog, settings::kLanguage, name);
    }
};

} // namespace quorvel::test
