#include "harness.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <string_view>

namespace e2e {

Process::Process(Process&& o) noexcept : m_pi(o.m_pi) {
    o.m_pi = {};
}

Process& Process::operator=(Process&& o) noexcept {
    if (this != &o) {
        Kill();
        m_pi = o.m_pi;
        o.m_pi = {};
    }
    return *this;
}

Process::~Process() {
    Kill();
}

namespace {

// The job every child joins; its port reports processes joining and the job
// running empty, in order. Never closed: the runner's end closes it, and
// KILL_ON_JOB_CLOSE then ends what is left.
struct ChildJob {
    HANDLE job = nullptr;
    HANDLE port = nullptr;
    bool used = false;

    ChildJob() {
        job = ::CreateJobObjectW(nullptr, nullptr);
        port = ::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1);
        if (!job || !port)
            return;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        JOBOBJECT_ASSOCIATE_COMPLETION_PORT assoc{};
        assoc.CompletionKey = job;
        assoc.CompletionPort = port;
        if (!::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits,
                                       sizeof(limits)) ||
            !::SetInformationJobObject(job, JobObjectAssociateCompletionPortInformation, &assoc,
                                       sizeof(assoc)))
            job = nullptr;
    }
};

ChildJob& Job() {
    static ChildJob j;
    return j;
}

// Inheritable handles for a child's standard streams: the null device, and a
// copy of the runner's error output (or the null device when it has none).
struct ChildStdio {
    HANDLE nul = INVALID_HANDLE_VALUE;
    HANDLE err = INVALID_HANDLE_VALUE;

    ChildStdio() {
        SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, TRUE};
        nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
        const HANDLE own = ::GetStdHandle(STD_ERROR_HANDLE);
        if (own == nullptr || own == INVALID_HANDLE_VALUE ||
            !::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &err, 0, TRUE,
                               DUPLICATE_SAME_ACCESS))
            err = nul;
    }
};

const ChildStdio& Stdio() {
    static const ChildStdio s;
    return s;
}

// The name of an environment entry "NAME=value"; an entry may begin with
// "=" (the per-drive directories), which is part of its name.
std::wstring_view EnvName(std::wstring_view entry) {
    const std::size_t eq = entry.find(L'=', 1);
    return entry.substr(0, eq == std::wstring_view::npos ? entry.size() : eq);
}

// Whether `entry` names a variable that one of `env` sets; names compare
// without regard to case, as Windows compares them.
bool NamedIn(const std::vector<std::wstring>& env, std::wstring_view entry) {
    const std::wstring_view name = EnvName(entry);
    for (const auto& e : env) {
        const std::wstring_view other = EnvName(e);
        if (other.size() == name.size() &&
            ::CompareStringOrdinal(other.data(), static_cast<int>(other.size()), name.data(),
                                   static_cast<int>(name.size()), TRUE) == CSTR_EQUAL)
            return true;
    }
    return false;
}

}  // namespace

