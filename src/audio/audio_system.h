// The audio subsystem in one piece: the ports it reaches, the four mixer
// objects, and the ring-tone and key-tone players.
#pragma once
#include "audio/mixer_fader.h"
#include "audio/tones.h"

namespace vocastra {

class AudioSystem {
  public:
    AudioSystem(Mixer& mixer, AudioEndpoints& endpoints, OsVersion& os, WaveOut& waveOut,
                FileSystem& fs, std::mutex& deviceLock)
        : ctx{mixer, endpoints, os, waveOut, deviceLock}, mixers(ctx), tones(waveOut, fs) {}
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    AudioContext ctx;
    AudioMixers mixers;  // g_AudioOutMixer, g_AudioInMixer, g_AudioOutMute, g_AudioInMute
    AudioTones tones;    // m_RingToneOut, m_KeyToneOut
};

}  // namespace vocastra
