#include "tests/platform/installer_file_system_contract.h"

#include <algorithm>
#include <cctype>

#include <fstream>
#include <iterator>

#include "tests/support/szdd.h"

namespace qv::testing {

namespace fs = std::filesystem;

void DiskTarget::AddDirectory(const std::string& path) {
  std::error_code error;
  EXPECT_TRUE(fs::create_directory(Native(path), error)) << path << ": " << error.message();
}

void DiskTarget::WriteRaw(const std::string& path, std::string_view bytes) {
  std::ofstream out(Native(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  EXPECT_TRUE(out) << path;
}

std::optional<std::string> DiskTarget::ReadRaw(const std::string& path) {
  std::ifstream in(Native(path), std::ios::binary);
  if (!fs::is_regular_file(Native(path)) || !in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> DiskTarget::Listing(const std::string& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(Native(directory)))
    names.push_back(entry.path().filename().string());
  return names;
}

std::string InstallerFileSystemContract::At(std::initializer_list<std::string_view> parts) const {
  std::string path = target_->Root();
  for (std::string_view part : parts) (path += target_->Separator()) += part;
  return path;
}

std::string InstallerFileSystemContract::Directory(const std::string& name) {
  const std::string path = At({name});
  target_->AddDirectory(path);
  return path;
}

std::string InstallerFileSystemContract::PathOfLength(std::size_t length, const std::string& tag) {
  const std::string root = target_->Root();
  const std::string file = "FILE.DAT";
  const std::size_t directories = length - root.size() - 2 - file.size();
  // Components of at most 100 characters: every name stays within what
  // any file system allows.
  std::string tail(directories, 'D');
  tail.replace(0, tag.size(), tag);
  for (std::size_t i = 100; i + 1 < tail.size(); i += 101) tail[i] = target_->Separator();
  std::string path = root;
  for (std::size_t at = 0; at <= tail.size();) {
    std::size_t end = std::min(tail.find(target_->Separator(), at), tail.size());
    path += target_->Separator();
    path += tail.substr(at, end - at);
    target_->AddDirectory(path);
    at = end + 1;
  }
  path += target_->Separator() + file;
  EXPECT_EQ(path.size(), length);
  return path;
}

std::vector<std::string> InstallerFileSystemContract::UpperListing(const std::string& directory) {
  std::vector<std::string> names = target_->Listing(directory);
  for (std::string& name : names)
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::sort(names.begin(), names.end());
  return names;
}

namespace {

// Text of every byte value, longer than any copy buffer.
std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 256) & 0xFF);
  return bytes;
}

// More than one window of data with repeats, so that a cut or a lying
// length shows in the middle of real matches.
std::string Repeats() {
  std::string repeats;
  for (int i = 0; repeats.size() < 20000; ++i) {
    repeats += "block " + std::to_string(i * 7919 % 1000) + ";";
    if (i % 50 == 0) repeats += std::string(40, 'x');
    if (i % 97 == 0 && repeats.size() > 4000) repeats += repeats.substr(repeats.size() - 4000, 30);
  }
  return repeats;
}

// "ABCD" as literals, then twelve bytes copied back from where it was
// written in the ring (position 0xFF0, length 12): "ABCD" four times.
std::string PackedWithABackReference() {
  std::string bytes = SzddPack("", 16);
  bytes += '\x0F';
  bytes += "ABCD";
  bytes += '\xF0';
  bytes += '\xF9';
  return bytes;
}

}  // namespace

// Plain files byte for byte, SZDD files expanded, each over a longer file
// that stood at the destination; a source missing under its name is read
// under its compressed name. Real compression gives matches of every length
// up to 18 at every distance the ring allows, over several turns of the
// ring, and a file too short for Debian's mscompress.
TEST_P(InstallerFileSystemContract, FilesAreCopiedPlainOrExpanded) {
  const std::string repeats = Repeats();
  const struct {
    const char* name;
    const char* source;
    std::string bytes;
    std::string copied;
    const char* requested = nullptr;  // the name handed over, when not the source's
  } cases[] = {
      {"empty", "PLAIN.DAT", "", ""},
      {"text", "PLAIN.DAT", "line one\r\nline two\r\n", "line one\r\nline two\r\n"},
      {"every byte value, longer than a buffer", "PLAIN.DAT", Pattern(70000), Pattern(70000)},
      {"the signature's first seven bytes", "PLAIN.DAT", std::string("SZDD\x88\xF0\x27", 7),
       std::string("SZDD\x88\xF0\x27", 7)},
      {"empty, compressed", "TOOL.BI_", SzddPack(""), ""},
      {"text, compressed", "TOOL.BI_", SzddPack("README\r\n"), "README\r\n"},
      {"every byte value, compressed", "TOOL.BI_", SzddPack(Pattern(70000)), Pattern(70000)},
      {"a back reference into the ring", "TOOL.BI_", PackedWithABackReference(), "ABCDABCDABCDABCD"},
      // A literal, then three bytes from the ring's first slot, not yet
      // written: the ring starts out filled with spaces.
      {"a back reference before any output", "TOOL.BI_",
       SzddPack("", 4) + std::string("\x01Z\x00\x00", 4), "Z   "},
      {"real compression of repeats", "REAL.BI_", CompressSzdd(repeats), repeats},
      {"real compression of a tiny file", "REAL.BI_", CompressSzdd("tiny"), "tiny"},
      {"real compression of every byte value", "REAL.BI_", CompressSzdd(Pattern(9000)), Pattern(9000)},
      {"under the compressed name", "README.TX_", SzddPack("read me"), "read me", "README.TXT"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = At({c.source});
    const std::string destination = At({"COPY" + std::to_string(&c - cases) + ".DAT"});
    target().WriteRaw(source, c.bytes);
    target().WriteRaw(destination, std::string(80000, 'o'));
    const std::string requested = c.requested ? At({c.requested}) : source;
    ASSERT_EQ(files().CopyExpanded(requested, destination), LzCopyResult::Copied);
    EXPECT_EQ(target().ReadRaw(destination), c.copied);
    EXPECT_EQ(target().ReadRaw(source), c.bytes);
  }
}

// A header that cannot be expanded fails to open and touches no destination;
// data of the wrong length fails the copy (what the destination holds then
// is left open, unless the target keeps the old file: part of the data, or
// all of it under a header that lies). Each attempt looks at the file anew:
// a repaired medium installs. Nothing but the destinations is left behind.
TEST_P(InstallerFileSystemContract, BrokenCompressedSourcesFailUntilRepaired) {
  const std::string plain = Pattern(3000);
  const std::string good = SzddPack(plain), real = CompressSzdd(Repeats());
  std::string otherMethod = good, noMethod = good, realLies = real;
  otherMethod[8] = 'B';
  noMethod[8] = '\0';
  realLies[10] = static_cast<char>(realLies[10] + 1);
  const struct {
    const char* name;
    std::string bytes;
    LzCopyResult result;
  } cases[] = {
      {"unknown method byte", otherMethod, LzCopyResult::SourceOpenFailed},
      {"method byte zero", noMethod, LzCopyResult::SourceOpenFailed},
      {"header cut after the method", good.substr(0, 9), LzCopyResult::SourceOpenFailed},
      {"header cut inside the length", good.substr(0, 13), LzCopyResult::SourceOpenFailed},
      {"signature alone", good.substr(0, 8), LzCopyResult::SourceOpenFailed},
      {"cut short", good.substr(0, good.size() / 2), LzCopyResult::CopyFailed},
      {"cut after the header", good.substr(0, kSzddHeaderSize), LzCopyResult::CopyFailed},
      {"header claims more", SzddPack(plain, 3001), LzCopyResult::CopyFailed},
      {"header claims less", SzddPack(plain, 2999), LzCopyResult::CopyFailed},
      {"real compression cut short", real.substr(0, real.size() / 2), LzCopyResult::CopyFailed},
      {"real compression, the length lies", realLies, LzCopyResult::CopyFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = At({"BAD.EX_"}), destination = At({std::string("BAD-") + c.name});
    const std::string existing = At({"OLD" + std::to_string(&c - cases) + ".EXE"});
    target().WriteRaw(source, c.bytes);
    target().WriteRaw(existing, "old contents");
    EXPECT_EQ(files().CopyExpanded(source, destination), c.result);
    EXPECT_EQ(files().CopyExpanded(source, existing), c.result);
    const bool untouched = c.result == LzCopyResult::SourceOpenFailed;
    if (untouched) {
      EXPECT_EQ(target().ReadRaw(destination), std::nullopt) << "nothing is created";
    }
    if (untouched || target().KeepsTheOldDestination()) {
      EXPECT_EQ(target().ReadRaw(existing), "old contents");
    }
    target().WriteRaw(source, good);
    EXPECT_EQ(files().CopyExpanded(source, destination), LzCopyResult::Copied);
    EXPECT_EQ(target().ReadRaw(destination), plain);
  }
  EXPECT_EQ(target().Listing(target().Root()).size(), 1 + 2 * std::size(cases));
}

TEST_P(InstallerFileSystemContract, AMissingSourceFailsToOpenAndTouchesNoDestination) {
  for (const std::string& source : {At({"GONE.DAT"}), At({"NOSUCH", "GONE.DAT"}), Directory("ADIR")}) {
    SCOPED_TRACE(source);
    target().WriteRaw(At({"OLD.DAT"}), "old contents");
    EXPECT_EQ(files().CopyExpanded(source, At({"OUT.DAT"})), LzCopyResult::SourceOpenFailed);
    EXPECT_EQ(files().CopyExpanded(source, At({"OLD.DAT"})), LzCopyResult::SourceOpenFailed);
    EXPECT_EQ(target().ReadRaw(At({"OUT.DAT"})), std::nullopt);
    EXPECT_EQ(target().ReadRaw(At({"OLD.DAT"})), "old contents");
  }
}

TEST_P(InstallerFileSystemContract, ADestinationThatCannotBeCreatedFailsAndNoOtherNameAppears) {
  const std::string folder = Directory("TARGET");
  const std::string source = At({"TOOL.BI_"});
  target().WriteRaw(source, SzddPack("tool"));
  target().AddDirectory(At({"TARGET", "TOOL.BIN"}));
  target().WriteRaw(At({"TARGET", "TOOL.BIN", "KEPT.DAT"}), "kept");
  EXPECT_EQ(files().CopyExpanded(source, At({"TARGET", "TOOL.BIN"})), LzCopyResult::DestinationOpenFailed);
  EXPECT_EQ(files().CopyExpanded(source, At({"TARGET", "NOSUCH", "TOOL.BIN"})),
            LzCopyResult::DestinationOpenFailed);
  EXPECT_EQ(UpperListing(folder), std::vector<std::string>{"TOOL.BIN"}) << "only the directory that was there";
  EXPECT_EQ(target().ReadRaw(At({"TARGET", "TOOL.BI_"})), std::nullopt);
  EXPECT_EQ(target().ReadRaw(At({"TARGET", "TOOL.BIN", "KEPT.DAT"})), "kept");
}

TEST_P(InstallerFileSystemContract, CopyingAFileOntoItselfLeavesItAsItIs) {
  const std::string folder = Directory("MEDIUM");
  const std::string plain = "plain data", packed = SzddPack("packed data");
  target().WriteRaw(At({"MEDIUM", "SAME.DAT"}), plain);
  target().WriteRaw(At({"MEDIUM", "SAME.BI_"}), packed);
  const char sep = target().Separator();
  const std::string dot(1, '.'), up = "..";
  struct Case {
    std::string source, destination;
    std::string bytes;
  };
  std::vector<Case> cases = {
      {At({"MEDIUM", "SAME.DAT"}), At({"MEDIUM", "SAME.DAT"}), plain},
      {At({"MEDIUM", "SAME.DAT"}), At({"MEDIUM", dot, "SAME.DAT"}), plain},
      {At({"MEDIUM", dot, "SAME.DAT"}), At({"MEDIUM", "SAME.DAT"}), plain},
      {At({"MEDIUM", "SAME.DAT"}), At({"MEDIUM", up, "MEDIUM", "SAME.DAT"}), plain},
      {At({"MEDIUM", "SAME.BI_"}), At({"MEDIUM", "SAME.BI_"}), packed},
      {At({"MEDIUM", "SAME.BI_"}), folder + sep + dot + sep + "SAME.BI_", packed},
  };
  if (target().NamesIgnoreCase()) {
    std::string lower = folder;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    cases.push_back({At({"MEDIUM", "SAME.DAT"}), lower + sep + "same.dat", plain});
    cases.push_back({At({"MEDIUM", "SAME.BI_"}), lower + sep + "Same.Bi_", packed});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.source + " -> " + c.destination);
    EXPECT_EQ(files().CopyExpanded(c.source, c.destination), LzCopyResult::Copied);
    EXPECT_EQ(target().ReadRaw(c.source), c.bytes);
  }
  EXPECT_EQ(UpperListing(folder), (std::vector<std::string>{"SAME.BI_", "SAME.DAT"}));
}

// Destinations live in 256-byte buffers everywhere: up to 255 characters
// work. Windows' ANSI calls refuse a longer source as well; Linux reads a
// medium wherever it lies, however deep (a cut path would name a parent
// folder's files).
TEST_P(InstallerFileSystemContract, PathsOfUpTo255CharactersWorkAndLongerAreRefusedAlike) {
  const std::string shortSource = At({"SHORT.DAT"});
  target().WriteRaw(shortSource, "short");
  const bool longSources = files().Separator() == '/';
  const std::optional<std::string> copied = "long way", none;
  for (const std::size_t length : {150u, 200u, 255u, 256u, 257u}) {
    SCOPED_TRACE(length);
    const std::string tag = std::to_string(length), out = At({"OUT" + tag + ".DAT"});
    const std::string source = PathOfLength(length, "S" + tag);
    const std::string destination = PathOfLength(length, "D" + tag);
    const bool fits = length <= 255, readable = fits || longSources;
    target().WriteRaw(source, SzddPack("long way"));
    EXPECT_EQ(files().FileExists(source), readable);
    EXPECT_EQ(files().CopyExpanded(source, out),
              readable ? LzCopyResult::Copied : LzCopyResult::SourceOpenFailed);
    EXPECT_EQ(target().ReadRaw(out), readable ? copied : none);
    EXPECT_EQ(files().CopyExpanded(fits ? source : shortSource, destination),
              fits ? LzCopyResult::Copied : LzCopyResult::DestinationOpenFailed);
    EXPECT_EQ(target().ReadRaw(destination), fits ? copied : none);
    EXPECT_EQ(files().FileExists(destination), fits);
  }
}

TEST_P(InstallerFileSystemContract, FilesExistAsFilesAndDirectoriesAreMadeOneLevelAtATime) {
  target().WriteRaw(At({"THERE.DAT"}), "x");
  const std::string folder = Directory("FOLDER");
  EXPECT_TRUE(files().FileExists(At({"THERE.DAT"})));
  EXPECT_FALSE(files().FileExists(folder));
  EXPECT_FALSE(files().FileExists(At({"GONE.DAT"})));
  EXPECT_TRUE(files().DirectoryExists(folder));
  EXPECT_FALSE(files().DirectoryExists(At({"THERE.DAT"})));
  EXPECT_FALSE(files().DirectoryExists(At({"GONE"})));

  EXPECT_TRUE(files().MakeDirectory(At({"NEW"})));
  EXPECT_TRUE(files().DirectoryExists(At({"NEW"})));
  EXPECT_FALSE(files().MakeDirectory(At({"NEW"}))) << "it exists already";
  EXPECT_FALSE(files().MakeDirectory(At({"MISSING", "INNER"})));
  EXPECT_FALSE(files().DirectoryExists(At({"MISSING"})));
  EXPECT_FALSE(files().MakeDirectory(At({"THERE.DAT"}))) << "a file stands there";
  EXPECT_EQ(target().ReadRaw(At({"THERE.DAT"})), "x");
}

TEST_P(InstallerFileSystemContract, EnteringADirectoryMakesRelativePathsStartThere) {
  const std::string folder = Directory("HOME");
  EXPECT_FALSE(files().EnterDirectory(At({"GONE"})));
  ASSERT_TRUE(files().EnterDirectory(folder));
  EXPECT_TRUE(files().MakeDirectory("REL"));
  EXPECT_TRUE(files().DirectoryExists(At({"HOME", "REL"})));
  EXPECT_FALSE(files().EnterDirectory(At({"GONE"})));
  EXPECT_TRUE(files().DirectoryExists("REL")) << "a failed entry leaves the working directory";
}

}  // namespace qv::testing