Process Process::Start(const std::wstring& exe, const std::wstring& args,
                       const std::wstring& workDir, const std::vector<std::wstring>& env) {
    std::wstring cmd = Quote(exe);
    if (!args.empty())
        cmd += L" " + args;
    std::vector<wchar_t> cmdBuf(cmd.begin(), cmd.end());
    cmdBuf.push_back(L'\0');

    std::vector<wchar_t> envBlock;
    if (!env.empty()) {
        if (wchar_t* cur = ::GetEnvironmentStringsW()) {
            const wchar_t* p = cur;
            while (*p) {
                const std::size_t n = wcslen(p);
                // A variable the caller gives replaces the inherited one: with
                // both in the block, the child may well see the old value.
                if (!NamedIn(env, std::wstring_view(p, n)))
                    envBlock.insert(envBlock.end(), p, p + n + 1);
                p += n + 1;
            }
            ::FreeEnvironmentStringsW(cur);
        }
        for (const auto& e : env)
            envBlock.insert(envBlock.end(), e.c_str(), e.c_str() + e.size() + 1);
        envBlock.push_back(L'\0');
    }

    ChildJob& job = Job();
    const ChildStdio& io = Stdio();
    if (!job.job || io.nul == INVALID_HANDLE_VALUE)
        throw Failure{"cannot prepare the job or the handles for child processes (error " +
                      std::to_string(::GetLastError()) + ")"};

    // Only the two stream handles are inherited, nothing else the runner holds.
    HANDLE inherited[2] = {io.nul, io.err};
    const DWORD inheritedCount = io.err == io.nul ? 1 : 2;
    SIZE_T attrSize = 0;
    ::InitializeProcThreadAttributeList(nullptr, 1, 0, &attrSize);
    std::vector<unsigned char> attrBuf(attrSize);
    auto* attrs = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attrBuf.data());
    if (!::InitializeProcThreadAttributeList(attrs, 1, 0, &attrSize))
        throw Failure{"cannot prepare the start of " + Narrow(exe)};
    const bool listed =
        ::UpdateProcThreadAttribute(attrs, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                    inheritedCount * sizeof(HANDLE), nullptr, nullptr) != FALSE;

    STARTUPINFOEXW si{};
    si.StartupInfo.cb = sizeof(si);
    si.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    si.StartupInfo.hStdInput = io.nul;
    si.StartupInfo.hStdOutput = io.nul;
    si.StartupInfo.hStdError = io.err;
    si.lpAttributeList = attrs;
    // Suspended until it is in the job, so whatever it starts is in it too.
    const DWORD flags = CREATE_SUSPENDED | EXTENDED_STARTUPINFO_PRESENT |
                        (env.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT);
    Process p;
    const BOOL started =
        listed &&
        ::CreateProcessW(exe.c_str(), cmdBuf.data(), nullptr, nullptr, TRUE, flags,
                         env.empty() ? nullptr : envBlock.data(),
                         workDir.empty() ? nullptr : workDir.c_str(), &si.StartupInfo, &p.m_pi);
    const DWORD startError = ::GetLastError();
    ::DeleteProcThreadAttributeList(attrs);
    if (!started)
        throw Failure{"cannot start " + Narrow(exe) + " (error " + std::to_string(startError) +
                      ")"};
    if (!::AssignProcessToJobObject(job.job, p.m_pi.hProcess)) {
        const DWORD e = ::GetLastError();
        p.Kill();
        throw Failure{"cannot put " + Narrow(exe) + " into the runner's job (error " +
                      std::to_string(e) + ")"};
    }
    job.used = true;
    ::ResumeThread(p.m_pi.hThread);
    return p;
}

bool EndAllProcesses(DWORD ms) {
    ChildJob& job = Job();
    if (!job.used)
        return true;
    ::TerminateJobObject(job.job, 1);
    // A process joining sets `alive`; the job running empty clears it. Once
    // the queue is read and nothing is alive, every process is gone.
    bool alive = false;
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
        DWORD wait = 0;
        if (alive) {
            const ULONGLONG now = ::GetTickCount64();
            if (now >= end)
                return false;
            wait = static_cast<DWORD>(end - now);
        }
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED pid = nullptr;
        if (!::GetQueuedCompletionStatus(job.port, &message, &key, &pid, wait)) {
            if (!alive)
                return true;
            continue;
        }
        if (message == JOB_OBJECT_MSG_NEW_PROCESS)
            alive = true;
        else if (message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO)
            alive = false;
    }
}

bool Process::Running() const {
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT;
}

bool Process::WaitExit(DWORD ms) const {
    return m_pi.hProcess && ::WaitForSingleObject(m_pi.hProcess, ms) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_pi.hProcess)
        ::GetExitCodeProcess(m_pi.hProcess, &code);
    return code;
}

void Process::Kill() {
    if (!m_pi.hProcess)
        return;
    // Gone means gone: closing the handle of a process still ending would
    // leave it holding the runner's output pipe.
    if (Running())
        ::TerminateProcess(m_pi.hProcess, 1);
    ::WaitForSingleObject(m_pi.hProcess, INFINITE);
    ::CloseHandle(m_pi.hProcess);
    ::CloseHandle(m_pi.hThread);
    m_pi = {};
}

int RunHelper(const std::wstring& exe, const std::wstring& args, DWORD ms) {
    Process p = Process::Start(exe, args);
    if (!p.WaitExit(ms))
        return -1;
    return static_cast<int>(p.ExitCode());
}

