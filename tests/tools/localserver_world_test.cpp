// World files: what a broken one is refused with (the message names the line), and
// what a good one yields.
#include <gtest/gtest.h>
#include <json/json.h>

#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>

#include "LocalFileRemark.h"
#include "LocalServer.h"
#include "LocalWorld.h"
#include "tools/TempFolder.h"

namespace {

const char* kDemoWorld = TESMO_TEST_DATA_DIR "/../../tools/localserver/demo-world.json";

TEST(LocalWorldTest, BrokenWorldsAreRefusedNamingTheLine) {
  struct Row {
    const char* text;
    const char* error;
  };
  const Row rows[] = {
      {"{\n\"accounts\": [\n{\"account\": \"a@x\" \"name\": \"A\"}]}", "w.json:3: "},
      {"{\n\"accounts\": [\n", "w.json:3: "},
      {"[1, 2]", "w.json:1: the world must be a JSON object"},
      {"{\n\"groups\": []\n}", "w.json:1: missing \"accounts\""},
      {"{\"accounts\": []}", "w.json:1: the world needs at least one account"},
      {"{\"accounts\": [\n{\"account\": \"a@x\"}\n]}", "w.json:2: missing \"name\""},
      {"{\"accounts\": [\n{\"account\": \"ax\", \"name\": \"A\"}]}",
       "w.json:2: \"account\" must hold \"@\""},
      {"{\"accounts\": [\n{\"account\": \"a@x\", \"name\": 5}]}",
       "w.json:2: \"name\" must be a text"},
      {"{\"accounts\": [\n{\"account\": \"a@x\", \"name\": \"A\"},\n{\"account\": \"a@x\", "
       "\"name\": \"B\"}]}",
       "w.json:3: account a@x twice"},
      {"{\"accounts\": [\n{\"account\": \"a@x\", \"name\": \"A\", \"mobile\": \"1\"}]}",
       "w.json:2: an account with \"mobile\" needs \"verifycode\""},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\",\n\"blacklist\": [\"b@x\"]}]}",
       "w.json:2: unknown account b@x"},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"groups\": [\n{\"groupid\": "
       "\"1@group.x\", \"name\": \"G\",\n\"members\": [{\"account\": \"a@x\", \"role\": 3}]}]}",
       "w.json:3: a group needs exactly one owner"},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"groups\": [{\"groupid\": "
       "\"1@x\", \"name\": \"G\", \"members\": []}]}",
       "w.json:2: \"groupid\" must hold \"group.\""},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"groups\": [{\"groupid\": "
       "\"1@group.x\", \"name\": \"G\",\n\"members\": [\n{\"account\": \"a@x\", \"role\": 9}]}]}",
       "w.json:4: \"role\" must be 1, 2 or 3"},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"groups\": [{\"groupid\": "
       "\"1@group.x\", \"name\": \"G\",\n\"code\": \"12a4\", \"members\": []}]}",
       "w.json:3: \"code\" must be four digits"},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"history\": [\n{\"from\": "
       "\"a@x\", \"to\": \"a@x\", \"type\": \"weird\", \"content\": \"\", \"time\": \"t\"}]}",
       "w.json:3: unknown message type weird"},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"files\": {\"group1/x\": "
       "\"y\"}}",
       "w.json:2: remote paths start with \"/\""},
      {"{\"accounts\": [{\"account\": \"a@x\", \"name\": \"A\"}],\n\"settings\": "
       "{\"qraccount\": \"z@x\"}}",
       "w.json:2: unknown account z@x"},
  };
  for (const Row& row : rows) {
    LocalWorld world;
    std::string error;
    EXPECT_FALSE(world.LoadText(row.text, "w.json", &error)) << row.text;
    EXPECT_EQ(error.rfind(row.error, 0), 0u) << row.text << "\n -> " << error;
  }
}

TEST(LocalWorldTest, TheDemoWorldLoadsWithTwoLoginsThreeGroupsAndEveryMessageKind) {
  LocalWorld world;
  std::string error;
  ASSERT_TRUE(world.Load(kDemoWorld, &error)) << error;
  int logins = 0;
  for (const LocalAccount& a : world.Accounts()) logins += a.mobile.empty() ? 0 : 1;
  EXPECT_EQ(logins, 2);
  EXPECT_EQ(world.Groups().size(), 3u);
  // The group the README names: Alice joins it with its code.
  const LocalGroup* lounge = world.FindGroup("300003@group.tesmo.local");
  ASSERT_NE(lounge, nullptr);
  EXPECT_EQ(lounge->code, "2468");
  EXPECT_EQ(lounge->type, 0);
  for (const LocalGroupMember& m : lounge->members) EXPECT_NE(m.account, world.QRAccount());
  std::set<std::string> kinds;
  for (const LocalMessage& m : world.History()) kinds.insert(m.type);
  EXPECT_EQ(kinds, (std::set<std::string>{"msg", "pic", "file", "audio"}));
  // The dialling code matches with or without its plus sign, and only that code.
  ASSERT_NE(world.FindByMobile("13800000001", "+86"), nullptr);
  EXPECT_EQ(world.FindByMobile("13800000001", "86"), world.FindByMobile("13800000001", "+86"));
  EXPECT_EQ(world.FindByMobile("13800000001", "+1"), nullptr);
  EXPECT_TRUE(world.QRAutoConfirm());
  EXPECT_EQ(world.QRAccount(), "100001@tesmo.local");
  for (const auto& file : world.Files()) {
    EXPECT_TRUE(std::ifstream(file.second).good()) << file.second;
  }
}

