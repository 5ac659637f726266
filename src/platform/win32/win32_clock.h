// Clock on the system's tick count and local time.
#pragma once
#include "platform/clock.h"

namespace vocastra::win32 {

class Win32Clock : public Clock {
  public:
    uint32_t GetTickCount() override;
    void Sleep(uint32_t ms) override;
    LocalTime GetLocalTime() override;
    LocalTime ToLocalTime(int64_t secondsSince1970) override;
};

}  // namespace vocastra::win32
