// The "pushfile" control command: the remark it writes from the file itself, what it
// refuses, and that the pushed file is kept, served and listed with the messages.
#include <gtest/gtest.h>
#include <json/json.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "LocalFileRemark.h"
#include "LocalServer.h"
#include "LocalWorld.h"
#include "tools/LocalServerProcess.h"
#include "tools/MediaSamples.h"
#include "tools/TempFolder.h"

namespace {

std::string Be16(int v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 255)}; }

// A JPEG's start: SOI, an APP0 segment, then the frame header of the given marker.
std::string JpegHead(unsigned char frame, int width, int height) {
  std::string d = "\xFF\xD8";
  d += std::string("\xFF\xE0", 2) + Be16(16) + std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14);
  d += std::string("\xFF", 1) + static_cast<char>(frame) + Be16(17) + "\x08" + Be16(height) +
       Be16(width) + std::string("\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01", 10);
  return d;
}

TEST(LocalFileRemarkTest, PictureSizesFromTheirHeaders) {
  struct Row {
    const char* what;
    std::string data;
    bool known;
    int width, height;
  };
  const std::string png = media_samples::PngSample(40, 30);
  const Row rows[] = {
      {"png", png, true, 40, 30},
      {"png cut in its header", png.substr(0, 20), false, 0, 0},
      {"gif87a", std::string("GIF87a") + "\x20\x03\x58\x02" + "rest", true, 800, 600},
      {"gif89a", std::string("GIF89a\x01\x00\x01\x00", 10), true, 1, 1},
      {"jpeg baseline", JpegHead(0xC0, 1024, 768), true, 1024, 768},
      {"jpeg progressive", JpegHead(0xC2, 33, 44), true, 33, 44},
      // A table segment shaped like a frame header is no frame header.
      {"jpeg huffman table first",
       std::string("\xFF\xD8\xFF\xC4", 4) + Be16(6) + "abcd" + JpegHead(0xC0, 5, 6).substr(2), true,
       5, 6},
      {"jpeg cut before its frame", JpegHead(0xC0, 9, 9).substr(0, 22), false, 0, 0},
      {"jpeg with image data before a frame", std::string("\xFF\xD8\xFF\xDA", 4) + Be16(8), false,
       0, 0},
      {"jpeg with a zero length", std::string("\xFF\xD8\xFF\xE1\x00\x00", 6), false, 0, 0},
      {"text", "just some words here, nothing else", false, 0, 0},
      {"empty", "", false, 0, 0},
  };
  for (const Row& row : rows) {
    int width = 0, height = 0;
    EXPECT_EQ(LocalFileRemark::PictureSize(row.data, &width, &height), row.known) << row.what;
    if (!row.known) continue;
    EXPECT_EQ(width, row.width) << row.what;
    EXPECT_EQ(height, row.height) << row.what;
  }
}

TEST(LocalFileRemarkTest, VoiceLengthFromAWavFile) {
  const std::string wav = media_samples::WavSample(8000, 12000);  // 1.5 s
  // An odd-sized chunk before "fmt " is padded to an even length.
  std::string padded = wav.substr(0, 12) + "LIST" + std::string("\x03\x00\x00\x00", 4) + "abc" +
                       std::string(1, '\0') + wav.substr(12);
  struct Row {
    const char* what;
    std::string data;
    int seconds;
  };
  const Row rows[] = {
      {"one and a half seconds", wav, 2},
      {"one second", media_samples::WavSample(8000, 8000), 1},
      {"no sound", media_samples::WavSample(8000, 0), 0},
      {"a chunk of odd length first", padded, 2},
      {"cut short: what it holds", wav.substr(0, 44 + 8000), 1},
      {"no data chunk", wav.substr(0, 36), -1},
      {"data before its format", wav.substr(0, 12) + wav.substr(36), -1},
      {"not a wav", media_samples::PngSample(2, 2), -1},
      {"empty", "", -1},
  };
  for (const Row& row : rows)
    EXPECT_EQ(LocalFileRemark::WavSeconds(row.data), row.seconds) << row.what;
}

