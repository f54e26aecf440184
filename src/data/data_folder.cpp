// The data folder: in the user's documents, beside the program for
// portable use, or wherever the program can write; and the settings file
// and the log set up in it at start.

#include <shlobj.h>
#include <shlwapi.h>

#include "comlib/inifile.h"
#include "comlib/log_file.h"
#include "comlib/program_path.h"
#include "comlib/unique_handle.h"
#include "data/portable.h"
#include "data/settings.h"
#include "product.h"

namespace {

constexpr wchar_t kLogFileName[] = L"log.txt";

// The program's folder inside a base folder (documents, or a fallback).
std::wstring DataFolderIn(std::wstring base) {
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  return base + L"\\" + product::kName;
}

// True when the program's data folder in the base folder exists or can be
// made, and a file can be written in it.
bool CanWriteDataFolderIn(const std::wstring& base) {
  const std::wstring folder = DataFolderIn(base);
  if (!PathFileExistsW(folder.c_str()) && !CreateDirectoryW(folder.c_str(), nullptr)) return false;
  const std::wstring probe = folder + L"\\write-check.tmp";
  return static_cast<bool>(comlib::OwnFile(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE,
                                                      nullptr)));
}

}  // namespace

void Settings_CL::Initialize() {
  // A settings file beside the program (a copy carried on a USB stick)
  // keeps the settings and the log there.
  const std::wstring portable = settings::PortableDataFolder();
  if (!portable.empty()) {
    InitializeDataFolder(portable, S_OK);
    return;
  }
  wchar_t documents[MAX_PATH] = {};
  HRESULT result = SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents);
  if (result == S_OK && documents[0] == L'\0') result = E_FAIL;
  const std::wstring known = result == S_OK ? std::wstring(documents) : std::wstring();
  wchar_t localAppData[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData) != S_OK) {
    localAppData[0] = L'\0';
  }
  const std::wstring base =
      settings::ChooseDataBase(known, comlib::ProgramFolder(), localAppData, &CanWriteDataFolderIn);
  InitializeFrom(base, result);
}

void Settings_CL::InitializeIn(const std::wstring& documentsFolder) { InitializeFrom(documentsFolder, S_OK); }

void Settings_CL::InitializeFrom(const std::wstring& documentsFolder, HRESULT documentsResult) {
  InitializeDataFolder(DataFolderIn(documentsFolder), documentsResult);
}

void Settings_CL::InitializeDataFolder(const std::wstring& dataFolder, HRESULT documentsResult) {
  dataFolder_ = dataFolder;
  settingsPath_ = dataFolder_ + L"\\" + settings::kSettingsFileName;

  if (!PathFileExistsW(dataFolder_.c_str())) {
    CreateDirectoryW(dataFolder_.c_str(), nullptr);
    Inifile_CL::CreateIfMissing(settingsPath_);
  }
  AppLog().SetPath(dataFolder_ + L"\\" + kLogFileName);
  HORAVEL_LOG(L"\r\n★★★★★ アプリ起動 ★★★★★");
  HORAVEL_LOG(L"DataFolderPath = \"%s\"", dataFolder_.c_str());
  if (documentsResult != S_OK) {
    HORAVEL_LOG(L"SHGetFolderPathW(CSIDL_PERSONAL) failed: 0x%08X", static_cast<unsigned>(documentsResult));
  }
  // Also covers a data folder that exists without its settings file.
  Inifile_CL::CreateIfMissing(settingsPath_);
  Inifile_CL::RemoveLeftoverCopies(settingsPath_);
  store_.SetPath(settingsPath_);
  Load();
}

namespace settings {

std::wstring ChooseDataBase(const std::wstring& documents, const std::wstring& programFolder,
                           const std::wstring& localAppData, bool (*canWrite)(const std::wstring& base)) {
  if (!documents.empty()) return documents;
  if (canWrite(programFolder)) return programFolder;
  if (!localAppData.empty() && canWrite(localAppData)) return localAppData;
  // Nowhere to write: the program runs with the defaults and loses its writes.
  return programFolder;
}

}  // namespace settings
