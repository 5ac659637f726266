// An in-process stand-in for the VoIP client, speaking the desktop API as the
// real client does on the other side of the wire: it answers the discovery,
// replies to every command, keeps a small call model, and records every
// command it received. What it sends back is queued and handed to the
// program by Deliver, on whichever thread plays the UI thread.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/sim/sim_window_automation.h"
#include "platform/skype_wire.h"

namespace vocastra {

class Clock;

class SimSkypeClient : public SkypeWire {
  public:
    // How the client answers a discovery while not attached.
    enum class AttachAnswer {
        Success,
        PendingThenSuccess,
        Refused,
        NotAvailableThenApiAvailable,  // nobody signed in yet; signs in at once
        Silent,                        // not running: no answer
    };
    // What an outgoing call does after it rings at the far end.
    enum class Outcome { KeepRinging, Answer, Busy, Refuse, Fail };

    struct Contact {
        std::string handle;
        std::string fullName;
        std::string displayName;
        std::string onlineStatus = "ONLINE";
    };
    struct Call {
        std::string partnerHandle;
        std::string partnerDispName;
        std::string type;
        std::string status;
        std::string confId = "0";
        int64_t timestamp = 1262304000;
        int duration = 0;
        bool answered = false;
        uint32_t answeredTick = 0;  // when it first went INPROGRESS
        bool playing = false;       // a voicemail being played
        uint32_t playStartTick = 0;
    };

    // SkypeWire: the program's side.
    bool Create(SkypeWireListener& listener) override;
    void BroadcastDiscover() override;
    bool Send(SkypePeer peer, std::string_view command) override;
    void Destroy() override;

    // Back to a freshly started client (no commands, calls or contacts).
    void Reset();
    // Set-up.
    void SetFailCreate(bool fail) { m_failCreate = fail; }
    // The clock the DURATION notifications of calls in progress run on;
    // without one none are sent.
    void SetClock(Clock* clock);
    // Off: the sign-in notifications name no contact's DISPLAYNAME (the
    // client sends them either way).
    void SetSignInDisplayNames(bool on);
    void SetAttachAnswer(AttachAnswer a);
    // Called with every command received, in order (tests build traces).
    void SetCommandObserver(std::function<void(const std::string&)> fn);
    // Called with every text and attach status handed to the program, as it is handed.
    void SetDeliveryObserver(std::function<void(const std::string&)> fn);
    // Off: commands are recorded but nothing is replied.
    void SetAutoReply(bool on);
    void SetOutgoingOutcome(Outcome o);
    void SetUser(std::string handle, std::string fullName);
    void SetVersion(std::string version);
    void SetCountry(std::string country);
    void SetBalance(std::string balance, std::string currency);
    void AddContact(Contact c);
    // A finished call of the history (TYPE, STATUS and the partner as the
    // client reports them) or a received voicemail, named to the program at
    // the next sign-in.
    void AddHistoryCall(const std::string& id, Call c);
    void AddVoiceMail(const std::string& id, Call c);
    // Changes a contact's status and tells the program, as the client does.
    void SetContactStatus(const std::string& handle, const std::string& status);
    std::vector<Contact> Contacts() const;
    std::string UserHandle() const;
    std::string UserFullName() const;
    // The sign-in state of the default session: a user, a handful of
    // contacts in every status group, and a known version.
    void LoadDefaultSession();
    // The simulator's history on top of it: incoming, outgoing and missed
    // calls and two voicemails. Every ended call named at sign-in makes the
    // program bring the client's contacts forward, so sessions that watch
    // the client's windows go without it.
    void LoadDefaultHistory();

    // Events the client originates.
    void Notify(std::string text);           // an unsolicited notification
    void SendAttachStatus(uint32_t status);  // an attach message now
    // Returns the call id. `cancelledAtOnce`: the caller hangs up at once,
    // CANCELLED straight after RINGING.
    std::string IncomingCall(std::string partner, bool pstn = false, bool cancelledAtOnce = false);
    void SetCallStatus(const std::string& id, const std::string& status);  // with notification
    void Exit();     // the client quits: windows gone, sends fail
    void Restart();  // the client comes back and announces API_AVAILABLE

    // Hands everything queued to the program, including what that causes
    // and the DURATION notifications due by now. Returns how many messages
    // were delivered.
    int Deliver();
    // Milliseconds until the next timed notification falls due: a call's
    // DURATION or the end of a voicemail's playback (UINT32_MAX when none is
    // pending or there is no clock).
    uint32_t MsUntilNextDuration() const;
    // The link window's keep-alive timer.
    void FireTimer();

