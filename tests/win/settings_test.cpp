// The options against Wine's real registry (the test prefix is thrown away with the build).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/caught.h"
#include "settings/core/app_settings.h"
#include "settings/registry_key.h"
#include "settings/settings_store.h"
#include "win/test_support.h"

namespace vantrel::settings {
namespace {

using vantrel::testing::kKey;
using vantrel::testing::ReadRaw;

class SettingsTest : public ::testing::Test {
 protected:
  AppSettings LoadAll(LONG desktop_right = 1280) { return vantrel::testing::StoredSettings(desktop_right); }
  static void Write(const char* name, DWORD type, const void* data, size_t size) {
    ASSERT_TRUE(vantrel::testing::WriteRaw(HKEY_CURRENT_USER, kKey, name, type, data, static_cast<DWORD>(size)));
  }
  static void WriteDword(const char* name, DWORD value) { Write(name, REG_DWORD, &value, sizeof value); }

  vantrel::testing::CleanKey clean_;
};

// An overlong text is refused alone: the options saved with it are written all the same.
TEST_F(SettingsTest, FreshDefaultsEveryOptionInItsFormatAndRoundTripsThatRefuseAnOverlongText) {
  AppSettings s = LoadAll(1600);
  EXPECT_EQ(s.TransparentForm + s.bAlpha + s.AppearOnlyWhenChrDischr + s.BeepAfterWakeUp + s.PaneWindow +
                s.DisplayOneBatteryStatus,
            0);
  EXPECT_EQ(s.AlwaysOnTop, 1);
  EXPECT_EQ(s.BatteryName + s.Language + s.SchemeOnMains + s.SchemeOnBattery, "");
  EXPECT_EQ(s.BatteryMeterPosLeft, 1600 - 70);
  EXPECT_EQ(s.BatteryMeterPosTop, 10);
  EXPECT_EQ(s.LowBatteryNotice, 15u);
  EXPECT_EQ(s.ChargeLimitNotice, 0u);  // off until chosen

  s.BatteryName = "42T4969";
  s.SchemeOnMains = "Home/Office Desk";
  SettingsStore store;
  store.SaveDisplayOptions(s);
  EXPECT_TRUE(store.SaveSchemeSwitch(s));
  s.BatteryName = s.SchemeOnMains = std::string(255, 'n');
  s.BatteryMeterPosTop = -35;
  s.SchemeOnBattery = "Max Battery";
  const long quiet = fw::QuietFailureCount();
  store.SaveDisplayOptions(s);
  EXPECT_EQ(fw::QuietFailureCount(), quiet + 1) << "the refused name, and nothing else, is traced";
  EXPECT_FALSE(store.SaveSchemeSwitch(s));
  AppSettings back = LoadAll();
  EXPECT_EQ(back.BatteryName + "|" + back.SchemeOnMains + "|" + back.SchemeOnBattery,
            "42T4969|Home/Office Desk|Max Battery");
  EXPECT_EQ(back.BatteryMeterPosTop, -35);
  s.BatteryName = std::string(254, 'm');
  store.SaveDisplayOptions(s);
  EXPECT_EQ(LoadAll().BatteryName, std::string(254, 'm'));

  // One table holds every option: each is stored in its own format (numbers as four
  // little-endian bytes of REG_BINARY, texts as REG_SZ with their zero) and read back as saved.
  s = AppSettings{};
  s.TransparentForm = 1, s.bAlpha = 200, s.AlwaysOnTop = 0, s.AppearOnlyWhenChrDischr = 2, s.BeepAfterWakeUp = 3;
  s.PaneWindow = 4, s.DisplayOneBatteryStatus = 5, s.BatteryName = "42T4969";
  s.BatteryMeterPosLeft = -1200, s.BatteryMeterPosTop = 345, s.LowBatteryNotice = 9, s.ChargeLimitNotice = 80;
  s.SchemeOnMains = "Home", s.SchemeOnBattery = "Max";
  store.SaveDisplayOptions(s);
  ASSERT_TRUE(store.SaveLanguage("Deutsch") && store.SaveNoticeLevels(s) && store.SaveSchemeSwitch(s));
  using Bytes = std::vector<BYTE>;
  const struct { const char* name; Bytes number; const char* text; } stored[] = {
      {kTransparentForm, {1, 0, 0, 0}, nullptr},    {kAlpha, {200, 0, 0, 0}, nullptr},
      {kAlwaysOnTop, {0, 0, 0, 0}, nullptr},        {kAppearOnlyWhenChrDischr, {2, 0, 0, 0}, nullptr},
      {kBeepAfterWakeUp, {3, 0, 0, 0}, nullptr},    {kPaneWindow, {4, 0, 0, 0}, nullptr},
      {kDisplayOneBatteryStatus, {5, 0, 0, 0}, nullptr}, {kBatteryName, {}, "42T4969"},
      {kBatteryMeterPosLeft, {0x50, 0xFB, 0xFF, 0xFF}, nullptr}, {kBatteryMeterPosTop, {0x59, 1, 0, 0}, nullptr},
      {kLanguage, {}, "Deutsch"},                   {kLowBatteryNotice, {9, 0, 0, 0}, nullptr},
      {kChargeLimitNotice, {80, 0, 0, 0}, nullptr}, {kSchemeOnMains, {}, "Home"},
      {kSchemeOnBattery, {}, "Max"}};
  for (const auto& value : stored) {
    const auto raw = ReadRaw(HKEY_CURRENT_USER, kKey, value.name);
    EXPECT_EQ(raw.type, static_cast<DWORD>(value.text ? REG_SZ : REG_BINARY)) << value.name;
    EXPECT_EQ(raw.data, value.text ? Bytes(value.text, value.text + std::strlen(value.text) + 1) : value.number)
        << value.name;
  }
  back = LoadAll();
  EXPECT_EQ(back.bAlpha + back.AppearOnlyWhenChrDischr + back.BeepAfterWakeUp + back.PaneWindow, 209);
  EXPECT_EQ(back.BatteryMeterPosLeft + back.BatteryMeterPosTop, -855);
  EXPECT_EQ(back.BatteryName + back.Language + back.SchemeOnMains + back.SchemeOnBattery, "42T4969DeutschHomeMax");
  EXPECT_EQ(back.LowBatteryNotice + back.ChargeLimitNotice, 89u);
  EXPECT_EQ(back.TransparentForm + back.AlwaysOnTop + back.DisplayOneBatteryStatus, 6);
}

TEST_F(SettingsTest, StoredValuesOfOtherTypesSizesAndNoticeLevelsAndRegistryKeysWithoutAPath) {
  WriteDword(kAlpha, 300);                         // only the low byte counts
  WriteDword(kTransparentForm, 1);                 // a number of another type still reads
  Write(kAlwaysOnTop, REG_SZ, "12345", 6);         // longer than four bytes: the default
  Write(kBatteryName, REG_BINARY, "ABC", 4);       // a string stored as binary: the default
  const BYTE seven = 7;
  Write(kPaneWindow, REG_BINARY, &seven, 1);       // shorter: fills the low bytes
  AppSettings s = LoadAll();
  EXPECT_EQ(s.bAlpha, 44);
  EXPECT_EQ(s.TransparentForm, 1);
  EXPECT_EQ(s.AlwaysOnTop, 1);
  EXPECT_EQ(s.BatteryName, "");
  EXPECT_EQ(s.PaneWindow, 7);
  // ... and is rewritten as binary.
  SettingsStore().SaveDisplayOptions(s);
  auto raw = ReadRaw(HKEY_CURRENT_USER, kKey, kTransparentForm);
  EXPECT_EQ(raw.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(raw.data, (std::vector<BYTE>{1, 0, 0, 0}));

  // Strings read up to the buffer and never past the stored bytes, and are never expanded.
  const struct { DWORD type; std::string bytes, read; } strings[] = {
      {REG_SZ, std::string(254, 'x') + '\0', std::string(254, 'x')},
      {REG_SZ, std::string(255, 'y') + '\0', ""},
      {REG_SZ, "Deutsch", "Deutsch"},  // without its terminating zero
      {REG_EXPAND_SZ, std::string("%TEMP%", 7), "%TEMP%"}};
  for (const auto& c : strings) {
    Write(kLanguage, c.type, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(LoadAll().Language, c.read) << c.bytes.size();
  }

  // Stored value -> low battery level read: only a four-byte number within the scale counts.
  const struct { DWORD type; std::vector<BYTE> bytes; uint32_t read; } levels[] = {
      {REG_BINARY, {0, 0, 0, 0}, 0},             // switched off: kept off, not taken for missing
      {REG_DWORD, {30, 0, 0, 0}, 30},            // written by hand as a DWORD
      {REG_BINARY, {100, 0, 0, 0}, 100},
      {REG_BINARY, {101, 0, 0, 0}, 15},          // beyond 100 %
      {REG_BINARY, {0xF6, 0xFF, 0xFF, 0xFF}, 15},  // -10
      {REG_BINARY, {20, 0}, 15},                 // too short
      {REG_BINARY, {20, 0, 0, 0, 0, 0, 0, 0}, 15}, // too long
      {REG_SZ, {'2', '0', 0}, 15}};              // a text fits in four bytes but is no number
  for (const auto& c : levels) {
    Write(kLowBatteryNotice, c.type, c.bytes.data(), c.bytes.size());
    EXPECT_EQ(LoadAll().LowBatteryNotice, c.read) << c.type << " " << c.bytes.size();
  }

  // Registry keys: only the predefined roots, and a missing key gives defaults.
  RegistryKey rooted;
  EXPECT_FALSE(rooted.SetRoot(HKEY_CURRENT_CONFIG) || rooted.SetRoot(reinterpret_cast<HKEY>(0x1234)));
  EXPECT_EQ(rooted.root(), HKEY_CURRENT_USER);
  EXPECT_TRUE(rooted.SetRoot(HKEY_LOCAL_MACHINE));
  EXPECT_EQ(rooted.root(), HKEY_LOCAL_MACHINE);

  const std::string missing = "Software\\VantrelMissing";
  RegistryKey opened;
  vantrel::testing::DeleteTree(HKEY_CURRENT_USER, missing);
  EXPECT_FALSE(opened.Open(missing + "\\", false));
  EXPECT_EQ(opened.last_error(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(opened.path(), "");
  ASSERT_TRUE(opened.Open(missing + "\\", true));
  ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, missing));  // gone from under the open key
  EXPECT_EQ(opened.ReadNumber("x", 42), 42u);
  EXPECT_EQ(opened.ReadString("x", "d"), "d");
  EXPECT_FALSE(opened.ValueExists("x") || opened.WriteNumber("x", 1) || opened.WriteString("x", "y") ||
               opened.DeleteValue("x"));

  // RegOpenKeyEx with an empty sub-key opens the root itself: a key without a path must never
  // reach the root of HKEY_CURRENT_USER.
  constexpr char kProbe[] = "VantrelRootProbe";
  const DWORD planted = 5;
  ASSERT_TRUE(vantrel::testing::WriteRaw(HKEY_CURRENT_USER, "", kProbe, REG_BINARY, &planted, sizeof planted));
  vantrel::testing::CleanKey clean;

  RegistryKey never;
  RegistryKey failed;  // a component longer than a key name may be
  ASSERT_TRUE(failed.Open(kKey, true));
  EXPECT_FALSE(failed.Open(std::string(kKey) + "\\" + std::string(300, 'k'), true));
  EXPECT_NE(failed.last_error(), ERROR_SUCCESS);
  RegistryKey cleared;
  ASSERT_TRUE(cleared.Open(kKey, true));
  EXPECT_TRUE(cleared.Open("", false));
  EXPECT_EQ(cleared.path(), "");
  for (RegistryKey* key : {&never, &failed, &cleared}) {
    EXPECT_EQ(key->ReadNumber(kProbe, 42), 42u);
    EXPECT_EQ(key->ValueType(kProbe), 0u);
    EXPECT_FALSE(key->ValueExists(kProbe));
    EXPECT_FALSE(key->WriteNumber(kProbe, 7) || key->WriteString("VantrelRootText", "x") || key->DeleteValue(kProbe));
  }
  const auto root = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, "", kProbe);
  ::RegDeleteValueA(HKEY_CURRENT_USER, kProbe);
  ::RegDeleteValueA(HKEY_CURRENT_USER, "VantrelRootText");
  EXPECT_EQ(root.data, (std::vector<BYTE>{5, 0, 0, 0})) << "written or deleted at the root";
  EXPECT_FALSE(vantrel::testing::ReadRaw(HKEY_CURRENT_USER, kKey, kProbe).found);
}

}  // namespace
}  // namespace vantrel::settings
