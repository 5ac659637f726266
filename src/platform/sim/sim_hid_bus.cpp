#include "platform/sim/sim_hid_bus.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

namespace vocastra {

SimHidBus::SimHidBus(Clock& clock, uint16_t vendorId, uint16_t productId)
    : m_handset(clock), m_vendorId(vendorId), m_productId(productId) {
    m_handset.SetInputSink([this](std::vector<uint8_t> r) { QueueInput(std::move(r)); });
}

SimHidBus::~SimHidBus() {
    m_handset.SetInputSink(nullptr);
}

void SimHidBus::SetIds(uint16_t vendorId, uint16_t productId) {
    std::lock_guard lock(m_mutex);
    m_vendorId = vendorId;
    m_productId = productId;
}

std::string SimHidBus::CollectionPath(int collection) const {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "\\\\?\\hid#vid_%04x&pid_%04x&mi_03&col%02d#7&2b5f0c1a&0&%04d#"
                  "{4d1e55b2-f16f-11cf-88cb-001111000030}",
                  m_vendorId, m_productId, collection, collection - 1);
    std::string p = buf;
    if (m_upperCase)
        std::transform(p.begin(), p.end(), p.begin(),
                       [](unsigned char c) { return std::toupper(c); });
    return p;
}

std::string SimHidBus::OutputPath() const {
    return CollectionPath(1);
}
std::string SimHidBus::InputPath() const {
    return CollectionPath(2);
}

std::vector<HidInterfaceInfo> SimHidBus::HandsetInterfaces() const {
    std::vector<HidInterfaceInfo> out;
    if (!m_plugged)
        return out;
    HidInterfaceInfo o;
    o.path = OutputPath();
    o.vendorId = m_vendorId;
    o.productId = m_productId;
    o.usagePage = 0xFF00;
    o.usage = 0x01;
    o.inputReportLength = 0;
    o.outputReportLength = m_outputLength;
    HidInterfaceInfo i = o;
    i.path = InputPath();
    i.usage = 0xA5;
    i.inputReportLength = m_inputLength;
    i.outputReportLength = 0;
    if (m_collections != Collections::InputOnly)
        out.push_back(o);
    if (m_collections != Collections::OutputOnly)
        out.push_back(i);
    return out;
}

std::vector<HidInterfaceInfo> SimHidBus::EnumerateInterfaces() {
    std::lock_guard lock(m_mutex);
    // Foreign devices first, as Wine lists its own mouse and keyboard first.
    std::vector<HidInterfaceInfo> out = m_foreign;
    for (auto& i : HandsetInterfaces())
        out.push_back(i);
    return out;
}

HidHandle SimHidBus::Open(const std::string& path, uint32_t* error) {
    std::lock_guard lock(m_mutex);
    bool present = false;
    for (const auto& i : HandsetInterfaces())
        present |= i.path == path;
    for (const auto& i : m_foreign)
        present |= i.path == path;
    if (!present) {
        if (error)
            *error = kHidErrorFileNotFound;
        return kInvalidHidHandle;
    }
    const HidHandle h = m_nextHandle++;
    m_handles[h] = OpenHandle{path, false, false, m_generation};
    return h;
}

std::size_t SimHidBus::Read(HidHandle h, uint8_t* buf, std::size_t len, uint32_t* error) {
    std::unique_lock lock(m_mutex);
    auto fail = [&](uint32_t code) -> std::size_t {
        if (error)
            *error = code;
        return 0;
    };
    const std::string inputPath = InputPath();
    for (;;) {
        auto it = m_handles.find(h);
        if (it == m_handles.end())
            return fail(kHidErrorInvalidHandle);
        OpenHandle& oh = it->second;
        if (oh.cancelled) {
            oh.cancelled = false;
            return fail(kHidErrorOperationAborted);
        }
        if (oh.dead)
            return fail(kHidErrorNotConnected);
        const bool isHandsetInput = oh.path == inputPath;
        if (isHandsetInput && m_failReads > 0) {
            --m_failReads;
            return fail(kHidErrorGenFailure);
        }
        if (isHandsetInput && !m_input.empty()) {
            std::vector<uint8_t> r = std::move(m_input.front());
            m_input.pop_front();
            const std::size_t n = std::min(len, r.size());
            if (n)
                std::memcpy(buf, r.data(), n);
            if (n == 0)
                return fail(kHidErrorGenFailure);
            return n;
        }
        if (!m_blocking)
            return fail(kHidErrorOperationAborted);
        m_cv.wait(lock);
    }
}

