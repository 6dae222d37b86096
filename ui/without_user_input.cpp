#include "ui/without_user_input.h"

#include <QEventLoop>
#include <QMetaObject>

#include <exception>
#include <thread>

namespace quorvel {

void RunWithoutUserInput(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so it also ends the loop when the work is done before the loop has started.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace quorvel
