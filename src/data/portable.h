#pragma once
// Portable use (from a USB stick): a settings file beside the program keeps
// the settings and the log there instead of in the user's documents.

#include <string>

namespace settings {

// The settings file's name, beside the program or in the data folder.
constexpr wchar_t kSettingsFileName[] = L"Horavel.ini";

// The program's folder when a settings file stands in it, otherwise empty
// (the usual data folder is used). fileExists answers for a full path.
std::wstring PortableDataFolder(const std::wstring& programFolder, bool (*fileExists)(const std::wstring& path));

// The same for the running program.
std::wstring PortableDataFolder();

}  // namespace settings
