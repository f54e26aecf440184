#include <winsock2.h>

#include "support/screen_layout.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <iterator>
#include <tuple>

#include "support/test_support.h"

namespace testing_support {

namespace {

constexpr wchar_t kVncPortVariable[] = L"HORAVEL_VNC_PORT";
// The server answers within a tenth of a second here; a loaded machine may
// take longer.
constexpr DWORD kAnswerTimeoutMs = 10000;

// The protocol's own numbers (RFB 3.8 with the ExtendedDesktopSize
// extension); every number on the wire is big-endian.
constexpr char kVersion[] = "RFB 003.008\n";
constexpr size_t kVersionLength = 12;
constexpr std::uint8_t kSecurityNone = 1;
constexpr std::uint8_t kSharedSession = 1;
constexpr size_t kPixelFormatLength = 16;
constexpr std::uint8_t kSetEncodings = 2;
constexpr std::uint8_t kUpdateRequest = 3;
constexpr std::uint8_t kSetDesktopSize = 251;
constexpr std::int32_t kRawEncoding = 0;
constexpr std::int32_t kExtendedDesktopSizeEncoding = -308;
constexpr std::uint8_t kFramebufferUpdate = 0;
constexpr std::uint8_t kColourMapEntries = 1;
constexpr std::uint8_t kBell = 2;
constexpr std::uint8_t kCutText = 3;
// An ExtendedDesktopSize rectangle's x says why the layout changed, its y
// whether a client's request was taken.
constexpr std::uint16_t kChangedAtThisClientsRequest = 1;
constexpr std::uint16_t kLayoutTaken = 0;
constexpr size_t kScreenLength = 16;

void Put8(std::string* bytes, std::uint32_t value) { bytes->push_back(static_cast<char>(value & 0xFF)); }
void Put16(std::string* bytes, std::uint32_t value) {
  Put8(bytes, value >> 8);
  Put8(bytes, value);
}
void Put32(std::string* bytes, std::uint32_t value) {
  Put16(bytes, value >> 16);
  Put16(bytes, value);
}
std::uint32_t Get16(const std::uint8_t* bytes) { return (bytes[0] << 8) | bytes[1]; }
std::uint32_t Get32(const std::uint8_t* bytes) { return (Get16(bytes) << 16) | Get16(bytes + 2); }

bool SameRects(std::vector<RECT> left, std::vector<RECT> right) {
  const auto before = [](const RECT& a, const RECT& b) {
    return std::make_tuple(a.left, a.top, a.right, a.bottom) < std::make_tuple(b.left, b.top, b.right, b.bottom);
  };
  std::sort(left.begin(), left.end(), before);
  std::sort(right.begin(), right.end(), before);
  return std::equal(left.begin(), left.end(), right.begin(), right.end(),
                    [](const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; });
}

}  // namespace

void CloseSocket(UINT_PTR socket) { closesocket(socket); }

unsigned short ScreenLayout::Port() {
  wchar_t port[16] = {};
  if (GetEnvironmentVariableW(kVncPortVariable, port, static_cast<DWORD>(std::size(port))) == 0) return 0;
  return static_cast<unsigned short>(wcstoul(port, nullptr, 10));
}

ScreenLayout::ScreenLayout() {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
}

ScreenLayout::~ScreenLayout() {
  connection_.reset();
  WSACleanup();
}

bool ScreenLayout::Set(const std::vector<RECT>& monitors) {
  deadline_ = GetTickCount64() + kAnswerTimeoutMs;
  error_.clear();
  if (!connection_ && !Connect()) return false;
  LONG width = 0;
  LONG height = 0;
  for (const RECT& monitor : monitors) {
    width = std::max(width, monitor.right);
    height = std::max(height, monitor.bottom);
  }
  std::string request;
  Put8(&request, kSetDesktopSize);
  Put8(&request, 0);
  Put16(&request, width);
  Put16(&request, height);
  Put8(&request, static_cast<std::uint32_t>(monitors.size()));
  Put8(&request, 0);
  // Each screen keeps its place in the list as its id, so that the server
  // moves the screen it already has rather than making a new one.
  std::uint32_t id = 1;
  for (const RECT& monitor : monitors) {
    Put32(&request, id++);
    Put16(&request, monitor.left);
    Put16(&request, monitor.top);
    Put16(&request, monitor.right - monitor.left);
    Put16(&request, monitor.bottom - monitor.top);
    Put32(&request, 0);
  }
  return Send(request) && AwaitLayoutAnswer();
}

bool ScreenLayout::Connect() {
  const unsigned short port = Port();
  if (port == 0) return Fail("no VNC port in the environment");
  const SOCKET made = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (made == INVALID_SOCKET) return Fail("no socket");
  connection_.reset(made);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port);
  if (connect(connection_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    return Fail("cannot connect to port " + std::to_string(port));
  }
  char version[kVersionLength] = {};
  std::uint8_t count = 0;
  if (!Receive(version, kVersionLength) || !Send(kVersion) || !Receive(&count, 1)) return Fail("no handshake");
  std::string offered(count, '\0');
  if (!Receive(offered.data(), count) || offered.find(static_cast<char>(kSecurityNone)) == std::string::npos) {
    return Fail("the server asks for a password");
  }
  std::uint8_t result[4] = {};
  if (!Send(std::string(1, static_cast<char>(kSecurityNone))) || !Receive(result, sizeof(result)) ||
      Get32(result) != 0 || !Send(std::string(1, static_cast<char>(kSharedSession)))) {
    return Fail("security handshake refused");
  }
  // ServerInit: the framebuffer's size, its pixel format and the desktop's name.
  std::uint8_t init[4 + kPixelFormatLength + 4] = {};
  if (!Receive(init, sizeof(init)) || !Skip(Get32(init + 4 + kPixelFormatLength))) return Fail("no ServerInit");
  bytesPerPixel_ = init[4] / 8;
  // The server answers a layout request only to a client that understands
  // the answer.
  std::string encodings;
  Put8(&encodings, kSetEncodings);
  Put8(&encodings, 0);
  Put16(&encodings, 2);
  for (std::int32_t encoding : {kRawEncoding, kExtendedDesktopSizeEncoding}) {
    Put32(&encodings, static_cast<std::uint32_t>(encoding));
  }
  return Send(encodings);
}

bool ScreenLayout::AwaitLayoutAnswer() {
  // The answer travels in a framebuffer update, which the server sends only
  // when asked: ask for one pixel, so that little else comes with it.
  std::string request;
  Put8(&request, kUpdateRequest);
  Put8(&request, 1);  // incremental
  Put16(&request, 0);
  Put16(&request, 0);
  Put16(&request, 1);
  Put16(&request, 1);
  if (!Send(request)) return false;
  for (;;) {
    std::uint8_t type = 0;
    std::uint8_t header[7] = {};
    bool answered = false;
    if (!Receive(&type, 1)) return false;
    switch (type) {
      case kFramebufferUpdate:
        if (!ReadUpdate(&answered)) return false;
        if (answered) return true;
        if (!Send(request)) return false;
        break;
      case kColourMapEntries:
        if (!Receive(header, 5) || !Skip(Get16(header + 3) * 6)) return false;
        break;
      case kBell:
        break;
      case kCutText:
        if (!Receive(header, 7) || !Skip(Get32(header + 3))) return false;
        break;
      default:
        return Fail("unknown server message " + std::to_string(type));
    }
  }
}

bool ScreenLayout::ReadUpdate(bool* answered) {
  std::uint8_t header[3] = {};
  if (!Receive(header, sizeof(header))) return false;
  for (std::uint32_t rect = Get16(header + 1); rect > 0; --rect) {
    std::uint8_t place[12] = {};
    if (!Receive(place, sizeof(place))) return false;
    const std::uint32_t x = Get16(place);
    const std::uint32_t y = Get16(place + 2);
    const size_t area = static_cast<size_t>(Get16(place + 4)) * Get16(place + 6);
    const auto encoding = static_cast<std::int32_t>(Get32(place + 8));
    if (encoding == kRawEncoding) {
      if (!Skip(area * bytesPerPixel_)) return false;
    } else if (encoding == kExtendedDesktopSizeEncoding) {
      std::uint8_t screens[4] = {};
      if (!Receive(screens, sizeof(screens)) || !Skip(screens[0] * kScreenLength)) return false;
      if (x == kChangedAtThisClientsRequest) {
        *answered = true;
        if (y != kLayoutTaken) return Fail("layout refused with status " + std::to_string(y));
      }
    } else {
      return Fail("unknown encoding " + std::to_string(encoding));
    }
  }
  return true;
}

bool ScreenLayout::Send(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const int result = send(connection_.get(), bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
    if (result <= 0) return Fail("connection lost while sending");
    sent += static_cast<size_t>(result);
  }
  return true;
}

bool ScreenLayout::Receive(void* buffer, size_t length) {
  auto* bytes = static_cast<char*>(buffer);
  size_t received = 0;
  while (received < length) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline_) return Fail("no answer in time");
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(connection_.get(), &readable);
    const auto leftMs = static_cast<long>(deadline_ - now);
    timeval wait{leftMs / 1000, (leftMs % 1000) * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &wait);
    if (ready < 0) return Fail("select failed");
    if (ready == 0) continue;
    const int result = recv(connection_.get(), bytes + received, static_cast<int>(length - received), 0);
    if (result <= 0) return Fail("connection closed by the server");
    received += static_cast<size_t>(result);
  }
  return true;
}

bool ScreenLayout::Skip(size_t length) {
  char scratch[65536];
  while (length > 0) {
    const size_t chunk = std::min(length, sizeof(scratch));
    if (!Receive(scratch, chunk)) return false;
    length -= chunk;
  }
  return true;
}

bool ScreenLayout::Fail(const std::string& why) {
  if (error_.empty()) error_ = why;
  // A connection left in the middle of a message cannot be read on.
  connection_.reset();
  return false;
}

std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR, HDC, LPRECT rect, LPARAM found) -> BOOL {
        reinterpret_cast<std::vector<RECT>*>(found)->push_back(*rect);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&rects));
  return rects;
}

bool WaitForMonitors(const std::vector<RECT>& monitors, DWORD timeoutMs) {
  return WaitUntil([&] { return SameRects(MonitorRects(), monitors); }, timeoutMs);
}

}  // namespace testing_support
