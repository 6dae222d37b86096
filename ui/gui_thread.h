#pragma once

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <type_traits>
#include <utility>

namespace quorvel {

// Runs `work` on the user-interface thread and returns its result. Called there, it runs at once; called from
// another thread (the event watcher), it waits until the user-interface thread has run it, so a message box
// shown from the watcher is a normal modal box of the program.
template <typename Work> auto OnGuiThread(Work&& work) -> decltype(work()) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        return work();
    }
    using Result = decltype(work());
    if constexpr (std::is_void_v<Result>) {
        QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection);
    } else {
        Result result{};
        QMetaObject::invokeMethod(app, std::forward<Work>(work), Qt::BlockingQueuedConnection, &result);
        return result;
    }
}

} // namespace quorvel
