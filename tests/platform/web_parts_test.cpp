// The plain parts of the browser's backend: its keys.
#include <gtest/gtest.h>

#include "platform/input.h"
#include "platform/web/dom_keys.h"

using namespace platform;

TEST(DomKeys, LayoutLettersPhysicalKeypadAndNamedKeys) {
    EXPECT_EQ(VirtualKeyOfDom("a", "KeyA"), 'A');
    EXPECT_EQ(VirtualKeyOfDom("A", "KeyA"), 'A');
    EXPECT_EQ(VirtualKeyOfDom("q", "KeyA"), 'Q');  // a French keyboard: the letter printed on the key
    EXPECT_EQ(VirtualKeyOfDom("Dead", "KeyE"), 'E');
    EXPECT_EQ(VirtualKeyOfDom("!", "Digit1"), '1');  // Shift+1 is still the key 1
    EXPECT_EQ(VirtualKeyOfDom("1", "Numpad1"), vk::Numpad0 + 1);
    EXPECT_EQ(VirtualKeyOfDom("+", "NumpadAdd"), vk::Add);
    EXPECT_EQ(VirtualKeyOfDom("Enter", "NumpadEnter"), vk::Enter);
    EXPECT_EQ(VirtualKeyOfDom(" ", "Space"), vk::Space);
    EXPECT_EQ(VirtualKeyOfDom("ArrowLeft", "ArrowLeft"), vk::Left);
    EXPECT_EQ(VirtualKeyOfDom("F2", "F2"), vk::F1 + 1);
    EXPECT_EQ(VirtualKeyOfDom("F12", "F12"), vk::F12);
    EXPECT_EQ(VirtualKeyOfDom("-", "Minus"), 189);
    EXPECT_EQ(VirtualKeyOfDom("Meta", "MetaLeft"), 0);
    EXPECT_EQ(VirtualKeyOfDom("F13", "F13"), 0);
}
