// The backend as the tests build it: the product's program over the port
// stand-in (tests/support/standin_ppdev_calls.h).
#include "backend/backend_program.h"
#include "tests/support/standin_ppdev_calls.h"

int main(int argc, char** argv) {
  qv::testing::StandInPpdevCalls calls;
  return qv::backend::RunBackend(argc, argv, calls);
}