    // The client's own windows on a simulated desktop: "OPEN DIALPAD" shows
    // the dial pad, whose number field places the call on Enter (after the
    // country popup, when asked for, was clicked); "OPEN IM <handle>" shows a
    // conversation titled with the display name, whose header opens the call
    // popup, whose first entry places the call.
    void AttachDesktop(SimWindowAutomation* desk);
    void SetCountryPopup(bool on);
    // A call the user placed at the client's own windows (its dial pad, a
    // conversation, its call URI): the program hears of it only by the call's
    // notifications. Returns the call id; empty when the client is not running.
    std::string DialFromWindow(const std::string& target);
    // The name the client titles a conversation with: a contact's full name,
    // the handle itself for anyone else.
    std::string ConversationTitle(const std::string& handle) const;

    std::vector<std::string> Commands() const;
    void ClearCommands();
    // Forgets the calls that have ended: a long run's record stays small
    // (the program keeps its own history).
    void ForgetEndedCalls();
    int DiscoverCount() const;
    bool IsRunning() const;
    SkypePeer Peer() const;
    std::map<std::string, Call> Calls() const;
    std::map<std::string, Call> VoiceMails() const;

  private:
    struct Event {
        bool attach;
        uint32_t status;
        std::string text;
    };
    void QueueText(std::string text);
    void QueueCallStatus(const std::string& id, const std::string& status);
    // A contact's full name; the handle itself for anyone else. m_mutex held.
    std::string DisplayNameOf(const std::string& handle) const;
    void QueueAttach(uint32_t status);
    void Reply(const std::string& command);
    std::string Answer(const std::string& command);
    std::string AnswerCall(const std::vector<std::string>& w, const std::string& command);
    std::string AnswerVoiceMail(const std::vector<std::string>& w, const std::string& command);
    void StopPlayback(const std::string& id, Call& vm);
    std::string NewCall(const std::string& target);
    bool IsKnownIdentity(const std::string& target) const;
    void SetStatusLocked(Call& c, const std::string& status);
    void QueueDueDurations();
    void SignInNotifications();
    void NameRecord(const char* object, const std::string& id, const Call& c);
    // The windows (sim_skype_windows.cpp); m_winMutex, never m_mutex, held.
    void OnWindowCommand(const std::string& command);
    void OnWindowDelivery(const SimWindowAutomation::Delivery& d);
    void PlaceWindowCall(const std::string& target);

    mutable std::mutex m_mutex;
    SkypeWireListener* m_listener = nullptr;
    bool m_failCreate = false;
    bool m_created = false;
    bool m_running = true;
    bool m_attached = false;
    bool m_autoReply = true;
    AttachAnswer m_answer = AttachAnswer::Success;
    Outcome m_outcome = Outcome::KeepRinging;
    SkypePeer m_peer = 0x5000;
    int m_discovers = 0;
    int m_nextCallId = 1000;
    std::string m_user = "echo123";
    std::string m_fullName = "Echo Tester";
    std::string m_version = "7.40.0.103";
    std::string m_country = "de";
    std::string m_balance = "1234";
    std::string m_currency = "EUR";
    std::string m_ringer = "USB PHONE";
    bool m_mute = false;
    bool m_signInDisplayNames = true;
    Clock* m_clock = nullptr;
    std::vector<Contact> m_contacts;
    std::map<std::string, Call> m_calls;
    std::map<std::string, Call> m_voicemails;
    // Notifications a command causes, queued after its direct reply.
    std::vector<std::string> m_followUps;
    std::deque<Event> m_events;
    std::vector<std::string> m_commands;
    std::function<void(const std::string&)> m_observer;
    std::function<void(const std::string&)> m_deliveryObserver;

    std::mutex m_winMutex;  // taken before m_mutex
    SimWindowAutomation* m_desk = nullptr;
    bool m_countryPopup = false;
    WindowId m_mainForm = 0;
    WindowId m_dialPad = 0, m_field = 0, m_countryPopupWnd = 0;
    WindowId m_conv = 0, m_convHeader = 0, m_callPopup = 0;
    std::string m_number, m_convTarget;
    bool m_countryChosen = false;
};

}  // namespace vocastra
