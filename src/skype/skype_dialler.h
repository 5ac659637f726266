// Placing a call the client's API cannot place: by the client's call URI, or
// by driving its own windows (the dial pad, or a conversation's call button).
// Each window action is followed by watchers that press on until the client
// took the call or their time runs out. The watchers are step functions run
// by one thread of the dialler (or by hand, on a fake clock); they end by
// themselves, and Stop drops them all so none touches a window afterwards.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/window_automation.h"
#include "skype/contact_db.h"

namespace vocastra {

class Clock;
class Shell;
class CSkypeMonitor;
class CSkypeEnvironment;

class CSkypeDialler {
  public:
    static constexpr uint32_t kIdle = UINT32_MAX;

    struct Deps {
        WindowAutomation& windows;
        Clock& clock;
        Shell& shell;
        CSkypeMonitor& monitor;
        CSkypeEnvironment& environment;
    };
    explicit CSkypeDialler(const Deps& deps);
    ~CSkypeDialler();
    CSkypeDialler(const CSkypeDialler&) = delete;
    CSkypeDialler& operator=(const CSkypeDialler&) = delete;

    // Watchers run only when PollWatchers is called (tests, the simulator).
    void SetManualThreads(bool manual) { m_manual = manual; }

    // For a "CALL <target>" command: true when the call was placed another
    // way and nothing is to be sent through the API.
    bool DialCallCommand(const std::string& command);
    void DialByUri(const std::string& target);
    int DialByDialPad(const std::string& target);
    int CallFromIM(const std::string& displayName);

    // Runs every watcher due at `now`; returns the ms until the next one is
    // due, kIdle when none is left.
    uint32_t PollWatchers(uint32_t now);
    std::size_t WatcherCount() const;
    // Ends every watcher; nothing is started afterwards.
    void Stop();

    // A watcher: Step returns the ms until it wants to run again, or kIdle
    // when it has ended; watchers it hands on go into `started`.
    struct Watcher {
        virtual ~Watcher() = default;
        virtual uint32_t Step(uint32_t now, std::vector<std::unique_ptr<Watcher>>& started) = 0;
        uint32_t due = 0;
    };

  private:
    void StartWatcher(std::unique_ptr<Watcher> w);
    void WindowWay(const std::string& target);
    void ThreadProc();
    bool Stopping() const;

    WindowAutomation& m_windows;
    Clock& m_clock;
    Shell& m_shell;
    CSkypeMonitor& m_monitor;
    CSkypeEnvironment& m_environment;
    bool m_manual = false;

    // Held while watchers step, so Stop returns only once none is in flight.
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_quit = false;
    bool m_changed = false;
    std::vector<std::unique_ptr<Watcher>> m_watchers;
    std::thread m_thread;
};

// A visible country-selection popup's container, or 0.
WindowId FindCountryPopupContainer(WindowAutomation& windows);

}  // namespace vocastra
