#include "support/helpers.h"

#include "window/owner_thread.h"

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    return WaitUntilProcessing(done, timeoutMs);
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::string ReadText(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::string();
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

bool WriteText(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() ||
                    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    return WriteText(path, std::string(bytes.begin(), bytes.end()));
}

std::string TestExecutable() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return exe;
}

std::string TestFolder() {
    std::string folder = TestExecutable();
    folder.erase(folder.find_last_of('\\') + 1);
    return folder;
}

HelperProcess::~HelperProcess() {
    if (process_.hProcess == nullptr) return;
    if (WaitForSingleObject(process_.hProcess, grace_) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 99);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool HelperProcess::Start(const std::string& command, DWORD flags, bool noStdHandles,
                          const std::string& application) {
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    if (noStdHandles) si.dwFlags = STARTF_USESTDHANDLES;
    std::string line = command;
    return CreateProcessA(application.empty() ? nullptr : application.c_str(), line.data(), nullptr,
                          nullptr, FALSE, flags, nullptr, nullptr, &si, &process_) != FALSE;
}

bool HelperProcess::WaitForExit(DWORD timeoutMs) {
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool HelperProcess::Ended() const {
    return process_.hProcess == nullptr || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0;
}

DWORD HelperProcess::ExitCode() const {
    DWORD code = 99;
    if (process_.hProcess != nullptr) GetExitCodeProcess(process_.hProcess, &code);
    return code;
}
