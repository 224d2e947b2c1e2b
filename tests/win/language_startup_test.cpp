// Start-up loads the stored language, or says once that its file is missing and goes on with
// the built-in texts.
#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "app/core/app_settings.h"
#include "app/corvane_app.h"
#include "app/settings_store.h"
#include "framework/prompt.h"
#include "i18n/core/language_table.h"
#include "win/test_support.h"

namespace vantrel::app {
namespace {

class LanguageStartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"));
    SettingsStore store;
    ASSERT_TRUE(store.OpenKey());
    ASSERT_TRUE(store.SaveLanguage("Klingon"));
  }
  void TearDown() override { vantrel::testing::DeleteTree(HKEY_CURRENT_USER, "Software\\Vantrel"); }
};

TEST_F(LanguageStartUpTest, MissingFileIsReportedOnceThenBuiltInTexts) {
  fw::PromptRecorder prompts;
  {
    CorvaneApp app;
    ASSERT_TRUE(app.InitInstance(::GetModuleHandleA(nullptr)));
    ASSERT_EQ(prompts.entries().size(), 1u);
    EXPECT_EQ(prompts.entries()[0].text, "The language file 'Klingon.lng' absent or location in wrong path!");
    EXPECT_EQ(prompts.entries()[0].type, static_cast<UINT>(MB_OK));
    EXPECT_EQ(State().settings.Language, "");
    EXPECT_EQ(i18n::Text(3003), "Batteries");
    EXPECT_EQ(i18n::Texts().folder(), State().app_directory + "\\Languages\\");
  }
  // Only this run falls back; the stored name stays for the next.
  auto value = vantrel::testing::ReadRaw(HKEY_CURRENT_USER, SettingsKeyPath(), kLanguage);
  EXPECT_EQ(std::string(value.data.begin(), value.data.end()), std::string("Klingon", sizeof "Klingon"));
}

TEST_F(LanguageStartUpTest, StoredLanguageIsLoadedFromBesideTheProgram) {
  // The build puts the shipped files into "Languages" beside the test program.
  SettingsStore store;
  ASSERT_TRUE(store.SaveLanguage("Deutsch"));
  fw::PromptRecorder prompts;
  {
    CorvaneApp app;
    ASSERT_TRUE(app.InitInstance(::GetModuleHandleA(nullptr)));
    EXPECT_TRUE(prompts.entries().empty());
    EXPECT_EQ(i18n::Texts().name(), "Deutsch");
    EXPECT_EQ(i18n::Text(3), "\xDC" "bernehmen");
  }
  // The table goes with the application; nothing points at it afterwards.
  EXPECT_EQ(i18n::Text(3), "Apply");
}

}  // namespace
}  // namespace vantrel::app
