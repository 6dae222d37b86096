#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <utility>

namespace quorvel {

// Set once the user-interface thread runs no event loop any more (the program is ending): calls from other
// threads then stop waiting for it.
void MarkGuiThreadEnded(bool ended = true);
bool GuiThreadEnded();

// Runs `work` on the user-interface thread and returns its result. Called there, it runs at once; called from
// another thread (the event watcher), it waits until the user-interface thread has run it, so a message box
// shown from the watcher is a normal modal box of the program. If the program ends before the work was begun,
// the work is dropped and the caller gets a default result instead of waiting forever.
template <typename Work> auto OnGuiThread(Work&& work) -> decltype(work()) {
    using Result = decltype(work());
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return work();
    }

    struct Handoff {
        enum class State { Pending, Running, Done, Dropped };
        std::mutex mutex;
        std::condition_variable done;
        State state = State::Pending;
        std::conditional_t<std::is_void_v<Result>, bool, std::optional<Result>> result{};
    };
    auto handoff = std::make_shared<Handoff>();
    QMetaObject::invokeMethod(
        app,
        [handoff, &work] {
            {
                std::lock_guard lock(handoff->mutex);
                if (handoff->state == Handoff::State::Dropped) {
                    return; // the caller has gone; `work` refers to its frame
                }
                handoff->state = Handoff::State::Running;
            }
            if constexpr (std::is_void_v<Result>) {
                work();
            } else {
                auto value = work();
                std::lock_guard lock(handoff->mutex);
                handoff->result = std::move(value);
            }
            std::lock_guard lock(handoff->mutex);
            handoff->state = Handoff::State::Done;
            handoff->done.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(handoff->mutex);
    while (handoff->state != Handoff::State::Done) {
        if (handoff->state == Handoff::State::Pending && GuiThreadEnded()) {
            handoff->state = Handoff::State::Dropped;
            break;
        }
        handoff->done.wait_for(lock, std::chrono::milliseconds(100));
    }
    if constexpr (!std::is_void_v<Result>) {
        return handoff->result ? std::move(*handoff->result) : Result{};
    }
}

} // namespace quorvel
