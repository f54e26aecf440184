#include "data/portable.h"

#include <windows.h>

#include "comlib/program_path.h"

namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace

namespace settings {

std::wstring PortableDataFolder(const std::wstring& programFolder, bool (*fileExists)(const std::wstring& path)) {
  if (programFolder.empty()) return std::wstring();
  std::wstring folder = programFolder;
  if (folder.back() == L'\\') folder.pop_back();
  return fileExists(folder + L"\\" + kSettingsFileName) ? folder : std::wstring();
}

std::wstring PortableDataFolder() { return PortableDataFolder(comlib::ProgramFolder(), &IsFile); }

}  // namespace settings
