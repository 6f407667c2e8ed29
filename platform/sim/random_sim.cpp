// The simulated Windows' generator: a fixed sequence, so that runs repeat exactly.
#include "platform/random.h"

#include "platform/sim/machine/sim_machine.h"

namespace platform {

uint32_t RandomNumber() { return sim::CurrentMachine().system.NextRandom(); }

}  // namespace platform