// The program reads a voice message's length from "seconds" and a picture's size from
// "width" and "height": the demo history says what its files hold, under those keys.
TEST(LocalWorldTest, TheDemoHistoryDescribesItsFilesUnderTheKeysTheProgramReads) {
  LocalWorld world;
  std::string error;
  ASSERT_TRUE(world.Load(kDemoWorld, &error)) << error;
  int checked = 0;
  for (const LocalMessage& m : world.History()) {
    if (m.type != "audio" && m.type != "pic") continue;
    const std::string path = m.content.substr(m.content.find("/group1/"));
    const auto file = world.Files().find(path);
    ASSERT_NE(file, world.Files().end()) << m.content;
    std::ifstream in(file->second, std::ios::binary);
    const std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Json::Value remark;
    std::istringstream text(m.remark);
    ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), text, &remark, nullptr))
        << m.remark;
    if (m.type == "audio") {
      ASSERT_TRUE(remark["seconds"].isInt()) << m.remark;
      EXPECT_EQ(remark["seconds"].asInt(), LocalFileRemark::WavSeconds(data)) << m.remark;
    } else {
      int width = 0;
      int height = 0;
      ASSERT_TRUE(LocalFileRemark::PictureSize(data, &width, &height)) << path;
      EXPECT_EQ(remark["width"].asInt(), width) << m.remark;
      EXPECT_EQ(remark["height"].asInt(), height) << m.remark;
    }
    ++checked;
  }
  EXPECT_GE(checked, 3);
}

// The big hall world serves more than one page of members: one owner, two managers
// and 147 members, each an account of the world.
TEST(LocalWorldTest, TheBigHallHoldsThreePagesOfMembers) {
  LocalWorld world;
  std::string error;
  ASSERT_TRUE(world.Load(TESMO_TEST_DATA_DIR "/localserver-bighall-world.json", &error)) << error;
  ASSERT_EQ(world.Groups().size(), 1u);
  int byRole[4] = {0, 0, 0, 0};
  std::set<std::string> accounts;
  for (const LocalGroupMember& m : world.Groups()[0].members) {
    ++byRole[m.role];
    accounts.insert(m.account);
  }
  EXPECT_EQ(byRole[1], 1);
  EXPECT_EQ(byRole[2], 2);
  EXPECT_EQ(byRole[3], 147);
  EXPECT_EQ(accounts.size(), 150u);
}

TEST(LocalWorldTest, ThePlugInViewListsTheHistoryWithAddressesAndWhatWasSent) {
  LocalWorld world;
  std::string error;
  ASSERT_TRUE(world.Load(TESMO_TEST_DATA_DIR "/localserver-world.json", &error)) << error;
  const TempFolder temp("localserver-test");
  ASSERT_FALSE(temp.Path().empty());
  const std::string dir = temp.Path();
  {
    LocalServer server(world, {dir, 0});
    ASSERT_TRUE(server.Start(&error)) << error;
    LocalMessage sent;
    sent.msgid = 42;
    sent.from = "200001@test.local";
    sent.to = "200002@test.local";
    sent.type = "msg";
    sent.content = "kept";
    server.Store().AddMessage(sent);
    const std::vector<LocalMessage> all = server.Messages();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].content, "http://" + server.Address("DOWN") + "/group1/t/p.png");
    EXPECT_EQ(all[0].remark, "{\"width\":1}");
    EXPECT_EQ(all[1].content, "kept");
    EXPECT_EQ(server.MembersOf("400001@group.test.local"),
              (std::vector<std::string>{"200001@test.local", "200002@test.local"}));
    server.SetGroupMembers([](const std::string& id) {
      return id == "9@group.x" ? std::vector<std::string>{"200003@test.local"}
                               : std::vector<std::string>{};
    });
    EXPECT_EQ(server.MembersOf("9@group.x"), std::vector<std::string>{"200003@test.local"});
  }
}

}  // namespace
