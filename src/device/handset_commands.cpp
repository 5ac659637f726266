#include "device/handset_commands.h"

#include <cstring>
#include <mutex>

#include "app/log.h"

namespace vocastra {
namespace {
constexpr uint8_t kFlasherForm = 16;  // all three parameters: the flasher's own LED report
constexpr std::size_t kPageBytes = 128;
}  // namespace

HandsetCommands::HandsetCommands(HidTransport& transport) : m_transport(transport) {}

void HandsetCommands::SetFlashPeriod(int32_t ms) {
    g_nLedFlashPeriod = ms;
    if (m_onFlashPeriod)
        m_onFlashPeriod(ms);
}

void HandsetCommands::NewWriteCmd(uint8_t cmd, uint8_t wp1, uint8_t wp2, uint8_t wp3) {
    if (!m_transport.IsWriteHandleValid()) {
        LogRaw("NewWriteCmd:Write USB failed: m_WriteHandle is not valid");
        return;
    }
    if (cmd == CMD_LED_ON || cmd == CMD_LED_OFF) {
        if (wp1 == kFlasherForm && wp2 == kFlasherForm && wp3 == kFlasherForm) {
            wp1 = wp2 = wp3 = 0;
        } else {
            // Stopping the flasher returns only once no toggle is in flight,
            // so none can land after this report and undo it.
            SetFlashPeriod(0);
        }
    }
    if (cmd == CMD_LED_FLASH_100MS) {
        SetFlashPeriod(100);
        return;
    }
    if (cmd == CMD_LED_FLASH_500MS) {
        SetFlashPeriod(500);
        return;
    }
    if (cmd == CMD_SET_CONTRAST) {
        CUsbHidDevice& d = m_transport.g_UsbWriteDevice;
        std::lock_guard lock(d.m_contrastMutex);
        const uint8_t c[3] = {wp1, wp2, wp3};
        if (std::memcmp(c, d.m_LastContrast, 3) == 0)
            return;
        std::memcpy(d.m_LastContrast, c, 3);
    }
    WriteCommandReport(cmd, wp1, wp2, wp3);
}

void HandsetCommands::WriteCommandReport(uint8_t cmd, uint8_t wp1, uint8_t wp2, uint8_t wp3) {
    CUsbHidDevice& d = m_transport.g_UsbWriteDevice;
    uint8_t report[kOutputReportSize];
    BuildCommandReport(report, cmd, wp1, wp2, wp3);
    uint32_t error;
    {
        std::lock_guard lock(d.m_DeviceLock);
        LogPrintA("*** NewWriteCmd: cmd=0x%x, wp1=%d,wp2=%d,wp3=%d,  Write USB start...", cmd, wp1,
                  wp2, wp3);
        error = m_transport.WriteReport(report);
        LogRaw("*** NewWriteCmd: Write USB end...");
        if (error)
            LogPrintA("Write USB Failed 3,error=%ld", static_cast<long>(error));
    }
    if (error && cmd == CMD_SET_CONTRAST)
        ForgetLastContrast();  // the handset never got it: sent again next time
}

void HandsetCommands::ForgetLastContrast() {
    CUsbHidDevice& d = m_transport.g_UsbWriteDevice;
    std::lock_guard lock(d.m_contrastMutex);
    std::memset(d.m_LastContrast, 0, sizeof d.m_LastContrast);
}

void HandsetCommands::NewWriteDevice(int line, const uint8_t* firstPage,
                                     const uint8_t* secondPage) {
    if (line < 0 || line > 3 || !firstPage || !secondPage)
        return;
    if (!m_transport.IsWriteHandleValid()) {
        LogRaw("NewWriteDevice:Write USB failed: m_WriteHandle is not valid");
        return;
    }
    CUsbHidDevice& d = m_transport.g_UsbWriteDevice;
    uint8_t report[kOutputReportSize];
    // One hold of the lock for the whole line: no command lands between its reports.
    std::lock_guard lock(d.m_DeviceLock);
    for (int half = 0; half < 2; ++half) {
        const uint8_t* page = half == 0 ? firstPage : secondPage;
        BuildPageHeader(report, 2 * line + half);
        if (uint32_t e = m_transport.WriteReport(report))
            LogPrintA("Write USB Failed 1,error=%ld", static_cast<long>(e));
        for (int part = 0; part < static_cast<int>(kPageBytes / 32); ++part) {
            BuildPageData(report, page, part);
            if (uint32_t e = m_transport.WriteReport(report))
                LogPrintA("Write USB Failed 2,error=%ld", static_cast<long>(e));
        }
    }
}

}  // namespace vocastra
