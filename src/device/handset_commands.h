// Commands and display data to the handset: NewWriteCmd with the LED flasher
// control and contrast de-duplication, and NewWriteDevice for display lines.
// Every report is written under g_UsbWriteDevice.m_DeviceLock.
#pragma once
#include <atomic>
#include <cstdint>
#include <functional>

#include "device/report_protocol.h"
#include "device/usb_hid_device.h"

namespace vocastra {

class HandsetCommands {
  public:
    explicit HandsetCommands(HidTransport& transport);

    // Any thread. CMD_LED_FLASH_100MS/500MS only start the software flasher;
    // CMD_LED_ON/OFF stop it (unless sent in the flasher's own 16,16,16 form)
    // and return once no toggle of the flasher is in flight; CMD_SET_CONTRAST
    // is dropped when equal to the last.
    void NewWriteCmd(uint8_t cmd, uint8_t wp1, uint8_t wp2, uint8_t wp3);

    // Writes display line `line` (0..3): `firstPage` as page 2*line and
    // `secondPage` as page 2*line+1, 128 bytes each. Logs and writes nothing
    // when the write handle is not open.
    void NewWriteDevice(int line, const uint8_t* firstPage, const uint8_t* secondPage);

    // Writes one command report as it stands, under the write device's lock,
    // with the usual log lines (the flasher's off report goes this way).
    void WriteCommandReport(uint8_t cmd, uint8_t wp1, uint8_t wp2, uint8_t wp3);

    // The next CMD_SET_CONTRAST is sent even if equal to the last one.
    void ForgetLastContrast();

    bool IsWriteHandleValid() const { return m_transport.IsWriteHandleValid(); }
    // The flash half-period in ms; 0 when the LED is not flashing.
    int32_t FlashPeriod() const { return g_nLedFlashPeriod.load(); }
    // Starts (ms > 0) or stops (0) the software flasher; writes nothing itself.
    void SetFlashPeriod(int32_t ms);
    // Called (outside any lock) each time the flash period is set.
    void SetFlashPeriodListener(std::function<void(int32_t)> listener) {
        m_onFlashPeriod = std::move(listener);
    }

  private:
    HidTransport& m_transport;
    std::atomic<int32_t> g_nLedFlashPeriod{0};
    std::function<void(int32_t)> m_onFlashPeriod;
};

}  // namespace vocastra
