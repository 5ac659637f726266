// The stand-in client's own windows under Wine, with the window classes the
// real client's windows have, for a program that drives them from outside:
// the dial pad (form, header, number field), the country popup that a number
// with a country code may bring up, a conversation titled with the contact's
// name (its header holds the call button) and the popup that asks which of
// the contact's numbers to call. What they are given (text, keys, clicks with
// their client coordinates) is logged as "WINDOW <- ..." lines; how they react
// is set by DeskReactions.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace vocastra {
class SimSkypeClient;
}

namespace skypesim {

struct DeskReactions {
    bool acceptEnter = true;         // Enter in the number field places the call
    bool countryPopupFirst = false;  // ... after the country was picked, for a "+" number
    bool callPopupOnClick = true;    // the call button offers the contact's numbers
    // The dial pad and conversations inside the main window (shown with
    // them) instead of windows of their own.
    bool docked = false;
};

class ClientDesk {
  public:
    using LogFn = std::function<void(const std::string&)>;
    // `placed` runs after a call was placed at the windows (the program is to
    // hear of it).
    ClientDesk(vocastra::SimSkypeClient& client, LogFn log, std::function<void()> placed);
    ~ClientDesk();
    ClientDesk(const ClientDesk&) = delete;
    ClientDesk& operator=(const ClientDesk&) = delete;

    // Registers the window classes; false when that failed.
    bool Register(HINSTANCE instance);
    // The client's main window, which docked forms go into.
    void SetMainWindow(HWND main) { m_main = main; }
    DeskReactions& Reactions() { return m_react; }

    // What the client's windows do on an API command ("OPEN DIALPAD",
    // "OPEN IM <handle>"); other commands are left alone.
    void OnCommand(const std::string& command);
    // Control lines about the windows: "dialpad accept|ignore", "countrypopup
    // on|off", "callpopup on|off", "docked on|off", "vanish CLASS" (its
    // windows disappear).
    // False when the line is not one of them.
    bool Control(const std::string& line);

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void OpenDialPad();
    void OpenConversation(const std::string& handle);
    void OnEnter();
    void OnClick(HWND hwnd, int x, int y);
    void Place(const std::string& target);
    void Vanish(const std::string& className);
    HWND Make(const wchar_t* cls, const std::wstring& title, DWORD style, int x, int y, int w,
              int h, HWND parent);
    // A dial pad or conversation form: its own window, or docked.
    HWND MakeForm(const wchar_t* cls, const std::wstring& title, int x, int y, int w, int h);
    void ShowForm(HWND form);

    vocastra::SimSkypeClient& m_client;
    LogFn m_log;
    std::function<void()> m_placed;
    HINSTANCE m_instance = nullptr;
    HWND m_main = nullptr;
    DeskReactions m_react;

    HWND m_dialPad = nullptr, m_field = nullptr;
    HWND m_countryPopup = nullptr, m_countryList = nullptr;
    HWND m_conv = nullptr, m_convHeader = nullptr;
    HWND m_callPopup = nullptr, m_callList = nullptr;
    std::string m_number;      // what the number field holds
    std::string m_convTarget;  // whom the conversation is with
    bool m_countryChosen = false;
};

}  // namespace skypesim
