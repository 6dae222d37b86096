#include "ui/win32/ui_thread.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace quorvel::win32 {

namespace {

std::atomic<HWND> g_window{nullptr};
std::atomic<DWORD> g_threadId{0};

struct Task {
    enum class State { Pending, Running, Done, Dropped };
    const std::function<void()>* work = nullptr;
    std::mutex mutex;
    State state = State::Pending;
    HANDLE done = nullptr;

    ~Task() {
        if (done != nullptr) {
            CloseHandle(done);
        }
    }
};

// How often a waiting caller looks whether the user-interface thread has gone.
constexpr DWORD kPollMs = 100;

} // namespace

void UiThread::Attach(HWND window) {
    g_threadId = GetCurrentThreadId();
    g_window = window;
}

void UiThread::Detach() {
    g_window = nullptr;
}

bool UiThread::IsUiThread() {
    return g_threadId == 0 || GetCurrentThreadId() == g_threadId;
}

bool UiThread::Run(const std::function<void()>& work) {
    if (IsUiThread()) {
        work();
        return true;
    }
    auto task = std::make_shared<Task>();
    task->work = &work;
    task->done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HWND window = g_window;
    // The message holds its own reference, released by RunPosted.
    auto* posted = new std::shared_ptr<Task>(task);
    if (window == nullptr || task->done == nullptr ||
        !PostMessageW(window, kRunOnUiThreadMessage, 0, reinterpret_cast<LPARAM>(posted))) {
        delete posted;
        return false;
    }
    for (;;) {
        if (WaitForSingleObject(task->done, kPollMs) == WAIT_OBJECT_0) {
            return true;
        }
        std::lock_guard lock(task->mutex);
        if (task->state == Task::State::Pending && g_window == nullptr) {
            task->state = Task::State::Dropped; // `work` lives in this frame: it must never run now
            return false;
        }
    }
}

void UiThread::RunPosted(LPARAM message) {
    std::unique_ptr<std::shared_ptr<Task>> posted(reinterpret_cast<std::shared_ptr<Task>*>(message));
    Task& task = **posted;
    {
        std::lock_guard lock(task.mutex);
        if (task.state == Task::State::Dropped) {
            return;
        }
        task.state = Task::State::Running;
    }
    (*task.work)();
    std::lock_guard lock(task.mutex);
    task.state = Task::State::Done;
    SetEvent(task.done);
}

} // namespace quorvel::win32
