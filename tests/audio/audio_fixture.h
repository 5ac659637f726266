// Sound hardware on the simulated platform, with the audio objects over it.
#pragma once
#include <mutex>

#include "app/log.h"
#include "audio/audio_system.h"
#include "platform/sim/fake_clock.h"
#include "platform/sim/host_file_system.h"
#include "platform/sim/memory_log_sink.h"
#include "platform/sim/sim_main_window.h"
#include "platform/sim/sim_os_version.h"
#include "platform/sim/sim_sound.h"
#include "test_support.h"

namespace vocastra::test {

struct AudioFixture : ::testing::Test {
    FakeClock clock;
    SimMainWindow mainWindow{clock};
    MemoryLogSink log;
    SimOsVersion os;
    SimSound sound{clock, mainWindow};
    std::mutex deviceLock;
    HostFileSystem fs;
    AudioSystem audio{sound.mixer, sound.endpoints, os, sound.waveOut, fs, deviceLock};

    AudioFixture() { SetLogSink(&log); }
    ~AudioFixture() override { SetLogSink(nullptr); }
};

}  // namespace vocastra::test
