#pragma once

namespace tavora {

// Ends a run of the command line the way a cancel does on SIGINT (Ctrl+C), SIGTERM (sent by
// job schedulers) and SIGHUP (a closed terminal); on Windows on Ctrl+C, Ctrl+Break and the
// closing of the console. A signal that the program was started with ignored (SIGHUP under
// nohup) stays ignored.
//
// Until Defer nothing has been written: a signal ends the program at once with exit status 1
// and "tavora-cli: The run was cancelled." on standard error. From Defer on the handler only
// sets a flag (Requested), which the run's progress callback and its writers check: the run
// then removes its temporary files, leaves the output folder as it was and ends with
// TRunCancelled. The handlers do nothing else, so they stay async-signal-safe.
class TCancelSignals {
 public:
  static constexpr const char* kMessage = "The run was cancelled.";

  TCancelSignals();   // installs the handlers
  ~TCancelSignals();  // puts the previous ones back
  TCancelSignals(const TCancelSignals&) = delete;
  TCancelSignals& operator=(const TCancelSignals&) = delete;

  // From now on a signal asks the run to stop instead of ending the program.
  void Defer();
  // Whether a signal has asked the run to stop since Defer.
  [[nodiscard]] static bool Requested();
};

}  // namespace tavora
