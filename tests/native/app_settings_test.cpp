#include <gtest/gtest.h>

#include "app/core/app_settings.h"

namespace vantrel::app {
namespace {

TEST(AppSettingsTest, SettingsKeyKeepsItsTrailingBackslash) { EXPECT_EQ(SettingsKeyPath(), "Software\\Vantrel\\"); }

}  // namespace
}  // namespace vantrel::app
