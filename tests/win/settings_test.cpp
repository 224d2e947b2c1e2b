// The options against Wine's real registry (the test prefix is thrown away with the build).
#include <gtest/gtest.h>

#include <string>

#include "app/core/app_settings.h"
#include "app/registry_key.h"
#include "app/settings_store.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

using vantrel::testing::ReadRaw;
using vantrel::testing::WriteRaw;

const std::string kKey = "Software\\Vantrel\\";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel")); }
  void TearDown() override { vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"); }

  AppSettings LoadAll(LONG desktop_right = 1280) {
    SettingsStore store;
    store.OpenKey();
    AppSettings s;
    store.LoadDisplayOptions(s);
    store.LoadMeterOptions(s, desktop_right);
    return s;
  }
  static void WriteDword(const char* name, DWORD value) {
    ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, sizeof value));
  }
};

TEST_F(SettingsTest, FreshProfileReadsEveryDefaultAndCreatesTheKey) {
  AppSettings s = LoadAll(1600);
  EXPECT_TRUE(vantrel::testing::KeyExists(HKEY_CURRENT_USER, "Software\\Vantrel"));
  EXPECT_EQ(s.TransparentForm, 0);
  EXPECT_EQ(s.bAlpha, 0);
  EXPECT_EQ(s.AlwaysOnTop, 1);
  EXPECT_EQ(s.AppearOnlyWhenChrDischr, 0);
  EXPECT_EQ(s.BeepAfterWakeUp, 0);
  EXPECT_EQ(s.PaneWindow, 0);
  EXPECT_EQ(s.DisplayOneBatteryStatus, 0);
  EXPECT_EQ(s.BatteryName, "");
  EXPECT_EQ(s.BatteryMeterPosLeft, 1600 - 70);
  EXPECT_EQ(s.BatteryMeterPosTop, 10);
  EXPECT_EQ(s.Language, "");
}

TEST_F(SettingsTest, AlphaKeepsOnlyTheLowByte) {
  WriteDword(kAlpha, 300);
  EXPECT_EQ(LoadAll().bAlpha, 44);
}

TEST_F(SettingsTest, NumbersOfAnotherTypeAreReadAndRewrittenAsBinary) {
  WriteDword(kTransparentForm, 1);
  AppSettings s = LoadAll();
  EXPECT_EQ(s.TransparentForm, 1);

  SettingsStore store;
  store.SaveDisplayOptions(s);
  auto raw = ReadRaw(HKEY_CURRENT_USER, kKey, kTransparentForm);
  ASSERT_TRUE(raw.found);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.data, (std::vector<BYTE>{1, 0, 0, 0}));
}

TEST_F(SettingsTest, ValuesThatDoNotFitReadAsTheirDefaults) {
  // A number whose data is longer than four bytes, a string stored as binary, a number
  // shorter than four bytes (fills the low bytes).
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kAlwaysOnTop, REG_SZ, "12345", 6));
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kBatteryName, REG_BINARY, "ABC", 4));
  BYTE one = 7;
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kPaneWindow, REG_BINARY, &one, 1));
  AppSettings s = LoadAll();
  EXPECT_EQ(s.AlwaysOnTop, 1);
  EXPECT_EQ(s.BatteryName, "");
  EXPECT_EQ(s.PaneWindow, 7);
}

TEST_F(SettingsTest, StringsReadUpToTheBufferAndNeverPastTheData) {
  std::string longest(254, 'x');
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kLanguage, REG_SZ, longest.c_str(), 255));
  EXPECT_EQ(LoadAll().Language, longest);

  std::string too_long(255, 'y');
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kLanguage, REG_SZ, too_long.c_str(), 256));
  EXPECT_EQ(LoadAll().Language, "");

  // Stored without its terminating zero: exactly the stored bytes come back.
  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kLanguage, REG_SZ, "Deutsch", 7));
  EXPECT_EQ(LoadAll().Language, "Deutsch");

  ASSERT_TRUE(WriteRaw(HKEY_CURRENT_USER, kKey, kLanguage, REG_EXPAND_SZ, "%TEMP%", 7));
  EXPECT_EQ(LoadAll().Language, "%TEMP%");  // never expanded
}

