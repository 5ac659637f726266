// The link to the running VoIP client: attach handshake, commands out,
// notifications in (queued on the UI thread, handled one at a time in
// arrival order on the receive thread), keep-alive and reset when the client
// goes away. It owns the client-side data: call lists, contacts and the
// strings the handset shows.
#pragma once
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/skype_wire.h"
#include "skype/call_list.h"
#include "skype/contact_list.h"
#include "skype/skype_points.h"

namespace vocastra {

class Clock;
class Collator;
class MainWindow;
class Profile;
class SettingsStore;
struct AppFlags;

// Limits on what a client may pile up before the receive thread catches up.
inline constexpr std::size_t kMaxQueuedNotifications = 100000;
inline constexpr std::size_t kMaxQueuedBytes = 64u << 20;
inline constexpr std::size_t kLastCallTargetMax = 99;  // bytes, as the handset shows it
inline constexpr std::size_t kSkypeVersionMax = 55;
inline constexpr std::size_t kCountryPrefixMax = 59;

class CSkypeMonitor : public SkypeWireListener {
  public:
    struct Deps {
        SkypeWire& wire;
        MainWindow& mainWindow;
        Clock& clock;
        Collator& collator;
        Profile& profile;
        SettingsStore& settings;
        AppFlags& flags;
        ConnectionLog& log;
    };
    explicit CSkypeMonitor(const Deps& deps);
    ~CSkypeMonitor() override;
    CSkypeMonitor(const CSkypeMonitor&) = delete;
    CSkypeMonitor& operator=(const CSkypeMonitor&) = delete;

    // Creates the link window; on success starts the receive thread (unless
    // threads are driven by hand). Returns the creation result.
    bool Create();
    bool Exists() const { return m_bCreated; }
    // Tests drive the receive loop through ProcessNotification and run
    // command batches on the calling thread.
    void SetManualThreads(bool manual) { m_bManualThreads = manual; }
    // Off: Create starts no receive thread; a loop of the caller's runs
    // ProcessNotification on a thread of its own, command batches keep their
    // threads, and WaitUntilIdle waits for that loop (benchmarks).
    void SetReceiveThreadEnabled(bool enabled) { m_bReceiveThread = enabled; }

    // Posts the discovery broadcast.
    void BroadcastDiscover();
    // 1 on success or when nothing had to be sent; 0 when detached or when
    // the client is gone. Any thread.
    int SendMessageToSkype(std::string_view command);
    // Sends the commands in order from a thread of its own; `commands` is emptied.
    void StartCommandBatch(std::vector<std::string>& commands);
    // Forgets the client: handle, focus, mute, the user's name and balance,
    // contacts, calls and the ids it listed, its ringer, voicemail playback,
    // queued texts.
    void ResetSkypeState();

    // SkypeWireListener (UI thread).
    void OnAttachStatus(SkypePeer peer, uint32_t status) override;
    void OnCopyData(SkypePeer sender, std::string_view text) override;
    void OnTimer(uint32_t id) override;

    // The receive loop's step: handles the oldest queued notification.
    // Returns false when the queue was empty.
    bool ProcessNotification();
    // Handles one notification (receive thread).
    void ParseSkypeMessage(std::string_view text);
    // Blocks until the receive thread has handled everything queued and
    // the command batches have ended (tests and benchmarks with real threads).
    void WaitUntilIdle();
    // Ends the receive thread and waits for running command batches.
    void Stop();

    bool IsAttached() const { return m_hSkype.load() != 0; }
    SkypePeer AttachedPeer() const { return m_hSkype.load(); }
    std::size_t QueuedCount() const;

    // Client-side strings, read by the displays: copies.
    std::string FocusedContact() const;
    void SetFocusedContact(std::string_view handle);  // the handset's list picks one
    std::string PstnBalance() const;
    std::string PstnBalanceCurrency() const;
    std::string CurrentUser() const;
    std::string CurrentUserFullName() const;
    std::string MainDbPath() const;
    std::string LastCallTarget() const;
    void SetLastCallTarget(std::string_view target);
    std::string SkypeVersion() const;
    std::string CountryPrefix() const;
    std::vector<std::string> KnownCallIds() const;

    SkypePoints points;
    CContactList m_ContactList;
    CCallList m_CallList;
    CCurrCallList m_CurrCallList;
    std::string m_DialNumber;  // the number typed in MODE_NUMDIAL; key thread only

    std::atomic<int32_t> m_bMute{0};
    // The playback level from before the calls, restored when they are
    // answered and over; -1 while none was saved.
    std::atomic<int32_t> m_nSavedVolume{-1};
    std::atomic<int32_t> m_bRingerIsHandset{1};
    std::atomic<int32_t> g_nSkypeMajor{0}, g_nSkypeMinor{0}, g_nSkypeBuild{0}, g_nSkypeRevision{0};
    std::atomic<bool> g_bVoiceMailFromHandset{false};
    std::atomic<uint32_t> g_dwVoiceMailPlayTick{0};

  private:
    void ReceiveThreadProc();
    void RunBatch(std::vector<std::string> commands);
    void AttachSequence();
    // Detaches and forgets the client's data when `gone` is still the
    // attached peer; false (nothing done) otherwise.
    bool ForgetPeer(SkypePeer gone);
    // m_attachMutex held.
    void ForgetClientData();

    // Notification handlers (skype_notifications.cpp, skype_call_events.cpp).
    void OnCurrentUserHandle(std::string_view handle);
    void OnSkypeVersion(std::string_view version);
    void OnCountry(std::string_view country);
    void OnRinger(std::string_view line, bool hasWord);
    void OnUser(std::string_view text);
    void OnCall(const std::vector<std::string_view>& words);
    void OnCallType(std::string_view id, std::string_view type);
    void OnCallStatus(std::string_view id, std::string_view status);
    void OnCallStarts(std::string_view id, std::string_view status);
    void OnCallEnds(std::string_view id);
    void OnVoiceMailPlaying();
    bool IsKnownCall(std::string_view id) const;

    SkypeWire& m_wire;
    MainWindow& m_mainWindow;
    Clock& m_clock;
    Profile& m_profile;
    SettingsStore& m_settings;
    AppFlags& m_flags;

    std::atomic<SkypePeer> m_hSkype{0};
    // Serialises changes of m_hSkype with the data that goes with them, so a
    // late reset for a vanished client cannot undo a newer attach.
    std::mutex m_attachMutex;
    bool m_bCreated = false;
    bool m_bManualThreads = false;
    bool m_bReceiveThread = true;
    std::atomic<int32_t> m_bStop{0};
    bool m_bRefusedShown = false;              // UI thread only
    std::optional<SkypePeer> m_lastSeenSkype;  // UI thread only

    mutable std::mutex m_csQueue;
    std::condition_variable m_queueCv;
    std::deque<std::string> m_MsgQueue;
    std::size_t m_queuedBytes = 0;
    bool m_bQueueOverflow = false;
    bool m_bParsing = false;  // the receive step is handling a text
    std::thread m_receiveThread;

    std::mutex m_batchMutex;
    std::condition_variable m_batchCv;
    int m_runningBatches = 0;

    mutable std::mutex m_csStrings;  // the strings below
    std::string m_strFocusedContact;
    std::string m_strPstnBalance;
    std::string m_strPstnBalanceCurrency;
    std::string m_strCurrentUser;
    std::string m_strCurrentUserFullName;
    std::string m_strMainDbPath;
    std::string m_szLastCallTarget;
    std::string g_szSkypeVersion;
    std::string g_szCountryPrefix;
    std::vector<std::string> g_KnownCallIds;
};

}  // namespace vocastra
