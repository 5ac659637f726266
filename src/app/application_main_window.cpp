// Wiring of the main window's own ends: how the dialog and the process end,
// the worker threads' end, and the error box before the program ends.
#include "app/application.h"
#include "platform/main_window.h"
#include "platform/message_boxes.h"

namespace vocastra {

void Application::ConnectMainWindow() {
    auto& pt = dlg.points;
    pt.EndDialog.Fill([this] { ports.mainWindow.EndDialog(); });
    pt.TerminateProcess.Fill([this] { ports.mainWindow.TerminateProcess(); });
    pt.ShowErrorBox.Fill([this](std::string text) { ports.messageBoxes.ShowError(text); });
    pt.StopThreads.Fill([this] {
        device.StopThreads();
        dialler.Stop();
        skype.Stop();
    });
}

}  // namespace vocastra
