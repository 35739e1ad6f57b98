// The words of the device configuration file: its name, sections, keys and
// values. The setting dialog loads them from its string table when it
// initialises; until then they are empty.
#pragma once

#include <string>

namespace qv {

class DialogHost;

struct ConfigVocabulary {
  std::string fileName;          // "QV27-518.ini"
  std::string aliasSection;      // "Printer Alias"
  std::string nameSection;       // "Printer Name"
  std::string printerKeyPrefix;  // "Printer", followed by the 1-based port number
  std::string configSection;     // "Configuration"
  std::string portCountKey;      // "PortCount"
  std::string modeKey;           // "Mode"
  std::string ftpPathKey;        // "FtpPath"
  std::string selectA;           // "PA"
  std::string selectB;           // "PB"
  std::string selectC;           // "PC", four-printer layout only
  std::string selectD;           // "PD", four-printer layout only
  std::string broadcast;         // "Broadcast"
  std::string ftpOn;             // "FtpON", two-printer layout only
  std::string ftpOff;            // "FtpOFF", two-printer layout only
  std::string modeOnePc;         // "Mode1-2": the mode "1 PC to 2 Printers", and its selection key
  std::string modeTwoPcs;        // "Mode2-1": the mode "2 PCs to 1 Printer", and its transfer key
  std::string modeFour;          // "Mode1-4", four-printer layout

  // Loads the words that a layout of `printerCount` switch ports uses.
  void Load(const DialogHost& host, int printerCount);

  std::string PrinterKey(int number) const { return printerKeyPrefix + std::to_string(number); }
};

}  // namespace qv
