#include "audio/ring_tone_choice.h"

#include <algorithm>

#include "app/log.h"
#include "app/text_util.h"
#include "audio/tones.h"
#include "platform/file_system.h"

namespace vocastra {

std::vector<std::string> ListShippedRingTones(FileSystem& fs, const std::string& moduleDir) {
    std::vector<std::string> names = fs.ListFiles(moduleDir + "RingTone\\", ".wav");
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return Utf8ToUtf16(a) < Utf8ToUtf16(b);
    });
    return names;
}

RingToneCheck CheckChosenRingTone(FileSystem& fs, WaveOut& waveOut, const std::string& path,
                                  const std::string& outDevice) {
    if (GetWavFileSize(fs, path) > kMaxRingToneFileBytes)
        return RingToneCheck::TooLarge;
    if (Utf8ToUtf16(path).size() > kMaxRingTonePathChars) {
        LogPrintA("Ring tone path longer than %u characters refused",
                  unsigned(kMaxRingTonePathChars));
        return RingToneCheck::NotPlayable;
    }
    CWaveDevice device;
    device.m_strName = outDevice;
    return IsValidWavFile(fs, waveOut, path, device.GetDeviceId(waveOut))
               ? RingToneCheck::Ok
               : RingToneCheck::NotPlayable;
}

bool RingTonePreview::Play(const std::string& path, const std::string& outDevice) {
    if (!LoadAndOpen(m_PreviewOut, m_fs, path, outDevice))
        return false;
    m_PreviewOut.Play();  // a wave shorter than three buffers plays all the same
    return true;
}

}  // namespace vocastra
