// A CUPS filter of the tests' own that asks the backend what printer drivers'
// filters ask, the way they do: before its first byte of output, and a drain
// after the first half of the job, each time waiting for the answer. It
// prints what it was told with the job, so that the test reads it on the port:
// "bidi S D\nconnected S D\ndevice-id S\n", the first half, "drain S\n", the
// second half, where S is the status and D the answer's byte.
#include <cups/sidechannel.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// The status of one request's answer, and its first byte when it has one.
std::string Ask(cups_sc_command_t command, double timeout) {
  char data[64];
  int length = sizeof data;
  const cups_sc_status_t status = cupsSideChannelDoRequest(command, data, &length, timeout);
  return std::to_string(status) + (length > 0 ? " " + std::to_string(data[0]) : "");
}

void Put(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7) return 1;
  std::ifstream file(argv[6], std::ios::binary);
  const std::string job{std::istreambuf_iterator<char>(file), {}};
  if (std::strstr(argv[5], "qv-garbage")) {
    // A message no filter should send: a command out of range, a length
    // beyond its bytes.
    write(CUPS_SC_FD, "\x7f\x00\xff\xffxx", 6);
    usleep(200'000);
    Put("connected " + Ask(CUPS_SC_CMD_GET_CONNECTED, 2) + "\n" + job);
    return 0;
  }
  Put("bidi " + Ask(CUPS_SC_CMD_GET_BIDI, 2) + "\nconnected " + Ask(CUPS_SC_CMD_GET_CONNECTED, 2) +
      "\ndevice-id " + Ask(CUPS_SC_CMD_GET_DEVICE_ID, 2) + "\n");
  const std::size_t half = job.size() / 2;
  Put(job.substr(0, half));
  Put("drain " + Ask(CUPS_SC_CMD_DRAIN_OUTPUT, 10) + "\n");
  Put(job.substr(half));
  return 0;
}
