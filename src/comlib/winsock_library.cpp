#include "comlib/winsock_library.h"

namespace {

constexpr WORD kWinsockVersion = MAKEWORD(2, 2);

}  // namespace

WinsockLibrary_CL::WinsockLibrary_CL() : library_(L"ws2_32.dll") {
  connect = library_.GetFunctionAs<decltype(connect)>("connect");
  send = library_.GetFunctionAs<decltype(send)>("send");
  recv = library_.GetFunctionAs<decltype(recv)>("recv");
  WSAEventSelect = library_.GetFunctionAs<decltype(WSAEventSelect)>("WSAEventSelect");
  WSAGetLastError = library_.GetFunctionAs<decltype(WSAGetLastError)>("WSAGetLastError");
  GetAddrInfoW = library_.GetFunctionAs<decltype(GetAddrInfoW)>("GetAddrInfoW");
  FreeAddrInfoW = library_.GetFunctionAs<decltype(FreeAddrInfoW)>("FreeAddrInfoW");
  socket_ = library_.GetFunctionAs<decltype(socket_)>("socket");
  closesocket_ = library_.GetFunctionAs<decltype(closesocket_)>("closesocket");
  WSACleanup_ = library_.GetFunctionAs<decltype(WSACleanup_)>("WSACleanup");
  const auto startup = library_.GetFunctionAs<decltype(&::WSAStartup)>("WSAStartup");
  const bool bound = connect && send && recv && WSAEventSelect && WSAGetLastError && GetAddrInfoW && FreeAddrInfoW &&
                     socket_ && closesocket_ && WSACleanup_ && startup;
  WSADATA data{};
  started_ = bound && startup(kWinsockVersion, &data) == 0;
}

WinsockLibrary_CL::~WinsockLibrary_CL() {
  if (started_) WSACleanup_();
}

comlib::UniqueSocket WinsockLibrary_CL::Open(int family, int type, int protocol) const {
  if (!started_) return comlib::UniqueSocket();
  const SOCKET opened = socket_(family, type, protocol);
  if (opened == INVALID_SOCKET) return comlib::UniqueSocket();
  return comlib::UniqueSocket(opened, closesocket_);
}
