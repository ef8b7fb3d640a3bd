#pragma once
// The small helpers every kind of test uses: one wait loop, one screen pixel
// reader, one file helper, and one launcher of helper programs. (The
// temporary folder is support/temp_folder.h.)

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Waits until `done` holds or the time is up, processing this thread's
// messages meanwhile (windows owned here stay responsive).
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// The colour the screen shows at (x, y).
COLORREF ScreenPixel(int x, int y);

// A whole file; empty when it cannot be read.
std::string ReadText(const std::string& path);
// Writes the file anew; false when not all of it was written.
bool WriteText(const std::string& path, const std::string& bytes);
bool WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// The test executable and its folder (with the trailing backslash), where the
// helper programs are built too.
std::string TestExecutable();
std::string TestFolder();

// A program a test starts (a helper program, the test executable itself, or
// the built program). When the object goes, the program is given `grace` ms
// to end by itself, then ended.
class HelperProcess {
public:
    HelperProcess() = default;
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    // `command` names the program first (quoted); `application`, when given,
    // is the program's path apart. `flags` as CreateProcess takes them;
    // `noStdHandles` gives it no standard handles, so nothing it leaves
    // behind holds the test runner's output open.
    bool Start(const std::string& command, DWORD flags = 0, bool noStdHandles = false,
               const std::string& application = {});
    void SetGrace(DWORD ms) { grace_ = ms; }
    // True when it has ended (at once or within `timeoutMs`).
    bool WaitForExit(DWORD timeoutMs);
    bool Ended() const;
    DWORD ExitCode() const;
    HANDLE Handle() const { return process_.hProcess; }
    DWORD Id() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
    DWORD grace_ = 5000;
};
