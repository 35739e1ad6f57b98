#include "tests/installer/hostile_media.h"

#include <algorithm>

#include "tests/support/szdd.h"

// The table leaves the fields of a case that it does not need at their
// defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace qv::hostile {
namespace {

const std::string kDamaged = "Information file is damaged (";
const std::string kTerminate = "). Program will terminate!";
const std::string kFailed = "System installs files unsuccessfully. Program will terminate!";
const std::string kDone = "System completes installation successfully.";

std::string Damaged(const std::string& line) { return kDamaged + line + kTerminate; }

MediumFile InfFile(std::string text) { return {"QV27-518.INF", std::move(text)}; }

const std::string kPlainLine = "1:PLAIN.DAT, 1, PLAIN.DAT, 1, N, N, N";
const std::string kConfiguration = "DefInstallDir=C:\\QV27-518\r\nInitialFile=QV27-518.ini\r\n";

// A medium whose one file line is `line`, with PLAIN.DAT and PAYLOAD.SH on it.
std::vector<MediumFile> OneLine(const std::string& line, const std::string& extra = "") {
  return {InfFile(Inf({line}, extra)), {"PLAIN.DAT", "plain"}, {"PAYLOAD.SH", "#!/bin/sh\necho owned\n"}};
}
// A medium that installs PLAIN.DAT, under this configuration section.
std::vector<MediumFile> Plain(const std::string& configuration = kConfiguration) {
  return {InfFile(Inf({kPlainLine}, "", configuration)), {"PLAIN.DAT", "plain"}};
}
// A file line that the medium rule refuses: the medium is damaged.
HostileCase Refused(const char* name, const std::string& line) {
  return {name, true, OneLine(line), {Damaged("[Program] file1=" + line)}, {}};
}
std::string SecondDir(const std::string& dir) {
  return kConfiguration + "[Directory]\r\ndirs=2\r\ndir1=.\r\ndir2=" + dir + "\r\n";
}

std::vector<HostileCase> Build() {
  std::string sizedSzdd = testing::CompressSzdd("0123456789abcdef0123456789");
  sizedSzdd.replace(10, 4, std::string("\x05\0\0\0", 4));  // the header promises 5 bytes
  return {
      // A destination or directory entry that steps out of the install path.
      Refused("parent-step-destination", "1:PAYLOAD.SH, 1, ..\\.bashrc, 1, N, N, N"),
      Refused("slash-parent-step", "1:PAYLOAD.SH, 1, ../.profile, 1, N, N, N"),
      Refused("deep-parent-steps", "1:PLAIN.DAT, 1, ..\\..\\..\\x, 1, N, N, N"),
      Refused("dotted-parent-step", "1:PLAIN.DAT, 1, ... \\x, 1, N, N, N"),
      {"autostart-directory", true,
       {InfFile(Inf({kPlainLine, "1:EVIL.DSK, 1, evil.desktop, 2, N, N, N"}, "",
                    SecondDir("\\..\\.config\\autostart"))),
        {"PLAIN.DAT", "plain"},
        {"EVIL.DSK", "[Desktop Entry]\nExec=sh -c 'echo owned'\n"}},
       {Damaged("[Directory] dir2=\\..\\.config\\autostart")}, {}},
      Refused("source-outside-medium", "1:..\\..\\SECRET, 1, STOLEN, 1, N, N, N"),
      Refused("drive-of-its-own", "1:PLAIN.DAT, 1, D:\\X.EXE, 1, N, N, N"),
      Refused("rooted-name", "1:PLAIN.DAT, 1, \\X.EXE, 1, N, N, N"),
      Refused("stream-name", "1:PLAIN.DAT, 1, PLAIN.DAT:HIDDEN, 1, N, N, N"),
      Refused("device-name", "1:PLAIN.DAT, 1, CON, 1, N, N, N"),
      Refused("device-name-with-space", "1:PLAIN.DAT, 1, NUL .TXT, 1, N, N, N"),
      {"unc-directory", true,
       {InfFile(Inf({"1:PLAIN.DAT, 1, PLAIN.DAT, 2, N, N, N"}, "", SecondDir("\\\\SERVER\\SHARE"))),
        {"PLAIN.DAT", "plain"}},
       {Damaged("[Directory] dir2=\\\\SERVER\\SHARE")}, {}},
      {"initial-file-path", true,
       Plain("DefInstallDir=C:\\QV27-518\r\nInitialFile=C:\\.bashrc\r\n"),
       {Damaged("[Configuration] InitialFile=C:\\.bashrc")}, {}},
      {"initial-file-device", true, Plain("DefInstallDir=C:\\QV27-518\r\nInitialFile=NUL .ini\r\n"),
       {Damaged("[Configuration] InitialFile=NUL .ini")}, {}},
      {"group-item-outside", true,
       OneLine(kPlainLine,
               "[Program Group Info]\r\nfiles=1\r\nfile1=..\\..\\..\\bin\\true, True\r\n"),
       {Damaged("[Program Group Info] file1=..\\..\\..\\bin\\true, True")}, {}},
      {"install-path-parent-step", true,
       Plain("DefInstallDir=C:\\..\\OUTSIDE\\INST\r\nInitialFile=QV27-518.ini\r\n"),
       {"Installation path is invalid.", "Are you sure to exit program?"}, {}},
      {"information-file-too-large", true,
       {InfFile(Inf({kPlainLine}) + ";" + std::string(1 << 20, 'x') + "\r\n"),
        {"PLAIN.DAT", "plain"}},
       {"Information file (QV27-518.INF) is too large. Program will terminate!"}, {}},
      // What only Linux media can hold.
      {"unreadable-information-file", false,
       {{"QV27-518.INF", Inf({kPlainLine}), Kind::Regular, 0}, {"PLAIN.DAT", "plain"}},
       {"Information file (QV27-518.INF) cannot be found. Program will terminate!"}, {}},
      {"fifo-information-file", false,
       {{"QV27-518.INF", "", Kind::Fifo}},
       {"Information file (QV27-518.INF) cannot be found. Program will terminate!"}, {}},
      {"fifo-source", false,
       {InfFile(Inf({"1:PIPE.DAT, 1, PIPE.DAT, 1, N, N, N"})), {"PIPE.DAT", "", Kind::Fifo}},
       {"Error to open file: %M/PIPE.DAT", kFailed}, {}},
      {"link-to-device", false,
       {InfFile(Inf({"1:ZERO.DAT, 1, ZERO.DAT, 1, N, N, N"})), {"ZERO.DAT", "/dev/zero", Kind::LinkToDevice}},
       {"Error to open file: %M/ZERO.DAT", kFailed}, {}},
      {"link-to-private-file", false,
       {InfFile(Inf({"1:KEY.DAT, 1, KEY.DAT, 1, N, N, N"})), {"KEY.DAT", ".ssh/id_rsa", Kind::LinkToHome}},
       {"Error to open file: %M/KEY.DAT", kFailed}, {}},
      {"szdd-longer-than-its-header", false,
       {InfFile(Inf({"1:LONG.DA_, 1, LONG.DAT, 1, N, N, N"})), {"LONG.DA_", sizedSzdd}},
       {"Error to open file: %T/LONG.DAT", kFailed}, {}},
      // Well-formed media install as they always did, in Linux paths.
      {"link-inside-medium-and-private-mode", false,
       {InfFile(Inf({"1:ALIAS.DAT, 1, ALIAS.DAT, 1, N, N, N", "1:MINE.DAT, 1, MINE.DAT, 1, N, N, N"})),
        {"PLAIN.DAT", "plain"},
        {"ALIAS.DAT", "PLAIN.DAT", Kind::LinkInMedium},
        {"MINE.DAT", "mine", Kind::Regular, 0600}},
       {kDone}, {"ALIAS.DAT", "MINE.DAT"}, "", "%T"},
      {"typed-home-path", false, Plain(), {kDone}, {"PLAIN.DAT"}, "~/Apps/Qv", "%H/Apps/Qv"},
      {"typed-windows-path", false, Plain(), {kDone}, {"PLAIN.DAT"}, "C:\\Apps\\Win",
       "%H/Apps/Win"},
      {"deep-medium", false, Plain(), {kDone}, {"PLAIN.DAT"}, "", "%T", true},
  };
}

}  // namespace

std::string Inf(const std::vector<std::string>& fileLines, const std::string& extra, const std::string& configuration) {
  std::string text = "[Configuration]\r\n" + configuration;
  if (configuration.find("[Directory]") == std::string::npos) text += "[Directory]\r\ndirs=1\r\ndir1=.\r\n";
  return text + "[Program]\r\n" + Numbered("file", fileLines) + extra;
}

std::string Numbered(const std::string& key, const std::vector<std::string>& values) {
  std::string text = key + "s=" + std::to_string(values.size()) + "\r\n";
  for (std::size_t i = 0; i < values.size(); ++i)
    text += key + std::to_string(i + 1) + "=" + values[i] + "\r\n";
  return text;
}

void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

std::string TestName(const HostileCase& c) {
  std::string name = c.name;
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

const std::vector<HostileCase>& HostileMedia() {
  static const std::vector<HostileCase> cases = Build();
  return cases;
}

}  // namespace qv::hostile
