#include "audio/wave_player.h"

#include <algorithm>

#include "app/log.h"

namespace vocastra {
namespace {

void LogResult(uint32_t r) {
    if (r == waveconst::kBadFormat)
        LogRaw("WAVERR_BADFORMAT : unsupported wave format");
    else
        LogPrintA("MMRESULT error=%ld", long(r));
}

}  // namespace

int CWaveDevice::GetDeviceId(WaveOut& port) const {
    if (m_strName.empty())
        return waveconst::kWaveMapper;
    for (uint32_t id = 0; id < port.GetNumDevs(); ++id) {
        const auto name = port.GetDevCapsName(id);
        if (name && *name == m_strName)
            return static_cast<int>(id);
    }
    return waveconst::kWaveMapper;
}

CWaveOut::~CWaveOut() {
    Close();
}

bool CWaveOut::Fail(uint32_t r) {
    m_nLastResult = static_cast<int32_t>(r);
    LogResult(r);
    return false;
}

bool CWaveOut::Open() {
    // An open player is closed first: its handle would be lost otherwise.
    if (m_hWaveOut)
        Close();
    const WaveFormat& f = m_Wave.m_Format;
    LogWaveFormat(f);
    LogPrintA(
        "CWaveOut::Open wave's wFormatTag=%ld\n\t\t  nChannels=%ld\n\t\t  nSamplesPerSec=%ld\n"
        "\t\t  nAvgBytesPerSec=%ld\n\t\t  nBlockAlign=%ld\n\t\t  wBitsPerSample=%ld\n\t\t  "
        "cbSize=%ld\n",
        long(f.formatTag), long(f.channels), long(f.samplesPerSec), long(f.avgBytesPerSec),
        long(f.blockAlign), long(f.bitsPerSample), long(f.cbSize));
    const uint64_t second = uint64_t(f.samplesPerSec) * f.channels * (f.bitsPerSample / 8);
    m_dwWaveOutBufferLength = static_cast<uint32_t>(std::clamp<uint64_t>(second, 4096, UINT32_MAX));
    LogPrintA("ModifyWaveOutBufferLength = %ld", long(m_dwWaveOutBufferLength));
    LogWaveFormat(f);
    WaveOutHandle h = 0;
    const int deviceId = m_Device.GetDeviceId(m_port);
    LogPrintA("CWaveOut::Open on device %d [%s]", deviceId, m_Device.m_strName.c_str());
    const uint32_t r = m_port.Open(
        h, deviceId, f, [this](WaveOutHandle wh, WaveHeader* hdr) { WaveOutProc(wh, hdr); });
    m_nLastResult = static_cast<int32_t>(r);
    if (r != 0) {
        LogResult(r);
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_hWaveOut = h;
    return true;
}

bool CWaveOut::Queue(uint32_t n, uint32_t flags, uint32_t loops) {
    m_nIndexWaveHdr = m_nIndexWaveHdr == 2 ? 0 : m_nIndexWaveHdr + 1;
    LogPrintA("CWaveOut::m_nIndexWaveHdr=%ld, m_dwStartPos=%ld", long(m_nIndexWaveHdr),
              long(m_dwStartPos.load()));
    WaveHeader& hdr = m_WaveHdr[m_nIndexWaveHdr];
    hdr = WaveHeader{};
    hdr.data = m_Wave.Samples() + m_dwStartPos;
    hdr.length = n;
    hdr.flags = flags;
    hdr.loops = loops;
    hdr.user = this;
    uint32_t r = m_port.Prepare(m_hWaveOut, hdr);
    if (r != 0) {
        Fail(r);
        LogRaw("CWaveOut::m_nIndexWaveHdr return false 002");
        return false;
    }
    r = m_port.Write(m_hWaveOut, hdr);
    if (r != 0) {
        Fail(r);
        LogRaw("CWaveOut::m_nIndexWaveHdr return false 003");
        m_port.Unprepare(m_hWaveOut, hdr);
        hdr.data = nullptr;
        hdr.length = 0;
        hdr.flags = 0;
        hdr.user = nullptr;
        m_nIndexWaveHdr = m_nIndexWaveHdr == 0 ? 2 : m_nIndexWaveHdr - 1;
        return false;
    }
    return true;
}

bool CWaveOut::AddNewHeader() {
    std::lock_guard lock(m_mutex);
    const uint32_t start = m_dwStartPos, end = m_dwEndPos;
    const uint32_t left = end > start ? end - start : 0;
    LogPrintA("__min( m_dwWaveOutBufferLength, m_dwEndPos - m_dwStartPos ) (%ld,  %ld)",
              long(m_dwWaveOutBufferLength), long(left));
    const uint32_t n = std::min(m_dwWaveOutBufferLength, left);
    if (n == 0 || !m_hWaveOut) {
        LogRaw("CWaveOut::m_nIndexWaveHdr return false 001");
        return false;
    }
    if (!Queue(n, 0, 0))
        return false;
    m_dwStartPos += n;
    return true;
}

void CWaveOut::WaveOutProc(WaveOutHandle h, WaveHeader* hdr) {
    if (!h || !hdr || !hdr->user)
        return;
    std::lock_guard lock(m_mutex);
    if (hdr->flags & waveconst::kDone) {
        hdr->flags = 0;
        m_nLastResult = static_cast<int32_t>(m_port.Unprepare(h, *hdr));
        if (m_nLastResult != 0) {
            LogResult(static_cast<uint32_t>(m_nLastResult));
            return;
        }
        hdr->data = nullptr;
    }
    if (m_dwStartPos < m_dwEndPos) {
        LogRaw("CWaveOut::waveOutProc: Call AddNewHeader");
        AddNewHeader();
    }
}

bool CWaveOut::Play() {
    if (m_hWaveOut) {
        m_dwStartPos = m_dwEndPos.load();
        const uint32_t r = m_port.Reset(m_hWaveOut);
        if (r != 0)
            return Fail(r);
    }
    {
        std::lock_guard lock(m_mutex);
        m_dwStartPos = 0;
        m_dwEndPos = m_Wave.ByteLength();
        m_nIndexWaveHdr = 2;
    }
    for (int i = 0; i < 3; ++i) {
        LogRaw("CWaveOut::Play: Call AddNewHeader");
        if (!AddNewHeader())
            return false;
    }
    return true;
}

bool CWaveOut::PlayLooped() {
    if (!m_hWaveOut)
        return false;
    const uint32_t saved = m_dwWaveOutBufferLength;
    m_dwStartPos = m_dwEndPos.load();
    const uint32_t r = m_port.Reset(m_hWaveOut);
    if (r != 0)
        return Fail(r);
    std::lock_guard lock(m_mutex);
    m_dwWaveOutBufferLength = m_Wave.ByteLength();
    m_dwStartPos = 0;
    m_dwEndPos = m_Wave.ByteLength();
    m_nIndexWaveHdr = 2;
    const uint32_t n = m_dwEndPos - m_dwStartPos;
    LogPrintA("__min( m_dwWaveOutBufferLength, m_dwEndPos - m_dwStartPos ) (%ld,  %ld)",
              long(m_dwWaveOutBufferLength), long(n));
    bool ok = false;
    if (n == 0) {
        LogRaw("CWaveOut::m_nIndexWaveHdr return false 001");
    } else if (Queue(n, waveconst::kBeginLoop | waveconst::kEndLoop, 300)) {
        m_dwStartPos = m_dwEndPos.load();
        ok = true;
    }
    m_dwWaveOutBufferLength = saved;
    return ok;
}

bool CWaveOut::Stop() {
    if (!m_hWaveOut)
        return true;
    m_dwStartPos = m_dwEndPos.load();
    const uint32_t r = m_port.Reset(m_hWaveOut);
    if (r != 0)
        return Fail(r);
    return true;
}

bool CWaveOut::Close() {
    LogRaw("WaveOut::Close( 001");
    if (m_hWaveOut) {
        LogRaw("WaveOut::Close( 002");
        if (!Stop()) {
            LogRaw("WaveOut:: Stop fail");
            return false;
        }
        const uint32_t r = m_port.Close(m_hWaveOut);
        if (r != 0) {
            Fail(r);
            LogRaw("WaveOut:: waveOutClose fail");
            return false;
        }
        LogRaw("WaveOut::Close( 003");
        std::lock_guard lock(m_mutex);
        m_hWaveOut = 0;
    }
    LogRaw("WaveOut::Close( 004");
    return true;
}

bool CWaveOut::IsPlaying() {
    std::lock_guard lock(m_mutex);
    if (m_nIndexWaveHdr < 0 || m_nIndexWaveHdr > 2)
        return false;
    const uint32_t f = m_WaveHdr[m_nIndexWaveHdr].flags;
    return f != 0 && !(f & waveconst::kDone);
}

}  // namespace vocastra
