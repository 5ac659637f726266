// The application core's own Win32 fillings: how the dialog ends, how the
// process ends, and the error message box.
#include <windows.h>

#include "app/application.h"
#include "platform/win32/main_dialog.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/wiring.h"

namespace vocastra::win32 {

namespace {
constexpr wchar_t kMessageBoxCaption[] = L"Vocastra";
}

void WireApplication(MainDialog& dialog, Application& app) {
    auto& points = app.dlg.points;
    points.EndDialog.Fill([&dialog] {
        if (dialog.Handle())
            ::EndDialog(dialog.Handle(), IDOK);
    });
    // The quit routine ends here: no destructor, thread shutdown or handle
    // closing runs after it.
    points.TerminateProcess.Fill([] { ::TerminateProcess(::GetCurrentProcess(), 0); });
    points.ShowErrorBox.Fill([&dialog](std::string text) {
        ::MessageBoxW(dialog.Handle(), Wide(text).c_str(), kMessageBoxCaption, MB_OK | MB_ICONHAND);
    });
}

}  // namespace vocastra::win32
