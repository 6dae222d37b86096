#include "platform/paths.h"
#include "platform/shutdown_request.h"
#include "ui/artwork.h"
#include "ui/gui_thread.h"
#include "ui/tray_program.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(quorvel::TrayIcon(quorvel::art::kIconRunning));
    // The program has no main window: closing a dialog or a message box must not end it.
    QApplication::setQuitOnLastWindowClosed(false);

    quorvel::LinuxPaths paths;
    quorvel::TrayProgram::Options options;
    options.owner = static_cast<quorvel::ProcessId>(QApplication::applicationPid());
    quorvel::TrayProgram program(paths, options);
    QObject::connect(&program, &quorvel::TrayProgram::finished, &app, &QApplication::quit);
    // Termination signals (Ctrl+C included) end the program the way Exit does: Stop first.
    program.Tray().WatchShutdownRequests(quorvel::ShutdownRequestSource::Install());

    if (!program.InitInstance()) {
        return 0; // another instance runs; this one ends silently
    }
    const int status = QApplication::exec();
    quorvel::MarkGuiThreadEnded();
    return status;
}