TEST(LocalFileRemarkTest, EachKindNamesTheFileAndTheSender) {
  const std::string png = media_samples::PngSample(3, 2);
  const std::string wav = media_samples::WavSample(8000, 16000);
  struct Row {
    const char* type;
    std::string data;
    const char* json;
  };
  const Row rows[] = {
      {"pic", png,
       R"({"filename":"a \"b\".png","filesize":%S,"from":{"logo":"L","nick":"N"},"height":2,"width":3})"},
      {"pic", "not a picture",
       R"({"filename":"a \"b\".png","filesize":%S,"from":{"logo":"L","nick":"N"}})"},
      {"audio", wav,
       R"({"filename":"a \"b\".png","filesize":%S,"from":{"logo":"L","nick":"N"},"seconds":2})"},
      {"file", png, R"({"filename":"a \"b\".png","filesize":%S,"from":{"logo":"L","nick":"N"}})"},
      {"video", wav, R"({"filename":"a \"b\".png","filesize":%S,"from":{"logo":"L","nick":"N"}})"},
  };
  for (const Row& row : rows) {
    std::string expected = row.json;
    expected.replace(expected.find("%S"), 2, std::to_string(row.data.size()));
    EXPECT_EQ(LocalFileRemark::Build(row.type, "a \"b\".png", row.data, "N", "L"), expected)
        << row.type;
  }
  for (const char* type : {"pic", "file", "audio", "video"})
    EXPECT_TRUE(LocalFileRemark::IsFileType(type));
  for (const char* type : {"msg", "gifpic", "voice", "PIC", ""})
    EXPECT_FALSE(LocalFileRemark::IsFileType(type)) << type;
}

class PushFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(temp.Path().empty());
    dir = temp.Path();
    std::string error;
    ASSERT_TRUE(world.Load(TESMO_TEST_DATA_DIR "/localserver-world.json", &error)) << error;
    server = std::make_unique<LocalServer>(world, LocalServer::Options{dir + "/state", 0});
    ASSERT_TRUE(server->Start(&error)) << error;
  }
  void TearDown() override { server.reset(); }
  // A GET of the download server; the whole reply.
  std::string Get(const std::string& path) {
    const std::string address = server->Address("DOWN");
    const int fd = ConnectLoopback(std::stoi(address.substr(address.find(':') + 1)));
    if (fd < 0) return "";
    const std::string request = "GET " + path + " HTTP/1.0\r\nHost: " + address + "\r\n\r\n";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    const std::string reply = ReadReply(fd, 30000);
    close(fd);
    return reply;
  }

  const TempFolder temp{"pushfile-test"};
  std::string dir;
  LocalWorld world;
  std::unique_ptr<LocalServer> server;
};

TEST_F(PushFileTest, RefusesWhatItCannotPush) {
  const std::string file = dir + "/a.txt";
  std::ofstream(file) << "a";
  std::filesystem::create_directory(dir + "/folder");
  std::ofstream(dir + "/huge.bin").close();
  std::filesystem::resize_file(dir + "/huge.bin", (64u << 20) + 1);
  const std::string usage = "usage: pushfile TO FROM pic|file|audio|video PATH\n";
  struct Row {
    std::string command;
    std::string answer;
  };
  const Row rows[] = {
      {"pushfile", usage},
      {"pushfile 200001@test.local 200002@test.local pic", usage},
      {"pushfile 200001@test.local 200002@test.local gifpic " + file, usage},
      {"pushfile 200001@test.local 200002@test.local voice " + file, usage},
      {"pushfile 200001@test.local nobody@test.local file " + file,
       "unknown account nobody@test.local\n"},
      {"pushfile nobody@test.local 200002@test.local file " + file,
       "unknown target nobody@test.local\n"},
      {"pushfile 9@group.test.local 200002@test.local file " + file,
       "unknown target 9@group.test.local\n"},
      {"pushfile 200001@test.local 200002@test.local file " + dir + "/missing",
       "cannot push " + dir + "/missing: not a readable file of at most 64 MiB\n"},
      {"pushfile 200001@test.local 200002@test.local file " + dir + "/folder",
       "cannot push " + dir + "/folder: not a readable file of at most 64 MiB\n"},
      {"pushfile 200001@test.local 200002@test.local video " + dir + "/huge.bin",
       "cannot push " + dir + "/huge.bin: not a readable file of at most 64 MiB\n"},
  };
  for (const Row& row : rows) EXPECT_EQ(server->Command(row.command), row.answer) << row.command;
  // Nothing was kept or stored.
  EXPECT_TRUE(server->Store().Messages().empty());
  EXPECT_TRUE(std::filesystem::is_empty(server->Store().FilesDir()));
}

