// Horavel as the tests of a desktop switch start it: the same program, but
// the shell's answers to "is the clock on the desktop the user looks at?"
// come from a file that the test writes, named in the environment variable
// HORAVEL_DESKTOP_ANSWER_FILE. Wine has no virtual desktops; the program
// that users get never reads such a file.
//
// The file: "elsewhere" is answered once as "not on this desktop" (the file
// then reads "consumed"); "error" makes the call fail and appends a dot per
// call; anything else, or no file, is an unreachable shell.
//
// Its freed memory is filled, and held back for a while before it goes
// back to the heap: an object used after its delete reads nonsense and
// shows, rather than its old values or those of the next object.

#include <windows.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app.h"
#include "comlib/unique_handle.h"
#include "view/virtual_desktop.h"

namespace {

constexpr wchar_t kAnswerFileVariable[] = L"HORAVEL_DESKTOP_ANSWER_FILE";
constexpr size_t kHeldBackBlocks = 1 << 16;
std::atomic<void*> g_heldBack[kHeldBackBlocks];
std::atomic<size_t> g_nextHeldBack{0};

std::string ReadSmallFile(const std::wstring& path) {
  const comlib::UniqueStdioFile file(_wfopen(path.c_str(), L"rb"));
  if (!file) return std::string();
  char buffer[256];
  const size_t read = fread(buffer, 1, sizeof(buffer), file.get());
  return std::string(buffer, read);
}

void WriteSmallFile(const std::wstring& path, const char* text, const wchar_t* mode) {
  const comlib::UniqueStdioFile file(_wfopen(path.c_str(), mode));
  if (file) fputs(text, file.get());
}

class ScriptedDesktopQuery : public VirtualDesktopQuery {
 public:
  explicit ScriptedDesktopQuery(std::wstring path) : path_(std::move(path)) {}

  bool Ask(HWND, HRESULT* status, BOOL* onCurrentDesktop) override {
    const std::string script = path_.empty() ? std::string() : ReadSmallFile(path_);
    *onCurrentDesktop = FALSE;
    if (script.rfind("elsewhere", 0) == 0) {
      WriteSmallFile(path_, "consumed", L"wb");
      *status = S_OK;
      return true;
    }
    if (script.rfind("error", 0) == 0) {
      WriteSmallFile(path_, ".", L"ab");
      *status = E_FAIL;
      return true;
    }
    return false;
  }

 private:
  std::wstring path_;
};

std::wstring AnswerFile() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetEnvironmentVariableW(kAnswerFileVariable, path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(path) : std::wstring();
}

}  // namespace

// The runtime's own operator new takes its blocks from malloc.
void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  std::memset(block, 0xDD, _msize(block));
  std::free(g_heldBack[g_nextHeldBack++ % kHeldBackBlocks].exchange(block));
}

void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  ScriptedDesktopQuery desktop(AnswerFile());
  return RunHoravel(desktop);
}
