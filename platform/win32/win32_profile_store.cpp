#include "platform/win32/win32_profile_store.h"

#include <windows.h>

#include <string>

namespace qv::win32 {

// kernel32 takes C strings: the std::string copies supply the NUL, and an
// embedded NUL ends the text there, as it would for any C caller.

Text256 Win32ProfileStore::ReadString(std::string_view section, std::string_view key,
                                      std::string_view defaultValue, std::string_view file) {
  const std::string sectionZ(section), keyZ(key), defaultZ(defaultValue), fileZ(file);
  Text256 value;
  value.FillWith([&](char* buffer, std::size_t size) {
    GetPrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), defaultZ.c_str(), buffer,
                             static_cast<DWORD>(size), fileZ.c_str());
  });
  return value;
}

int Win32ProfileStore::ReadInt(std::string_view section, std::string_view key, int defaultValue,
                               std::string_view file) {
  const std::string sectionZ(section), keyZ(key), fileZ(file);
  return static_cast<int>(
      GetPrivateProfileIntA(sectionZ.c_str(), keyZ.c_str(), defaultValue, fileZ.c_str()));
}

bool Win32ProfileStore::WriteString(std::string_view section, std::string_view key,
                                    std::string_view value, std::string_view file) {
  const std::string sectionZ(section), keyZ(key), valueZ(value), fileZ(file);
  return WritePrivateProfileStringA(sectionZ.c_str(), keyZ.c_str(), valueZ.c_str(),
                                    fileZ.c_str()) != FALSE;
}

}  // namespace qv::win32
