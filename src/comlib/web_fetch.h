#pragma once
// Fetching one small file from a web server within a time limit. The
// request, and each redirect it meets, runs on a worker thread; the caller
// waits for it no longer than the limit and then goes on without it.
//
// Closing WinINet handles from another thread does not cut short a call
// that a slow server keeps busy (Wine's goes on reading to its end), so a
// worker that is given up is left to finish on its own: it owns everything
// it touches, holds its log lines instead of writing them, starts no new
// request, and ends when its call returns or, at the latest, with the process.

#include <windows.h>

#include <string>

#include "comlib/web_address.h"

namespace webfetch {

// Redirects followed at most, all of them inside the same time limit.
constexpr int kMaxRedirects = 5;

// kAbandoned: the window the caller waited for went meanwhile.
enum class Outcome { kFetched, kFailed, kTimedOut, kAbandoned };

struct Result {
  Outcome outcome = Outcome::kFailed;
  std::string body;
};

// Fetches the body at the address, following redirects to web addresses
// (never from https:// back to http://, and to http:// only on this machine).
// A body counts only when it is whole: its length declared and all of it
// read. Returns within `timeLimitMs`, whatever the network does, and at
// once when a message answered meanwhile destroys the `waiting` window.
Result FetchWithin(const WebAddress& address, DWORD timeLimitMs, HWND waiting = nullptr);

}  // namespace webfetch
