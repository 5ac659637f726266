// From input report to key event. The HID read thread turns scan codes into
// key codes (short press at release, long press from timer 1001 at 1300 ms,
// some codes at once) and queues them; the key thread takes them one at a
// time, initialises a handset that announced its start, plays the key tone,
// steps the volume and hands the key to the current mode.
//
// Locks: the read thread holds the write device's lock while it inspects a
// report and takes m_KeyLock inside it; the key thread and the timer handler
// take m_KeyLock alone.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/connection_points.h"

namespace vocastra {

struct AppFlags;
class Clock;
class HandsetCommands;
class HidTransport;
class MainWindow;
class SettingsStore;

inline constexpr uint32_t kLongPressMs = 1300;
inline constexpr uint32_t kKeyActivityMs = 10000;

class KeyPipeline {
  public:
    // Calls into the modes, the tray, the key tone player and the mixer.
    struct Points {
        explicit Points(const ConnectionOwner& log);
        ConnectionPoint<int()> CurrentMode;  // the current handset mode id
        ConnectionPoint<void(int)> DispatchKeyToMode;
        ConnectionPoint<void()> RefreshDisplay;
        ConnectionPoint<void()> UpdateTrayIcon;
        ConnectionPoint<void()> StopKeyTone;  // stops m_KeyToneOut
        ConnectionPoint<void(std::string)> StartPlayKeyTone;
        // g_AudioOutMixer.SetFaderValue(value, type): type 0 one step up, 1 one step down.
        ConnectionPoint<void(int, int)> SetFaderValue;
    } points;

    KeyPipeline(HidTransport& transport, HandsetCommands& commands, SettingsStore& store,
                AppFlags& flags, MainWindow& mainWindow, Clock& clock, ConnectionLog& log);
    ~KeyPipeline();

    // --- HidReadThreadProc ---
    // Reads one input report (blocking) and handles it. Returns false when
    // no report was read (no handle, or the read failed).
    bool ProcessReport();
    // Timers 1001 and 1002 expiring (UI thread).
    void OnTimer(uint32_t id);
    // Forgets a key held down: its device went away, so its release will not come.
    void CancelPress();

    // --- KeyProcessThreadProc ---
    void ProcessKey(int32_t key);
    // Pops and processes one queued key; false when the queue was empty.
    bool ProcessNextKey();

    // --- the key queue ---
    void PushKey(int32_t key);
    void ClearKeyQueue();
    std::vector<int32_t> QueuedKeys();

    // The handset's playback device name, for the key tone log line.
    void SetOutDeviceName(std::string name);
    std::string OutDeviceName();  // the handset playback name, any thread

    // Thread starts (each at most once) and the stop of both.
    void StartHidReadThread();
    void StartKeyProcessThread();
    void StopThreads();
    // True from a thread start until StopThreads has ended both threads.
    bool ThreadsRunning() const { return m_readThread.joinable() || m_keyThread.joinable(); }

  private:
    void HandleScanCode(int scanCode);  // write device's lock held
    bool Stopping() const;
    void HidReadThreadProc();
    void KeyProcessThreadProc();
    std::string KeyToneFile(int32_t key);

    HidTransport& m_transport;
    HandsetCommands& m_commands;
    SettingsStore& m_store;
    AppFlags& m_flags;
    MainWindow& m_mainWindow;
    Clock& m_clock;

    std::mutex m_KeyLock;
    std::condition_variable m_keyCv;
    std::deque<int32_t> m_KeyQueue;
    int32_t m_nLastKey = -1;
    uint32_t m_dwKeyDownTick = 0;
    // The table key held down, until its release or its long press is delivered.
    bool m_bPressPending = false;
    int32_t m_nPressedKey = -1;

    std::mutex m_nameMutex;
    std::string m_strOutDevice;

    std::atomic<bool> m_stop{false};
    std::thread m_readThread;
    std::thread m_keyThread;
};

}  // namespace vocastra
