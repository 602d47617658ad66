// What the message line says for each answer of the online table, and
// that a player who never named a server keeps the settings file as it was.
#include "shell/online.h"

#include <gtest/gtest.h>

#include <ostream>

#include "platform/headless/headless_backend.h"

namespace {

using platform::NetworkReply;
using shell::opSubmission;
using shell::opToken;

struct MessageCase {
    NetworkReply reply;
    const char* message;
};

// The answer's status names a case in the test list.
void PrintTo(const MessageCase& c, std::ostream* out) { *out << "status " << c.reply.status; }

class OnlineMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(OnlineMessageTest, SaysWhatTheTableDid) {
    EXPECT_EQ(shell::OnlineMessage(GetParam().reply), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OnlineMessageTest,
    ::testing::Values(
        MessageCase{{1, opSubmission, 201, R"({"status":"listed","rank":12,"reason":""})"}, "Online rank 12"},
        MessageCase{
            {1, opSubmission, 201, R"({"status":"rejected","reason":"token used before","rank":null})"},
            "Not listed: token used before"},
        MessageCase{{1, opSubmission, 400, R"({"error":"damaged file: not a recording of a game"})"},
                    "Not listed: damaged file: not a recording of a game"},
        MessageCase{{1, opSubmission, 202, R"({"id":4,"status":"pending"})"},
                    "Sent: the online table checks the game later"},
        // Kept and sent again: nobody answered, or the server could not decide.
        MessageCase{{1, opSubmission, 0, "Couldn't connect to server"},
                    "Not sent: the online table cannot be reached"},
        MessageCase{{1, opSubmission, 503, "{}"}, "Not sent: the online table cannot be reached"},
        MessageCase{{1, opSubmission, 429, "{}"}, "Not sent: the online table cannot be reached"},
        MessageCase{{1, opSubmission, 201, "<html>"}, "Not listed: the online table answered nonsense"},
        // A name the game's letters cannot hold, and a reason too long for the line.
        MessageCase{{1, opSubmission, 201, R"({"status":"rejected","reason":"caf\u00e9 \u2603"})"},
                    "Not listed: caf\xe9 ?"},
        MessageCase{
            {1, opSubmission, 201, R"({"status":"rejected","reason":")" + std::string(80, 'x') + R"("})"},
            "Not listed: xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx..."},
        MessageCase{{1, opToken, 200, R"({"token":"t"})"}, ""}));

TEST(OnlineSettings, WrittenOnlyForAPlayerWithAServer) {
    platform::HeadlessBackend machine({});
    platform::Platform media(machine);
    shell::TOnline online(media);
    auto ini = formats::IniFile::FromText("[General]\nTimer=20\n");
    online.ReadSettings(ini);
    EXPECT_FALSE(online.Ranked());
    online.WriteSettings(ini);
    EXPECT_TRUE(ini.ReadSectionKeys("Online").empty());

    ini = formats::IniFile::FromText("[Online]\nServer=http://table.example/\n");
    online.ReadSettings(ini);
    EXPECT_TRUE(online.Ranked());  // naming a server is the choice to play for it
    EXPECT_EQ(online.Server(), "http://table.example");
    online.SetSending(false);
    online.WriteSettings(ini);
    EXPECT_EQ(ini.ReadInteger("Online", "Send", 1), 0);
}

}  // namespace