HWND FindMainWindow() {
    return ::FindWindowW(nullptr, kMainWindowTitle);
}

bool WaitUntil(const std::function<bool()>& pred, DWORD ms) {
    const ULONGLONG end = ::GetTickCount64() + ms;
    for (;;) {
        if (pred())
            return true;
        if (::GetTickCount64() >= end)
            return false;
        ::Sleep(10);
    }
}

HWND WaitForMainWindow(DWORD pid, DWORD ms) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            HWND h = FindMainWindow();
            DWORD owner = 0;
            if (h)
                ::GetWindowThreadProcessId(h, &owner);
            if (h && owner == pid)
                found = h;
            return found != nullptr;
        },
        ms);
    return found;
}

std::wstring Join(const std::wstring& dir, const std::wstring& name) {
    if (dir.empty())
        return name;
    const wchar_t last = dir.back();
    return (last == L'\\' || last == L'/') ? dir + name : dir + L"\\" + name;
}

bool FileExists(const std::wstring& path) {
    const DWORD a = ::GetFileAttributesW(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw Failure{"cannot write " + Narrow(path)};
}

namespace {
bool IsUtf16(const std::string& bytes) {
    return bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
}
}  // namespace

std::string ReadTextFile(const std::wstring& path) {
    const std::string bytes = ReadFileBytes(path);
    if (!IsUtf16(bytes))
        return bytes;
    std::wstring w((bytes.size() - 2) / 2, L'\0');
    std::memcpy(w.data(), bytes.data() + 2, w.size() * sizeof(wchar_t));
    return Narrow(w);
}

void AppendTextFile(const std::wstring& path, const std::string& utf8) {
    std::string bytes = ReadFileBytes(path);
    if (IsUtf16(bytes)) {
        const std::wstring w = WideFromUtf8(utf8);
        bytes.append(reinterpret_cast<const char*>(w.data()), w.size() * sizeof(wchar_t));
    } else {
        bytes += utf8;
    }
    WriteFileBytes(path, bytes);
}

namespace {

void RemoveTree(const std::wstring& dir) {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(Join(dir, L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring p = Join(dir, name);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(p);
            else
                ::DeleteFileW(p.c_str());
        } while (::FindNextFileW(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(dir.c_str());
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    ::CreateDirectoryW(to.c_str(), nullptr);
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(Join(from, L"*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            CopyTree(Join(from, name), Join(to, name));
        else
            ::CopyFileW(Join(from, name).c_str(), Join(to, name).c_str(), FALSE);
    } while (::FindNextFileW(h, &fd));
    ::FindClose(h);
}

void MakeDirs(const std::wstring& dir) {
    for (std::size_t i = 3; i <= dir.size(); ++i)
        if (i == dir.size() || dir[i] == L'\\')
            ::CreateDirectoryW(dir.substr(0, i).c_str(), nullptr);
}

}  // namespace

std::wstring PrepareInstall(const Context& ctx, const std::wstring& name) {
    const std::wstring dir = Join(ctx.workRoot, name);
    RemoveTree(dir);
    MakeDirs(dir);
    const std::wstring exe = Join(dir, L"vocastra.exe");
    if (!::CopyFileW(ctx.vocastraExe.c_str(), exe.c_str(), FALSE))
        throw Failure{"cannot copy " + Narrow(ctx.vocastraExe) + " to " + Narrow(dir)};
    // The data folder is installed beside the exe.
    const std::wstring data = Join(ctx.sourceDir, L"data");
    if (::GetFileAttributesW(data.c_str()) != INVALID_FILE_ATTRIBUTES)
        CopyTree(data, dir);
    return exe;
}

std::string Narrow(const std::wstring& w) {
    if (w.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), nullptr,
                                        0, nullptr, nullptr);
    std::string s(n, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr,
                          nullptr);
    return s;
}

std::wstring WideFromUtf8(const std::string& s) {
    if (s.empty())
        return {};
    const int n =
        ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(n, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::wstring Quote(const std::wstring& arg) {
    return L"\"" + arg + L"\"";
}

std::vector<Scenario>& Scenarios() {
    static std::vector<Scenario> all;
    return all;
}

}  // namespace e2e
