#pragma once

#include "app/language_file.h"
#include "app/process_state.h"
#include "app/settings_store.h"

#include <functional>
#include <memory>

namespace quorvel {

class Paths;
class SingleInstanceLock;

// The name that marks a running instance.
inline constexpr const char* kInstanceMutexName = "Quorvel-7da42821-0e9b-4068-8989-2d61d5a3e0de";

// The application object: start-up, and the settings, texts and process-wide values every part reaches
// through it. One per process.
class CQuorvelApp {
public:
    explicit CQuorvelApp(const Paths& paths);
    ~CQuorvelApp();
    CQuorvelApp(const CQuorvelApp&) = delete;
    CQuorvelApp& operator=(const CQuorvelApp&) = delete;

    // Creates the settings folder and takes the single-instance lock. False when another instance already runs:
    // the caller then ends the process silently with status 0, showing nothing. Otherwise runs
    // `createTrayWindow` (which creates the tray window and so starts surfing) and gives true. The lock is
    // held as long as this object lives.
    bool InitInstance(const std::function<void()>& createTrayWindow);

    const Paths& GetPaths() const { return m_paths; }
    SettingsStore& Settings() { return m_settings; }
    const SettingsStore& Settings() const { return m_settings; }
    const LanguageFile& Language() const { return m_language; }
    ProcessState& State() { return m_state; }

private:
    const Paths& m_paths;
    SettingsStore m_settings;
    LanguageFile m_language;
    ProcessState m_state;
    std::unique_ptr<SingleInstanceLock> m_instanceLock;
};

} // namespace quorvel