bool SimHidBus::Write(HidHandle h, const uint8_t* buf, std::size_t len, uint32_t* error) {
    {
        std::lock_guard lock(m_mutex);
        auto it = m_handles.find(h);
        uint32_t code = 0;
        if (it == m_handles.end())
            code = kHidErrorInvalidHandle;
        else if (it->second.dead)
            code = kHidErrorNotConnected;
        else if (it->second.path != OutputPath() || len != m_outputLength)
            code = kHidErrorGenFailure;  // the collection has no such output report
        if (code) {
            if (error)
                *error = code;
            return false;
        }
    }
    m_handset.OnOutputReport(buf, len);
    bool pull = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_unplugAfterWrites > 0)
            pull = --m_unplugAfterWrites == 0;
    }
    if (pull)
        Unplug();
    return true;
}

void SimHidBus::CancelRead(HidHandle h) {
    std::lock_guard lock(m_mutex);
    auto it = m_handles.find(h);
    if (it != m_handles.end())
        it->second.cancelled = true;
    m_cv.notify_all();
}

void SimHidBus::Close(HidHandle h) {
    std::lock_guard lock(m_mutex);
    m_handles.erase(h);
    m_cv.notify_all();
}

void SimHidBus::RegisterDeviceNotification(HidDeviceListener* listener) {
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

void SimHidBus::Announce(bool arrival, const std::vector<std::string>& paths) {
    HidDeviceListener* l;
    {
        std::lock_guard lock(m_mutex);
        l = m_listener;
    }
    if (!l)
        return;
    for (const auto& p : paths) {
        if (arrival)
            l->OnHidDeviceArrival(p);
        else
            l->OnHidDeviceRemoval(p);
    }
}

void SimHidBus::Plug(Collections collections) {
    std::vector<std::string> paths;
    {
        std::lock_guard lock(m_mutex);
        if (m_plugged)
            return;
        m_plugged = true;
        m_collections = collections;
        ++m_generation;
        m_input.clear();
        for (const auto& i : HandsetInterfaces())
            paths.push_back(i.path);
    }
    m_handset.PowerCycle();
    m_handset.Note("HANDSET plugged");
    Announce(true, paths);
}

void SimHidBus::Unplug() {
    std::vector<std::string> paths;
    {
        std::lock_guard lock(m_mutex);
        if (!m_plugged)
            return;
        for (const auto& i : HandsetInterfaces())
            paths.push_back(i.path);
        m_plugged = false;
        m_input.clear();
        for (auto& [h, oh] : m_handles)
            if (std::find(paths.begin(), paths.end(), oh.path) != paths.end())
                oh.dead = true;
        m_cv.notify_all();
    }
    m_handset.Note("HANDSET unplugged");
    Announce(false, paths);
}

bool SimHidBus::IsPlugged() const {
    std::lock_guard lock(m_mutex);
    return m_plugged;
}

void SimHidBus::SetDeclaredLengths(uint16_t inputLength, uint16_t outputLength) {
    std::lock_guard lock(m_mutex);
    m_inputLength = inputLength;
    m_outputLength = outputLength;
}

void SimHidBus::SetUpperCasePaths(bool upper) {
    std::lock_guard lock(m_mutex);
    m_upperCase = upper;
}

void SimHidBus::AddForeignInterface(const HidInterfaceInfo& info) {
    std::lock_guard lock(m_mutex);
    m_foreign.push_back(info);
}

void SimHidBus::AnnounceArrival(const std::string& path) {
    Announce(true, {path});
}
void SimHidBus::AnnounceRemoval(const std::string& path) {
    Announce(false, {path});
}

void SimHidBus::FailNextReads(int count) {
    std::lock_guard lock(m_mutex);
    m_failReads = count;
    m_cv.notify_all();
}

void SimHidBus::UnplugAfterWrites(int count) {
    std::lock_guard lock(m_mutex);
    m_unplugAfterWrites = count;
}

void SimHidBus::SetBlockingReads(bool blocking) {
    std::lock_guard lock(m_mutex);
    m_blocking = blocking;
    m_cv.notify_all();
}

std::size_t SimHidBus::PendingInputReports() const {
    std::lock_guard lock(m_mutex);
    return m_input.size();
}

int SimHidBus::OpenHandleCount() const {
    std::lock_guard lock(m_mutex);
    return static_cast<int>(m_handles.size());
}

void SimHidBus::QueueInput(std::vector<uint8_t> report) {
    std::lock_guard lock(m_mutex);
    // An unplugged handset sends nothing.
    if (!m_plugged || m_collections == Collections::OutputOnly)
        return;
    m_input.push_back(std::move(report));
    m_cv.notify_all();
}

}  // namespace vocastra
