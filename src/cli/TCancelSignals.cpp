#include "cli/TCancelSignals.h"

#include <atomic>

#include "base/Platform.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#else
#include <csignal>

#include <unistd.h>
#endif

namespace tavora {

namespace {

// Lock-free atomics may be used in signal handlers.
std::atomic<bool> gDeferred{false};
std::atomic<bool> gRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

constexpr char kLine[] = "tavora-cli: The run was cancelled.\n";

#ifdef _WIN32

BOOL WINAPI OnConsoleEvent(DWORD event) {
  if (!gDeferred.load()) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), kLine, sizeof kLine - 1, &written, nullptr);
    ExitProcess(1);
  }
  gRequested.store(true);
  RequestReadCancel();  // a read that waits for a pipe gives up
  // The system ends the process when this handler returns from these events: wait, so that
  // the run removes its temporaries and exits by itself first.
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
    Sleep(10000);
  return TRUE;
}

#else

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];
bool gInstalled[3] = {};

extern "C" void OnSignal(int) {
  if (!gDeferred.load()) {
    // write and _exit are async-signal-safe; nothing is written to the output folder yet.
    const ssize_t written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
    (void)written;
    ::_exit(1);
  }
  gRequested.store(true);
  RequestReadCancel();  // a read that waits for a FIFO or a pipe gives up
}

#endif

}  // namespace

TCancelSignals::TCancelSignals() {
  gDeferred = false;
  gRequested = false;
  ClearReadCancel();
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
#else
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal : kSignals) sigaddset(&action.sa_mask, signal);
  action.sa_flags = SA_RESTART;  // reads and writes go on; the flag is checked between them
  for (int i = 0; i < 3; ++i) {
    gInstalled[i] = false;
    if (sigaction(kSignals[i], nullptr, &gPrevious[i]) != 0) continue;
    if (gPrevious[i].sa_handler == SIG_IGN) continue;
    gInstalled[i] = sigaction(kSignals[i], &action, nullptr) == 0;
  }
#endif
}

TCancelSignals::~TCancelSignals() {
#ifdef _WIN32
  SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
#else
  for (int i = 0; i < 3; ++i)
    if (gInstalled[i]) sigaction(kSignals[i], &gPrevious[i], nullptr);
#endif
  gDeferred = false;
}

void TCancelSignals::Defer() { gDeferred = true; }

bool TCancelSignals::Requested() { return gRequested.load(); }

}  // namespace tavora
