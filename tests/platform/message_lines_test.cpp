#include <gtest/gtest.h>

#include "platform/platform.h"

namespace {

TEST(MessageLines, CarriageReturnsBecomeLineFeeds) {
    EXPECT_EQ(platform::MessageLines(std::string("Midi initializing error") + char(13) + "File a.mid"),
              "Midi initializing error\nFile a.mid");
    EXPECT_EQ(platform::MessageLines("one\r\ntwo\r\rthree\n"), "one\ntwo\n\nthree\n");
    EXPECT_EQ(platform::MessageLines("end\r"), "end\n");
}

}  // namespace
