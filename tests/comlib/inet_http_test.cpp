// The HTTP client against a real server on the loopback address.

#include "comlib/inet_http.h"

#include <gtest/gtest.h>

#include <string>

#include "support/loopback_server.h"
#include "support/test_support.h"

using namespace testing_support;

namespace {

constexpr char kVersionFile[] = "1.1.4.0\r\nhttp://127.0.0.1/download\r\n";
constexpr long kVersionFileLength = sizeof(kVersionFile) - 1;

// A client that has sent its GET to the server and logs into its own file.
class SentRequest {
 public:
  explicit SentRequest(unsigned short port, std::size_t bodyLimit = InetHttp_CL::kDefaultBodyLimitBytes)
      : log_(folder_.File(L"log.txt")) {
    http.SetBodyLimit(bodyLimit);
    http.Open();
    if (http.Connect(L"127.0.0.1", port) != nullptr) requestResult = http.Request(L"/Horavel/Version.txt");
  }
  std::wstring Log() const { return FileExists(folder_.File(L"log.txt")) ? ReadUtf16(folder_.File(L"log.txt")) : L""; }

  InetHttp_CL http;
  int requestResult = -1;

 private:
  TempFolder folder_;
  ScopedAppLog log_;
};

}  // namespace

TEST(InetHttp, ReadsWhatTheServerSends) {
  struct Case {
    const char* name;
    std::string response;
    int requestResult;
    long contentLength;
    long readResult;
    std::string body;
  };
  const std::string tooLong(70000, 'x');
  const Case cases[] = {
      {"declared length", HttpResponse(kVersionFile), 1, kVersionFileLength, kVersionFileLength, kVersionFile},
      {"no length", HttpResponse(kVersionFile, kNoContentLength), 1, -1, kVersionFileLength, kVersionFile},
      {"404 with a body", HttpResponse("Not Found", std::nullopt, 404), 1, 9, 9, "Not Found"},
      {"digits then letters", HttpResponse("123456789012", "12abc"), 1, 12, 12, "123456789012"},
      {"letters only", HttpResponse("ignored", "abc"), 1, 0, 0, ""},
      {"body shorter than declared", HttpResponse("1.1.4.0\r\n", "100"), 1, 100, 9, "1.1.4.0\r\n"},
      {"unknown length past the limit", HttpResponse(tooLong, kNoContentLength), 1, -1, 0, ""},
      {"declared length past the limit", HttpResponse(tooLong), 0, 70000, 0, ""},
      {"huge declared length", HttpResponse("1.1.4.0", "4294967296"), 0, 0, 0, ""},
      {"negative declared length", HttpResponse("1.1.4.0", "-5"), 0, -5, 0, ""},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.name);
    LoopbackHttpServer server;
    server.Answer(test.response);
    SentRequest sent(server.Port());
    ASSERT_EQ(test.requestResult, sent.requestResult);
    if (test.requestResult == 0) {
      EXPECT_NE(std::wstring::npos, sent.Log().find(L"Content-Length")) << "a refused length is logged";
      continue;
    }
    EXPECT_EQ(test.contentLength, sent.http.ContentLength());
    EXPECT_EQ(test.readResult, sent.http.Read(sent.http.ContentLength()));
    ASSERT_NE(nullptr, sent.http.Body());
    EXPECT_EQ(test.body, sent.http.BodyBytes());
    EXPECT_EQ('\0', sent.http.Body()[test.body.size()]) << "the body ends with NUL";
  }
}

TEST(InetHttp, ReadsALargeBodyOfUnknownLengthInOrder) {
  std::string large(3000000, '\0');
  for (size_t index = 0; index < large.size(); ++index) large[index] = static_cast<char>(index * 7 % 251);
  LoopbackHttpServer server;
  server.Answer(HttpResponse(large, kNoContentLength));
  SentRequest sent(server.Port(), 4 * 1024 * 1024);
  ASSERT_EQ(1, sent.requestResult);
  ASSERT_EQ(3000000, sent.http.Read(InetHttp_CL::kUnknownLength));
  EXPECT_TRUE(sent.http.BodyBytes() == large) << "every byte in its place";
}

TEST(InetHttp, UnreachableOrSilentServersFailWithOneLoggedLine) {
  struct Case {
    const char* name;
    bool listening;
  };
  for (const Case& test : {Case{"closed port", false}, Case{"accepts and never answers", true}}) {
    SCOPED_TRACE(test.name);
    LoopbackHttpServer server;
    server.StaySilent();
    SentRequest sent(test.listening ? server.Port() : ClosedLoopbackPort());
    EXPECT_EQ(0, sent.requestResult);
    const std::wstring log = sent.Log();
    EXPECT_EQ(1u, CountOccurrences(log, L"HttpSendRequest()エラー = 0x8007")) << "an HRESULT from the WinINet error";
    EXPECT_EQ(1u, SplitLines(log).size()) << "nothing else logged";
  }
}
