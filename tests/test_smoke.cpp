#include "VrnTestSupport.h"

#include <gtest/gtest.h>

TEST(PluginSmoke, LoadsThroughThePluginLoader)
{
    const VrnLoadedPlugin loaded = VrnTest::plugin();
    ASSERT_NE(loaded.plugin, nullptr);
    EXPECT_EQ(loaded.plugin->pluginVersion(), 1);
}
