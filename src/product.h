#pragma once
// What identifies the product: its name, version, the maker's web addresses
// and the name under which a running instance is found.

#include <string>

#include "version.h"

namespace product {

constexpr wchar_t kName[] = L"Horavel";
constexpr wchar_t kVersion[] = HORAVEL_VERSION_WIDE;

// The maker's web host: the support site and the published version file live there.
constexpr wchar_t kMakerHost[] = HORAVEL_MAKER_HOST_WIDE;
constexpr wchar_t kVersionFilePath[] = L"Horavel/Version.txt";

// Over TLS only: whoever could change the file could choose what the user downloads.
inline std::wstring VersionFileUrl() { return std::wstring(L"https://") + kMakerHost + L"/" + kVersionFilePath; }
inline std::wstring SupportSiteUrl() { return HORAVEL_SUPPORT_URL_WIDE; }

// Every build uses this name, so that any two copies see each other.
constexpr wchar_t kInstanceMutexName[] = L"Horavel.SingleInstance.7F3C2A9E-4B51-4D0C-9E1A-6C2B8D4F1A07";

// The title that both windows carry and that a second start looks for.
constexpr wchar_t kWindowTitle[] = L"Horavel";

}  // namespace product