TEST_F(SettingsTest, OverlongBatteryNameIsRefusedAndTheOldOneStays) {
  AppSettings s = LoadAll();
  s.BatteryName = "42T4969";
  SettingsStore store;
  store.SaveDisplayOptions(s);
  s.BatteryName = std::string(255, 'n');
  store.SaveDisplayOptions(s);
  EXPECT_EQ(LoadAll().BatteryName, "42T4969");

  s.BatteryName = std::string(254, 'm');
  store.SaveDisplayOptions(s);
  EXPECT_EQ(LoadAll().BatteryName, std::string(254, 'm'));
}

TEST_F(SettingsTest, NegativePositionsRoundTrip) {
  AppSettings s = LoadAll();
  s.BatteryMeterPosLeft = -1200;
  s.BatteryMeterPosTop = -35;
  SettingsStore().SaveDisplayOptions(s);
  AppSettings back = LoadAll();
  EXPECT_EQ(back.BatteryMeterPosLeft, -1200);
  EXPECT_EQ(back.BatteryMeterPosTop, -35);
  auto raw = ReadRaw(HKEY_CURRENT_USER, kKey, kBatteryMeterPosLeft);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.data.size(), 4u);
}

TEST_F(SettingsTest, LanguageIsStoredAsAString) {
  SettingsStore store;
  ASSERT_TRUE(store.SaveLanguage("Deutsch"));
  auto raw = ReadRaw(HKEY_CURRENT_USER, kKey, kLanguage);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(raw.data.begin(), raw.data.end()), std::string("Deutsch", 8));
  ASSERT_TRUE(store.SaveLanguage(""));
  EXPECT_EQ(LoadAll().Language, "");
}

TEST_F(SettingsTest, AutoStartValueIsWrittenAndDeleted) {
  SettingsStore store;
  const std::string command = AutoStartCommand("C:\\Programs\\Vantrel", "vantrel");
  EXPECT_EQ(command, "C:\\Programs\\Vantrel\\vantrel.exe");
  ASSERT_TRUE(store.SetAutoStart(true, command));
  EXPECT_TRUE(store.IsAutoStart());
  auto raw = ReadRaw(HKEY_CURRENT_USER, kRunKey, kAutoStartValue);
  EXPECT_EQ(std::string(raw.data.begin(), raw.data.end()), command + '\0');
  EXPECT_TRUE(store.SetAutoStart(false, command));
  EXPECT_FALSE(store.IsAutoStart());
  EXPECT_FALSE(store.SetAutoStart(false, command));  // nothing left to delete
}

TEST(RegistryKeyTest, SetRootAcceptsOnlyThePredefinedRoots) {
  RegistryKey key;
  EXPECT_EQ(key.root(), HKEY_CURRENT_USER);
  EXPECT_FALSE(key.SetRoot(HKEY_CURRENT_CONFIG));
  EXPECT_FALSE(key.SetRoot(reinterpret_cast<HKEY>(0x1234)));
  EXPECT_EQ(key.root(), HKEY_CURRENT_USER);
  EXPECT_TRUE(key.SetRoot(HKEY_LOCAL_MACHINE));
  EXPECT_EQ(key.root(), HKEY_LOCAL_MACHINE);
  EXPECT_TRUE(key.SetRoot(HKEY_USERS));
  EXPECT_TRUE(key.SetRoot(HKEY_CLASSES_ROOT));
}

TEST(RegistryKeyTest, MissingKeyGivesDefaultsAndFailedWrites) {
  vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\VantrelMissing");
  RegistryKey key;
  EXPECT_FALSE(key.Open("Software\\VantrelMissing\\", false));
  EXPECT_EQ(key.last_error(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(key.path(), "");
  ASSERT_TRUE(key.Open("Software\\VantrelMissing\\", true));
  ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\VantrelMissing"));
  EXPECT_EQ(key.ReadNumber("x", 42), 42u);
  EXPECT_EQ(key.ReadString("x", "d"), "d");
  EXPECT_EQ(key.ValueType("x"), 0u);
  EXPECT_FALSE(key.ValueExists("x"));
  EXPECT_FALSE(key.WriteNumber("x", 1));
  EXPECT_FALSE(key.WriteString("x", "y"));
  EXPECT_FALSE(key.DeleteValue("x"));
  EXPECT_TRUE(key.Open("", false));
  EXPECT_EQ(key.path(), "");
}

}  // namespace
}  // namespace vantrel::app
