#include "app/quorvel_app.h"

#include "app/locations.h"
#include "platform/file_path.h"
#include "platform/single_instance.h"

#include <filesystem>

namespace quorvel {

CQuorvelApp::CQuorvelApp(const Paths& paths) : m_paths(paths), m_settings(paths), m_language(paths, m_settings) {}

CQuorvelApp::~CQuorvelApp() = default;

bool CQuorvelApp::InitInstance(const std::function<void()>& createTrayWindow) {
    if (m_instanceLock) {
        return true; // started already; a second lock attempt from this process would only release the first
    }
    // Parents too: on a fresh Linux account even the application-data folder may be missing. A failure is
    // ignored; every settings read then gives its default.
    std::error_code ignored;
    std::filesystem::create_directories(FilePath(SettingsFolder(m_paths)), ignored);

    m_instanceLock = std::make_unique<SingleInstanceLock>(kInstanceMutexName);
    if (m_instanceLock->State() == SingleInstanceLock::Result::AlreadyHeld) {
        m_instanceLock.reset();
        return false;
    }
    // Result::Failed (no lock file possible): better a second instance than none at all.
    if (createTrayWindow) {
        createTrayWindow();
    }
    return true;
}

} // namespace quorvel
