#include "platform/sim/virtual_handset.h"

#include <cstdio>

#include "platform/clock.h"

namespace vocastra {
namespace {

constexpr uint8_t kMarker[3] = {0xF1, 0xF2, 0xF3};

bool HasHeader(const uint8_t* d, std::size_t len, uint8_t b2) {
    return len >= 9 && d[0] == 0x00 && d[1] == 0x08 && d[2] == b2 && d[5] == kMarker[0] &&
           d[6] == kMarker[1] && d[7] == kMarker[2];
}

std::string Hex(const uint8_t* d, std::size_t len, std::size_t max) {
    std::string out;
    char b[4];
    for (std::size_t i = 0; i < len && i < max; ++i) {
        std::snprintf(b, sizeof b, i ? " %02x" : "%02x", d[i]);
        out += b;
    }
    if (len > max)
        out += " ...";
    return out;
}

}  // namespace

VirtualHandset::VirtualHandset(Clock& clock) : m_clock(clock) {}

std::string VirtualHandset::CommandName(int code) {
    switch (code) {
        case 4:
            return "CMD_DEVICE_INIT";
        case 5:
            return "CMD_RING";
        case 6:
            return "CMD_RING_STOP";
        case 8:
            return "CMD_LED_FLASH_100MS";
        case 9:
            return "CMD_LED_FLASH_500MS";
        case 12:
            return "CMD_LED_ON";
        case 13:
            return "CMD_LED_OFF";
        case 15:
            return "CMD_CONNECT";
        case 16:
            return "CMD_SET_CONTRAST";
        default:
            return "CMD_" + std::to_string(code);
    }
}

void VirtualHandset::Record(const std::string& line) {
    m_trace.push_back(line);
    if (m_traceSink)
        m_traceSink(line);
}

void VirtualHandset::OnOutputReport(const uint8_t* d, std::size_t len) {
    std::lock_guard lock(m_mutex);
    const uint32_t now = m_clock.GetTickCount();
    if (HasHeader(d, len, 0x20) && len >= 13) {
        m_dataReportsSeen = 0;
        m_currentPage = -1;
        const Command c{now, d[8], d[10], d[11], d[12]};
        m_commands.push_back(c);
        std::string line = "HANDSET <- " + CommandName(c.code);
        if (c.wp1 || c.wp2 || c.wp3)
            line += " " + std::to_string(c.wp1) + " " + std::to_string(c.wp2) + " " +
                    std::to_string(c.wp3);
        switch (c.code) {
            case 4:
                ++m_initCount;
                break;
            case 5:
                m_ringing = true;
                break;
            case 6:
                m_ringing = false;
                break;
            case 12:
            case 13:
                m_ledOn = c.code == 12;
                m_ledHistory.push_back({now, m_ledOn});
                break;
            case 15:
                ++m_connectCount;
                break;
            case 16:
                m_contrast = {c.wp1, c.wp2, c.wp3};
                break;
            default:
                break;
        }
        Record(line);
        return;
    }
    if (HasHeader(d, len, 0xA0) && d[3] >= 0xB8 && d[3] < 0xB8 + kPages && d[4] == 0x40) {
        m_currentPage = d[3] - 0xB8;
        m_dataReportsSeen = 0;
        return;
    }
    if (m_currentPage >= 0 && len >= 33 && d[0] == 0x00) {
        // Data report n of the page carries the page's bytes 32n..32n+31.
        for (int i = 0; i < 32; ++i)
            m_pendingPage[m_dataReportsSeen * 32 + i] = d[1 + i];
        if (++m_dataReportsSeen == 4) {
            m_pages[m_currentPage] = m_pendingPage;
            ++m_pagesWritten;
            Record("HANDSET <- PAGE " + std::to_string(m_currentPage));
            m_currentPage = -1;
            m_dataReportsSeen = 0;
        }
        return;
    }
    Record("HANDSET <- ? " + Hex(d, len, 13));
}

void VirtualHandset::SetInputSink(InputSink sink) {
    std::lock_guard lock(m_mutex);
    m_inputSink = std::move(sink);
}

std::vector<uint8_t> VirtualHandset::Send(std::vector<uint8_t> bytes, const std::string& line) {
    InputSink sink;
    {
        std::lock_guard lock(m_mutex);
        Record(line);
        sink = m_inputSink;
    }
    if (sink)
        sink(bytes);
    return bytes;
}

std::vector<uint8_t> VirtualHandset::SendScan(int scanCode) {
    std::vector<uint8_t> r(kInputReportLength, 0);
    r[0] = 0x03;
    r[1] = static_cast<uint8_t>(scanCode);
    std::string line;
    switch (scanCode) {
        case 0:
            line = "HANDSET -> RELEASE";
            break;
        case 240:
            line = "HANDSET -> START";
            break;
        default:
            line = "HANDSET -> SCAN " + std::to_string(scanCode & 0xFF);
            break;
    }
    return Send(std::move(r), line);
}

std::vector<uint8_t> VirtualHandset::Press(int scanCode) {
    return SendScan(scanCode);
}
std::vector<uint8_t> VirtualHandset::Release() {
    return SendScan(0);
}
std::vector<uint8_t> VirtualHandset::Start() {
    return SendScan(240);
}
std::vector<uint8_t> VirtualHandset::HotKey3() {
    return SendScan(241);
}
std::vector<uint8_t> VirtualHandset::HookDown() {
    return SendScan(242);
}

std::vector<uint8_t> VirtualHandset::SendRaw(std::vector<uint8_t> bytes) {
    const std::string line = "HANDSET -> RAW " + Hex(bytes.data(), bytes.size(), 16);
    return Send(std::move(bytes), line);
}

bool VirtualHandset::LedOn() const {
    std::lock_guard lock(m_mutex);
    return m_ledOn;
}

std::vector<VirtualHandset::LedEvent> VirtualHandset::LedHistory() const {
    std::lock_guard lock(m_mutex);
    return m_ledHistory;
}

bool VirtualHandset::Ringing() const {
    std::lock_guard lock(m_mutex);
    return m_ringing;
}

std::array<int, 3> VirtualHandset::Contrast() const {
    std::lock_guard lock(m_mutex);
    return m_contrast;
}

int VirtualHandset::InitCount() const {
    std::lock_guard lock(m_mutex);
    return m_initCount;
}

int VirtualHandset::ConnectCount() const {
    std::lock_guard lock(m_mutex);
    return m_connectCount;
}

std::vector<VirtualHandset::Command> VirtualHandset::Commands() const {
    std::lock_guard lock(m_mutex);
    return m_commands;
}

bool VirtualHandset::Pixel(int x, int y) const {
    if (x < 0 || x >= kWidth || y < 0 || y >= kHeight)
        return false;
    std::lock_guard lock(m_mutex);
    // A page byte is one column of eight rows, least significant bit on top.
    return (m_pages[y / 8][x] >> (y % 8)) & 1;
}

std::string VirtualHandset::FrameText() const {
    std::string out;
    out.reserve((kWidth + 1) * kHeight);
    std::lock_guard lock(m_mutex);  // one consistent picture
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x)
            out += (m_pages[y / 8][x] >> (y % 8)) & 1 ? '#' : '.';
        out += '\n';
    }
    return out;
}

int VirtualHandset::PagesWritten() const {
    std::lock_guard lock(m_mutex);
    return m_pagesWritten;
}

std::vector<std::string> VirtualHandset::Trace() const {
    std::lock_guard lock(m_mutex);
    return m_trace;
}

void VirtualHandset::ClearTrace() {
    std::lock_guard lock(m_mutex);
    m_trace.clear();
}

void VirtualHandset::ClearRecords() {
    std::lock_guard lock(m_mutex);
    m_commands.clear();
    m_commands.shrink_to_fit();
    m_ledHistory.clear();
    m_ledHistory.shrink_to_fit();
}

void VirtualHandset::SetTraceSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(m_mutex);
    m_traceSink = std::move(sink);
}

void VirtualHandset::Note(const std::string& line) {
    std::lock_guard lock(m_mutex);
    Record(line);
}

void VirtualHandset::PowerCycle() {
    std::lock_guard lock(m_mutex);
    m_ledOn = false;
    m_ringing = false;
    m_contrast = {0, 0, 0};
    m_pages = {};
    m_currentPage = -1;
    m_dataReportsSeen = 0;
}

}  // namespace vocastra
