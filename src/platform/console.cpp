#include "platform/console.h"

#include <csignal>

namespace rekoda {

namespace {

volatile std::sig_atomic_t caught = 0;

// The first signal is noted, for the work in hand to finish; a second one,
// back at the default, ends the process at once.
void onStopSignal(int sig) {
  caught = sig;
  std::signal(sig, SIG_DFL);
}

}  // namespace

void CatchStopSignals() {
  for (int sig : {SIGINT, SIGTERM
#ifdef SIGHUP
                  ,
                  SIGHUP
#endif
       })
    std::signal(sig, onStopSignal);
}

int StopSignal() { return caught; }

}  // namespace rekoda
