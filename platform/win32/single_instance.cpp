#include "platform/single_instance.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

namespace quorvel {

SingleInstanceLock::SingleInstanceLock(const std::string& name) : m_path(name) {
    // Taken initially owned and released at once: what keeps the name taken is the open handle, not ownership.
    HANDLE mutex = CreateMutexW(nullptr, TRUE, win32::Widen(name).c_str());
    const DWORD error = GetLastError();
    if (mutex == nullptr) {
        m_result = Result::Failed;
        return;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        m_result = Result::AlreadyHeld;
        CloseHandle(mutex);
        return;
    }
    ReleaseMutex(mutex);
    m_mutex = mutex;
    m_result = Result::Acquired;
}

SingleInstanceLock::~SingleInstanceLock() {
    if (m_mutex != nullptr) {
        CloseHandle(m_mutex);
    }
}

} // namespace quorvel
