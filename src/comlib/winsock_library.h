#pragma once
// Winsock 2, bound at run time from the system folder and started while an
// object of this class lives: the program imports nothing from ws2_32, so
// a clock that never asks the network never maps it. Include this header
// before windows.h, whose older winsock.h would clash with winsock2.h.

#include <winsock2.h>
#include <ws2tcpip.h>

#include "comlib/dll_function.h"
#include "comlib/unique_handle.h"

class WinsockLibrary_CL {
 public:
  WinsockLibrary_CL();
  ~WinsockLibrary_CL();
  WinsockLibrary_CL(const WinsockLibrary_CL&) = delete;
  WinsockLibrary_CL& operator=(const WinsockLibrary_CL&) = delete;

  // True when the library, every function below and WSAStartup succeeded.
  bool IsReady() const { return started_; }

  // A new socket owned with this library's closesocket; empty on failure.
  comlib::UniqueSocket Open(int family, int type, int protocol) const;

  decltype(&::connect) connect = nullptr;
  decltype(&::send) send = nullptr;
  decltype(&::recv) recv = nullptr;
  decltype(&::WSAEventSelect) WSAEventSelect = nullptr;
  decltype(&::WSAGetLastError) WSAGetLastError = nullptr;
  decltype(&::GetAddrInfoW) GetAddrInfoW = nullptr;
  decltype(&::FreeAddrInfoW) FreeAddrInfoW = nullptr;

 private:
  DllFunction_CL library_;
  decltype(&::socket) socket_ = nullptr;
  decltype(&::closesocket) closesocket_ = nullptr;
  decltype(&::WSACleanup) WSACleanup_ = nullptr;
  bool started_ = false;
};
