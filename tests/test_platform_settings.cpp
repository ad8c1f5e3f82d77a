// System colours and user settings of the backends whose window system has neither (X11,
// headless): the layer's own colour table and a registry without keys.
#include <gtest/gtest.h>

#include "toolkit/platform.h"

namespace {

const PlatTable& plain() {
    static PlatTable table = [] {
        PlatTable t{};
        plat_fill_plain_settings(&t);
        return t;
    }();
    return table;
}

TEST(PlainSettings, SystemColoursAreTheLayersOwnTable) {
    PlatColor before = plain().get_sys_color(3);
    int index = 3;
    PlatColor black = PLAT_PALETTERGB(0, 0, 0);
    ASSERT_EQ(plain().set_sys_colors(1, &index, &black), 1);
    EXPECT_EQ(plain().get_sys_color(3), black);
    ASSERT_EQ(plain().set_sys_colors(1, &index, &before), 1);
    EXPECT_EQ(plain().get_sys_color(3), before);
    EXPECT_EQ(plain().get_sys_color(25), 0u);
    EXPECT_EQ(plain().get_sys_color(-1), 0u);
}

TEST(PlainSettings, UserColoursKeyCannotBeOpened) {
    EXPECT_EQ(plain().reg_open_user_key("Control Panel\\Colors"), 0u);
    int type = -1, size = 64;
    char data[64];
    EXPECT_EQ(plain().reg_query_value(0, "Menu", &type, data, &size), 0);
}

} // namespace
