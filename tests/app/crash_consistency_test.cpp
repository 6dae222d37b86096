#include "app/text_file.h"
#include "platform/private_profile.h"
#include "platform/registry_store.h"

#include "support/test_environment.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

using test::ReadFileBytes;

constexpr int kTrials = 30;

std::size_t TemporaryFilesOf(const std::string& folder, const std::string& target) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().starts_with("." + target + ".");
    }
    return count;
}

// A child process rewrites the file over and over, alternating between two contents, and is killed at a random
// instant; afterwards the file must hold exactly one of the contents a whole rewrite gives. `rewrite(which)`
// writes content 0 or 1; what each gives on disk is taken from one run of it here.
void KillDuringRewrites(const std::string& folder, const std::string& name,
                        const std::function<void(int which)>& rewrite) {
    const std::string path = folder + "/" + name;
    std::set<std::string> whole;
    for (int which : {0, 1}) {
        rewrite(which);
        whole.insert(ReadFileBytes(path));
    }
    ASSERT_EQ(whole.size(), 2u);

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delay(0, 40000);
    for (int trial = 0; trial < kTrials; ++trial) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                rewrite(i % 2);
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(whole.contains(ReadFileBytes(path))) << name << " after trial " << trial;
    }
    // Each killed rewrite may have left its temporary file; the next rewrite takes all of them away. (A writer
    // skips a rewrite that changes nothing, so both contents are written once.)
    rewrite(0);
    rewrite(1);
    EXPECT_EQ(TemporaryFilesOf(folder, name), 0u) << name;
}

std::string Padding() {
    std::string text;
    for (int i = 0; i < 3000; ++i) {
        text += "; padding line " + std::to_string(i) + " so that a rewrite takes a while\r\n";
    }
    return text;
}

TEST(CrashConsistency, AFileKilledDuringARewriteIsAlwaysExactlyOldOrNew) {
    test::TempFolder dir;
    const std::string padding = Padding();

    KillDuringRewrites(dir.Path(), "torrc", [&](int which) {
        CTextFileWrite writer(dir / "torrc");
        writer.Write(padding + "SocksPort " + std::to_string(9050 + which) + "\r\n");
        writer.Close();
    });

    const std::string ini = dir / "settings.ini";
    test::WriteFileBytes(ini, padding + "[Tor]\r\nPort=0\r\n");
    KillDuringRewrites(dir.Path(), "settings.ini",
                       [&](int which) { private_profile::WriteString(ini, "Tor", "Port", std::to_string(which)); });

    RegistryStore store(dir / "registry");
    std::string hive = "[Software\\Q]\n";
    for (int i = 0; i < 3000; ++i) {
        hive += "\"v" + std::to_string(i) + "\"=dword:00000001\n";
    }
    test::WriteFileBytes(store.HiveFile(RegistryHive::CurrentUser), hive);
    KillDuringRewrites(dir / "registry", "HKCU.reg", [&](int which) {
        store.SetValue(RegistryHive::CurrentUser, "Software\\Q", "Port", RegistryValue::Dword(which));
    });
}

} // namespace
} // namespace quorvel
