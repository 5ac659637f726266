#include "device/key_pipeline.h"

#include <algorithm>

#include "app/log.h"
#include "app/messages.h"
#include "app/settings.h"
#include "app/vocastra_dlg.h"
#include "device/handset_commands.h"
#include "device/report_protocol.h"
#include "device/usb_hid_device.h"
#include "modes/mode_ids.h"
#include "platform/clock.h"
#include "platform/main_window.h"

namespace vocastra {
namespace {
// After a failed read on a handle that stays open: a broken handle fails at
// once, and without a pause the thread would spin on it.
constexpr uint32_t kFailedReadBackoffMs = 50;
constexpr uint32_t kReconnectPollMs = 10;
constexpr std::size_t kMaxPathChars = 260;
}  // namespace

KeyPipeline::Points::Points(const ConnectionOwner& log)
    : CurrentMode(log, "CurrentMode"),
      DispatchKeyToMode(log, "DispatchKeyToMode"),
      RefreshDisplay(log, "RefreshDisplay"),
      UpdateTrayIcon(log, "UpdateTrayIcon"),
      StopKeyTone(log, "StopKeyTone"),
      StartPlayKeyTone(log, "StartPlayKeyTone"),
      SetFaderValue(log, "g_AudioOutMixer.SetFaderValue") {}

KeyPipeline::KeyPipeline(HidTransport& transport, HandsetCommands& commands, SettingsStore& store,
                         AppFlags& flags, MainWindow& mainWindow, Clock& clock, ConnectionLog& log)
    : points({log, "device.keys.points"}),
      m_transport(transport),
      m_commands(commands),
      m_store(store),
      m_flags(flags),
      m_mainWindow(mainWindow),
      m_clock(clock) {}

KeyPipeline::~KeyPipeline() {
    StopThreads();
}

// ---------------------------------------------------------------- read side

bool KeyPipeline::ProcessReport() {
    CUsbHidDevice& rd = m_transport.g_UsbReadDevice;
    m_transport.NewReadDevice(rd);
    if (!rd.m_bReadDone)
        return false;
    std::lock_guard lock(m_transport.g_UsbWriteDevice.m_DeviceLock);
    const std::size_t n = rd.m_nReadLength;
    if (n == 0) {
        // The release of a key held now may never come: no long press is made up for it.
        CancelPress();
        return false;
    }
    if (n < 2) {
        LogPrintA("Input report of %u byte ignored", static_cast<unsigned>(n));
        return true;
    }
    if (rd.m_ucB[0] == kKeyReportId)
        HandleScanCode(rd.m_ucB[1]);
    return true;
}

void KeyPipeline::HandleScanCode(int s) {
    LogPrintA("Received Hardware Key Code(m_ucB[1]) = %d\n", s);
    const uint32_t now = m_clock.GetTickCount();
    int32_t k = s;
    if (s >= 1 && s <= kKeyScanCount) {
        k = ScanToKey(m_store.settings(), s);
        if (k < 0) {
            LogPrintA("Scan code %d has no key in the scan table\n", s);
        } else {
            {
                std::lock_guard lock(m_KeyLock);
                m_nLastKey = k;
                m_nPressedKey = k;
                m_dwKeyDownTick = now;
                m_bPressPending = true;
            }
            m_mainWindow.SetTimer(TIMER_LONG_KEY, kLongPressMs);
        }
    } else if (s == kScanHookDown || s == kScanHotKey3) {
        k = s == kScanHookDown ? KEY_HOOKDOWN : KEY_HOTKEY_3;
        std::lock_guard lock(m_KeyLock);
        m_nLastKey = k;
        m_KeyQueue.push_back(k);
        m_keyCv.notify_all();
    }
    if (s != kScanRelease) {
        const int mode = points.CurrentMode();
        if (mode != MODE_RINGING && mode != MODE_TALKING) {
            m_flags.g_bKeyActivity = true;
            m_mainWindow.SetTimer(TIMER_KEY_ACTIVITY, kKeyActivityMs);
        }
    }
    if (k == KEY_DEVICE_START) {
        m_mainWindow.KillTimer(TIMER_LONG_KEY);
        std::lock_guard lock(m_KeyLock);
        m_bPressPending = false;  // the handset restarted: no release follows
        m_KeyQueue.push_back(KEY_DEVICE_START);
        m_keyCv.notify_all();
    }
    if (s == kScanRelease) {
        m_mainWindow.KillTimer(TIMER_LONG_KEY);
        std::lock_guard lock(m_KeyLock);
        if (m_bPressPending) {
            m_bPressPending = false;
            // Held 1300 ms or more but the timer message not handled yet: the
            // key is still delivered, as the long press it was.
            const bool shortPress = now - m_dwKeyDownTick < kLongPressMs;
            m_KeyQueue.push_back(shortPress ? m_nPressedKey : m_nPressedKey + KEY_LONG_OFFSET);
            m_keyCv.notify_all();
        }
    }
}

void KeyPipeline::OnTimer(uint32_t id) {
    if (id == TIMER_LONG_KEY) {
        LogRaw("LONG KEY PRESSED!\n");
        m_mainWindow.KillTimer(TIMER_LONG_KEY);
        std::lock_guard lock(m_KeyLock);
        // A release handled before this message already delivered the key.
        if (!m_bPressPending)
            return;
        m_bPressPending = false;
        m_KeyQueue.push_back(m_nPressedKey + KEY_LONG_OFFSET);
        m_keyCv.notify_all();
    } else if (id == TIMER_KEY_ACTIVITY) {
        m_mainWindow.KillTimer(TIMER_KEY_ACTIVITY);
        m_flags.g_bKeyActivity = false;
    }
}

void KeyPipeline::CancelPress() {
    m_mainWindow.KillTimer(TIMER_LONG_KEY);
    std::lock_guard lock(m_KeyLock);
    m_bPressPending = false;
}

// ----------------------------------------------------------------- key side

std::string KeyPipeline::KeyToneFile(int32_t key) {
    const std::string dir = m_store.GetModuleDirectory();
    std::string file;
    if (key >= KEY_0 && key <= KEY_9)
        file = dir + std::to_string(key) + ".wav";
    else if (key == KEY_STAR)
        file = dir + "star.wav";
    else if (key == KEY_SHARP)
        file = dir + "sharp.wav";
    else
        file = dir + "0.wav";
    if (file.size() > kMaxPathChars - 1)
        file.resize(kMaxPathChars - 1);
    return file;
}

void KeyPipeline::ProcessKey(int32_t k) {
    Settings& s = m_store.settings();
    if (k == KEY_DEVICE_START) {
        // Once per connection: a handset that announces itself again is not re-initialised.
        if (m_flags.g_bDeviceStarted)
            return;
        LogRaw("Device start\n");
        m_flags.g_bDeviceStarted = 1;
        {
            // A plug event handled meanwhile would close the handles under
            // these writes and leave the handset uninitialised.
            std::lock_guard connection(m_transport.ConnectionMutex());
            m_commands.NewWriteCmd(CMD_DEVICE_INIT, 80, 4, 0);
            // A contrast sent before the start went to a handset not yet
            // running: the started one gets it again.
            m_commands.ForgetLastContrast();
            const auto c = ContrastBytes(s);
            m_commands.NewWriteCmd(CMD_SET_CONTRAST, c[0], c[1], c[2]);
        }
        LogRaw("KeyProcessThreadProc: RefreshScreen");
        points.RefreshDisplay();
        points.UpdateTrayIcon();
        points.RefreshDisplay();
        return;
    }
    const int mode = points.CurrentMode();
    if (s.VAL_ENABLE_KEYTONE == 1 && mode != MODE_TALKING) {
        const std::string file = KeyToneFile(k);
        std::string outDevice;
        {
            std::lock_guard lock(m_nameMutex);
            outDevice = m_strOutDevice;
        }
        std::lock_guard lock(m_transport.g_UsbWriteDevice.m_DeviceLock);
        points.StopKeyTone();
        LogPrintA("pDlg->StartPlayKeyTone: [%s] [%s]", outDevice.c_str(), file.c_str());
        points.StartPlayKeyTone(file);
    }
    // The volume keys work in every mode, before the mode sees them.
    if (k == KEY_VOLUME_UP) {
        LogRaw("g_AudioOutMixer.SetFaderValue 017");
        points.SetFaderValue(0, 0);
    } else if (k == KEY_VOLUME_DOWN) {
        LogRaw("g_AudioOutMixer.SetFaderValue 018");
        points.SetFaderValue(0, 1);
    }
    const std::string name = KeyLogText(k);
    if (!name.empty())
        LogRaw(name);
    LogRaw("KeyProcessThreadProc:EventProcess");
    if (mode >= 0 && mode < MODE_COUNT)
        points.DispatchKeyToMode(k);
}

bool KeyPipeline::ProcessNextKey() {
    int32_t k;
    {
        std::lock_guard lock(m_KeyLock);
        if (m_KeyQueue.empty())
            return false;
        k = m_KeyQueue.front();
        m_KeyQueue.pop_front();
    }
    ProcessKey(k);
    return true;
}

void KeyPipeline::PushKey(int32_t key) {
    std::lock_guard lock(m_KeyLock);
    m_KeyQueue.push_back(key);
    m_keyCv.notify_all();
}

void KeyPipeline::ClearKeyQueue() {
    std::lock_guard lock(m_KeyLock);
    m_KeyQueue.clear();
}

std::vector<int32_t> KeyPipeline::QueuedKeys() {
    std::lock_guard lock(m_KeyLock);
    return {m_KeyQueue.begin(), m_KeyQueue.end()};
}

std::string KeyPipeline::OutDeviceName() {
    std::lock_guard lock(m_nameMutex);
    return m_strOutDevice;
}

void KeyPipeline::SetOutDeviceName(std::string name) {
    std::lock_guard lock(m_nameMutex);
    m_strOutDevice = std::move(name);
}

// ------------------------------------------------------------------ threads

bool KeyPipeline::Stopping() const {
    return m_stop || m_flags.m_bQuit;
}

void KeyPipeline::HidReadThreadProc() {
    bool toldNoHandle = false;
    while (!Stopping()) {
        if (m_flags.m_bReconnecting) {
            m_clock.Sleep(kReconnectPollMs);
            continue;
        }
        if (!m_transport.IsReadHandleValid()) {
            // Without a handset there is nothing to read: wait for one to be
            // opened instead of polling.
            if (!toldNoHandle)
                LogRaw("Read USB failed: m_ReadHandle is not valid");
            toldNoHandle = true;
            m_transport.WaitForReadHandle([this] { return Stopping(); });
            continue;
        }
        toldNoHandle = false;
        {
            // A read starts only between writes: what a writer sends under this
            // lock (a display line, the start-up commands) goes out whole first.
            // Nothing is waited for here; the read itself blocks on the handset.
            std::lock_guard lock(m_transport.g_UsbWriteDevice.m_DeviceLock);
        }
        const HidHandle handle = m_transport.g_UsbReadDevice.m_ReadHandle;
        if (ProcessReport() || Stopping())
            continue;
        // A failed read on a handle closed or replaced meanwhile says nothing
        // of the next one: that one is read at once.
        if (m_transport.g_UsbReadDevice.m_ReadHandle == handle)
            m_clock.Sleep(kFailedReadBackoffMs);
    }
}

void KeyPipeline::KeyProcessThreadProc() {
    for (;;) {
        int32_t k;
        {
            std::unique_lock lock(m_KeyLock);
            m_keyCv.wait(lock, [this] { return !m_KeyQueue.empty() || Stopping(); });
            if (Stopping())
                return;
            k = m_KeyQueue.front();
            m_KeyQueue.pop_front();
        }
        ProcessKey(k);
    }
}

void KeyPipeline::StartHidReadThread() {
    if (!m_readThread.joinable())
        m_readThread = std::thread([this] { HidReadThreadProc(); });
}

void KeyPipeline::StartKeyProcessThread() {
    if (!m_keyThread.joinable())
        m_keyThread = std::thread([this] { KeyProcessThreadProc(); });
}

void KeyPipeline::StopThreads() {
    m_stop = true;
    {
        std::lock_guard lock(m_KeyLock);
        m_keyCv.notify_all();
    }
    // A read blocked on the handset fails, and a wait for a handset ends.
    m_transport.Wake();
    if (m_readThread.joinable())
        m_readThread.join();
    if (m_keyThread.joinable())
        m_keyThread.join();
}

}  // namespace vocastra