TEST_F(PushFileTest, ThePushedFileIsKeptServedAndListedWithTheMessages) {
  const std::string wav = media_samples::WavSample(8000, 20000);
  const std::string file = dir + "/Sprach memo #1.wav";
  std::ofstream(file, std::ios::binary) << wav;
  // Nobody is online: the message is kept all the same, as a push is.
  const std::string answer =
      server->Command("pushfile 400001@group.test.local 200002@test.local audio " + file);
  ASSERT_EQ(answer.rfind("pushed ", 0), 0u) << answer;
  const std::string url =
      answer.substr(answer.find(' ', 7) + 1, answer.size() - 1 - answer.find(' ', 7) - 1);
  const std::string prefix = "http://" + server->Address("DOWN") + "/group1/";
  ASSERT_EQ(url.rfind(prefix, 0), 0u) << url;
  EXPECT_EQ(url.substr(url.size() - 4), ".wav");

  const std::vector<LocalMessage> kept = server->Store().Messages();
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(std::to_string(kept[0].msgid), answer.substr(7, answer.find(' ', 7) - 7));
  EXPECT_EQ(kept[0].type, "audio");
  EXPECT_EQ(kept[0].from, "200002@test.local");
  EXPECT_EQ(kept[0].to, "400001@group.test.local");
  EXPECT_EQ(kept[0].fromGroup, "400001@group.test.local");
  EXPECT_EQ(kept[0].content, url);
  Json::Value remark;
  ASSERT_TRUE(Json::Reader().parse(kept[0].remark, remark));
  EXPECT_EQ(remark["filename"].asString(), "Sprach memo #1.wav");
  EXPECT_EQ(remark["filesize"].asUInt64(), wav.size());
  EXPECT_EQ(remark["seconds"].asInt(), 3);
  EXPECT_EQ(remark["from"]["nick"].asString(), "Replying Friend");
  // What the history download lists, and the bytes the download server serves.
  EXPECT_EQ(server->Messages().back().content, url);
  const std::string reply = Get(url.substr(prefix.size() - 8));
  ASSERT_EQ(reply.rfind("HTTP/1.1 200", 0), 0u) << reply.substr(0, 200);
  EXPECT_TRUE(reply.substr(reply.find("\r\n\r\n") + 4) == wav);

  // A second file of the same name is stored apart; a name without extension too.
  const std::string again =
      server->Command("pushfile 200001@test.local 200002@test.local file " + file);
  ASSERT_EQ(again.rfind("pushed ", 0), 0u) << again;
  EXPECT_EQ(again.find(url), std::string::npos);
  std::ofstream(dir + "/README") << "plain";
  const std::string bare =
      server->Command("pushfile 200001@test.local 200002@test.local file " + dir + "/README");
  ASSERT_EQ(bare.rfind("pushed ", 0), 0u) << bare;
  const std::string bareUrl = bare.substr(bare.find(' ', 7) + 1);
  EXPECT_EQ(bareUrl.find('.', prefix.size()), std::string::npos) << bare;
  EXPECT_EQ(server->Store().Messages().size(), 3u);
}

}  // namespace
