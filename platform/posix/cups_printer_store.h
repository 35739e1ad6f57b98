// The printer store of the linux build, over CUPS: the device list is the
// user's CUPS destinations (name, or name/instance, with the device URI as
// the description), and the default entry is the user's own default
// destination, kept in the user's lpoptions, never in the server's settings.
// No call waits on the server longer than a few seconds.
#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "platform/posix/bounded_call.h"
#include "platform/printer_store.h"

namespace qv::posix {

class CupsPrinterStore final : public PrinterStore {
 public:
  // Every call to the print server is given at most `limit`; one that gets
  // no answer in time behaves as a server that does not run.
  explicit CupsPrinterStore(std::chrono::milliseconds limit = kPrintServerLimit) : limit_(limit) {}

  // Takes a snapshot of the destinations. With no print server the list
  // opens and is empty.
  bool OpenDeviceList() override;
  unsigned DeviceCount() override;
  // A name longer than 255 bytes comes with the status ERROR_MORE_DATA, as
  // from the registry, so that no cut name can match; a longer device URI
  // is cut to 255 bytes.
  PrinterDeviceEntry Device(unsigned index) override;
  void CloseDeviceList() override;

  // `value` is a default entry, name + "," + description, as composed from
  // this store's own list. The destination is the first one whose own entry
  // equals the value (so a name that holds a comma still works); failing
  // that, the one named by the text before the first comma (so a bare name
  // works too). The default is written only when such a destination exists
  // and the server answers; false otherwise, with the default left alone.
  bool WriteDefaultDevice(std::string_view value) override;

  // The destinations with their state, model, location and description;
  // the switch's own queues say which printer of which port they are.
  std::vector<PrinterDescription> DescribePrinters() override;

 private:
  struct Destination {
    std::string name;  // "name" or "name/instance"
    std::string deviceUri;
  };
  std::chrono::milliseconds limit_;
  std::vector<Destination> list_;
};

}  // namespace qv::posix
