// The CUPS backend qv27-518: one queue per printer of the switch on the
// parallel port, the selection command before each job's data.
#include "backend/backend_program.h"

int main(int argc, char** argv) {
  qv::posix::SystemPpdevCalls calls;
  return qv::backend::RunBackend(argc, argv, calls);
}
