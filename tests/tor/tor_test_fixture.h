#pragma once

// What the tests of the control connection share: a temporary home, the real settings and language files, a
// recording Ui, a scripted control port, and a controller on that port with short waits.

#include "app/language_file.h"
#include "app/locations.h"
#include "app/settings_keys.h"
#include "app/settings_store.h"
#include "platform/paths.h"
#include "support/fake_control_port.h"
#include "support/recording_ui.h"
#include "support/test_environment.h"
#include "support/test_paths.h"
#include "tor/tor_controller.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace quorvel::test {

inline constexpr const char* kAuthenticate = "AUTHENTICATE \"Vintreal\"\r\n";

class TorFixture : public ::testing::Test {
protected:
    TorFixture() {
        timing.replyLine = std::chrono::milliseconds(3000);
        timing.reply = std::chrono::milliseconds(3000);
        timing.circuit = std::chrono::milliseconds(3000);
        timing.newIdentityPause = std::chrono::milliseconds(0);
        // The program creates its settings folder at start-up.
        MakeFolders(SettingsFolder(paths));
    }

    TorController& Tor() {
        if (!tor) {
            tor = std::make_unique<TorController>(ui, language, settings, paths, fake.Port(), timing);
        }
        return *tor;
    }

    // A connection that authenticates.
    FakeControlPort::Script& Authenticated() { return fake.NextConnection().Expect(kAuthenticate).Send("250 OK\r\n"); }
    // A connection that authenticates and takes the watcher's subscription; no circuit yet.
    FakeControlPort::Script& Watched() {
        return Authenticated()
            .Expect("SETEVENTS NOTICE WARN\r\nGETINFO status/circuit-established\r\n")
            .Send("250 OK\r\n250-status/circuit-established=0\r\n250 OK\r\n");
    }

    std::string TorrcPathNow() const { return TorrcPath(paths); }
    void WriteTorrc(const std::string& bytes) const { WriteFileBytes(TorrcPathNow(), bytes); }
    std::string ReadTorrc() const { return ReadFileBytes(TorrcPathNow()); }
    std::string CurrentCountry() const {
        return settings.ReadString(settings::kCountrySelection, settings::kCurrentCountry, "");
    }

    TestEnvironment env;
    test::TestPaths paths;
    SettingsStore settings{paths};
    LanguageFile language{paths, settings};
    RecordingUi ui;
    FakeControlPort fake;
    TorTiming timing;
    std::unique_ptr<TorController> tor; // goes first, before the port it talks to
};

} // namespace quorvel::test
