// A model of the handset's firmware: decodes every output report the host
// writes (commands with their parameters, display pages), keeps the state a
// user would see (LED, ring, contrast, the 128x64 display) and builds the
// input reports the keypad sends. What crosses the wire is recorded as
// ordered trace lines ("HANDSET <- CMD_LED_ON", "HANDSET -> SCAN 5").
// Shared by the sim bus and the virtual handset server of the Windows tests.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vocastra {

class Clock;

class VirtualHandset {
  public:
    static constexpr int kWidth = 128;
    static constexpr int kHeight = 64;
    static constexpr int kPages = 8;
    static constexpr std::size_t kOutputReportLength = 33;
    static constexpr std::size_t kInputReportLength = 33;

    struct LedEvent {
        uint32_t tick;
        bool on;
    };
    struct Command {
        uint32_t tick;
        int code;
        int wp1, wp2, wp3;
    };

    explicit VirtualHandset(Clock& clock);

    // --- host to handset ---
    // One output report as written by the host (report id byte first).
    void OnOutputReport(const uint8_t* data, std::size_t len);

    // --- handset to host: each call builds one input report and hands it to
    // the input sink (the bus), returning the bytes sent ---
    using InputSink = std::function<void(std::vector<uint8_t>)>;
    void SetInputSink(InputSink sink);
    std::vector<uint8_t> Press(int scanCode);  // scan codes 1..25
    std::vector<uint8_t> Release();            // scan code 0
    std::vector<uint8_t> Start();              // scan code 240
    std::vector<uint8_t> HotKey3();            // scan code 241
    std::vector<uint8_t> HookDown();           // scan code 242
    // Any scan code with report id 0x03.
    std::vector<uint8_t> SendScan(int scanCode);
    // Any bytes at all, as they stand (length and id unchecked).
    std::vector<uint8_t> SendRaw(std::vector<uint8_t> bytes);

    // --- what the user sees ---
    bool LedOn() const;
    std::vector<LedEvent> LedHistory() const;
    bool Ringing() const;
    std::array<int, 3> Contrast() const;
    int InitCount() const;     // CMD_DEVICE_INIT reports received
    int ConnectCount() const;  // CMD_CONNECT reports received
    std::vector<Command> Commands() const;
    bool Pixel(int x, int y) const;
    // The display as 64 lines of '#' (set) and '.' (clear), each ending in '\n'.
    std::string FrameText() const;
    // Pages written completely (header plus four data reports).
    int PagesWritten() const;

    // --- the wire trace ---
    std::vector<std::string> Trace() const;
    void ClearTrace();
    // Forgets the commands and LED changes seen so far (a long run's record
    // stays small).
    void ClearRecords();
    // Also hands each trace line to `sink` as it happens (nullptr: none).
    void SetTraceSink(std::function<void(const std::string&)> sink);
    // Adds a line of the caller's own (plug events and the like).
    void Note(const std::string& line);

    // Forgets everything the firmware knew: a handset just plugged in.
    void PowerCycle();

    // Name of a command code ("CMD_LED_ON"), or its number as text.
    static std::string CommandName(int code);

  private:
    void Record(const std::string& line);  // m_mutex held
    std::vector<uint8_t> Send(std::vector<uint8_t> bytes, const std::string& traceLine);

    Clock& m_clock;
    mutable std::mutex m_mutex;
    InputSink m_inputSink;
    std::function<void(const std::string&)> m_traceSink;
    std::vector<std::string> m_trace;
    std::vector<LedEvent> m_ledHistory;
    std::vector<Command> m_commands;
    bool m_ledOn = false;
    bool m_ringing = false;
    std::array<int, 3> m_contrast{0, 0, 0};
    int m_initCount = 0;
    int m_connectCount = 0;
    // Display: the page header names the page the next four data reports fill.
    // A page shows once all four have arrived, so a picture never holds half
    // of a page's update (and a write cut short is not shown).
    std::array<std::array<uint8_t, kWidth>, kPages> m_pages{};
    std::array<uint8_t, kWidth> m_pendingPage{};
    int m_currentPage = -1;
    int m_dataReportsSeen = 0;
    int m_pagesWritten = 0;
};

}  // namespace vocastra
