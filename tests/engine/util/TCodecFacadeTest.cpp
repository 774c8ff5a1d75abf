// The codec methods as a caller reaches them through the facade.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <thread>

#include "TAPIInterface.h"
#include "core/TEngineCore.h"
#include "engine/net/ServiceTestSupport.h"
#include "fakes/TestCipherKit.h"
#include "net/THttpRequestService.h"
#include "support/CallbackRecorder.h"

namespace {

TEST(TCodecFacadeTest, ArgumentsIdsAndDigestsWithoutCore) {
  TAPIInterface api;
  EXPECT_STREQ(api.EncodeArgument("touser", "abc"), "\"touser\": \"abc\",");
  EXPECT_STREQ(api.EncodeArgument("k", "a\"b"), "\"k\": \"a\\\"b\",");
  EXPECT_STREQ(api.EncodeIntArgument("n", 7), "\"n\": 7,");
  std::string args = std::string(api.EncodeIntArgument("b", 2)) + api.EncodeArgument("a", "x");
  EXPECT_STREQ(api.ArgumentToJson(args.c_str()), "{\"b\": 2,\"a\": \"x\"}");
  EXPECT_STREQ(api.ArgumentToJson("{\"a\": 1}"), "{\"a\": 1}");
  EXPECT_STREQ(api.ArgumentToJson(""), "");
  EXPECT_STREQ(api.ArgumentToJson(nullptr), "");
  EXPECT_STREQ(api.DecodeArgument(args.c_str(), "a"), "x");
  EXPECT_STREQ(api.DecodeArgument(args.c_str(), "zz"), "");
  EXPECT_STREQ(api.DecodeArgument(nullptr, nullptr), "");
  EXPECT_EQ(api.DecodeIntArgument("\"n\": \"123\"", "n"), 123);
  EXPECT_EQ(api.DecodeIntArgument("\"n\": 99999999999", "n"), 2147483647);
  EXPECT_EQ(api.DecodeIntArgument(args.c_str(), "missing"), 0);
  EXPECT_EQ(api.DecodeIntArgument("{broken", "n"), 0);

  EXPECT_STREQ(api.Md5Encode(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_STREQ(api.Md5Encode("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_STREQ(api.Md5Encode(nullptr), "d41d8cd98f00b204e9800998ecf8427e");
  std::string id = api.NewTransID("");
  ASSERT_EQ(id.size(), 34u);
  for (size_t i = 2; i < 34; ++i) EXPECT_TRUE(isdigit(static_cast<unsigned char>(id[i])));
  std::string abc = api.NewTransID("abc");
  EXPECT_EQ(abc.substr(2), "abc");
  EXPECT_TRUE(isxdigit(abc[0]) && isxdigit(abc[1]));
  // A long text is cut to the 128-byte buffer.
  EXPECT_EQ(strlen(api.NewTransID(std::string(300, '7').c_str())), 127u);

  std::string sealed = api.EncryptString("hello");
  EXPECT_EQ(sealed, TestCipherKit::Encrypt("hello"));
  EXPECT_STREQ(api.DecryptString(sealed.c_str()), "hello");
  EXPECT_STREQ(api.DecryptString("xx"), "");
  EXPECT_STREQ(api.EncryptString(nullptr), "");
  EXPECT_STREQ(api.EncryptString(std::string(64, 'x').c_str()), "");

  // Without an engine core these answer "".
  EXPECT_STREQ(api.EncodePassword("secret", "", 2), "");
  EXPECT_STREQ(api.GetAppCfgString(TestCipherKit::BuildConfigString("v").c_str()), "");
}

TEST(TCodecFacadeTest, BufferResultsArePerThread) {
  TAPIInterface api;
  const char* mine = api.Md5Encode("abc");
  std::thread other([&api] { api.Md5Encode("other thread"); });
  other.join();
  EXPECT_STREQ(mine, "900150983cd24fb0d6963f7d28e17f72");
}

TEST(TCodecFacadeTest, PasswordAndConfigStringsWithCore) {
  TAPIInterface api;
  api.Init();
  std::string digest = api.EncodePassword("secret", "", 2);
  EXPECT_EQ(digest.size(), 16u);
  EXPECT_EQ(digest.find_first_of("09"), std::string::npos);
  EXPECT_STREQ(api.EncodePassword("secret", "", 4), "");

  std::string plain =
      "{\"upserver\":\"127.0.0.1:23000\",\"list\":\"" + std::string(250, 'q') + "\"}";
  std::string config = TestCipherKit::BuildConfigString(plain);
  testing::internal::CaptureStdout();
  std::string got = api.GetAppCfgString(config.c_str());
  std::string bad = config;
  bad[0] = bad[0] == 'a' ? 'b' : 'a';
  std::string failed = api.GetAppCfgString(bad.c_str());
  std::string shortText = api.GetAppCfgString("abc");
  std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(got, plain);
  EXPECT_EQ(failed, "");
  EXPECT_EQ(shortText, "");
  EXPECT_STREQ(api.GetAppCfgString(nullptr), "");
  // Failures print their code; the decrypted text is never printed.
  EXPECT_NE(printed.find("decrypt error: -3"), std::string::npos);
  EXPECT_NE(printed.find("decrypt error: -1"), std::string::npos);
  EXPECT_EQ(printed.find("upserver"), std::string::npos);
  api.Release();
}

TEST(TCodecFacadeTest, GroupCommandQueuesClosedObject) {
  CallbackRecorder::Get().Clear();
  TAPIInterface api;
  api.Init();
  TEngineCore::Instance()->GetRequestService()->RegisterExecutor(
      _REQUEST_HTTP_GROUPCOMMAND, [](THttpRequestService&, TAPIPacket* packet) {
        packet->s4 = packet->s1;
        return 0;
      });
  api.SetCallBack(&CallbackRecorder::Callback);
  api.Run();
  std::string args =
      std::string(api.EncodeArgument("cmd", "create")) + api.EncodeIntArgument("type", 1);
  EXPECT_EQ(api.GroupCommand(77, args.c_str()), 77);
  auto report = CallbackRecorder::Get().WaitFor(_REQUEST_HTTP_GROUPCOMMAND, 77);
  ASSERT_TRUE(report.has_value());
  EXPECT_EQ(report->text, "{\"cmd\": \"create\",\"type\": 1}");
  api.Release();
}

}  // namespace
