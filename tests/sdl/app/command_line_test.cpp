// The desktop game's command line: what is understood, what is refused, and
// where the answers go.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

#include "sdl/app/command_line.h"
#include "sdl/app/player_choices.h"
#include "sdl/settings/setting_rules.h"
#include "sdl/system/files.h"
#include "tests/support/temp_folder.h"

namespace rallix {
namespace {

// What `AnswerWithoutPlaying` wrote into a stream.
std::string Written(std::FILE* stream) {
  std::string text;
  std::rewind(stream);
  for (int c; (c = std::fgetc(stream)) != EOF;)
    text += static_cast<char>(c);
  return text;
}

TEST(CommandLine, NoArgumentsPlaysAndHelpOrVersionAnswerOnStandardOutput) {
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({}), out, err), std::nullopt);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({"-h"}), out, err), 0);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({"--version"}), out, err), 0);
  EXPECT_EQ(Written(out), UsageText() + VersionText());
  EXPECT_EQ(Written(err), "");
  EXPECT_EQ(VersionText().rfind("rallix 1.", 0), 0u) << VersionText();
  std::fclose(out);
  std::fclose(err);
}

TEST(CommandLine, AnythingElseIsNamedOnStandardErrorWithTheUsageAndStatus2) {
  EXPECT_EQ(ParseCommandLine({"--help", "--fast"}).error, "unknown option '--fast'");
  EXPECT_EQ(ParseCommandLine({"court"}).error, "unexpected argument 'court'");
  EXPECT_EQ(ParseCommandLine({"-"}).error, "unexpected argument '-'");
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(out && err);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({"--fast"}), out, err), 2);
  EXPECT_EQ(Written(out), "");
  EXPECT_EQ(Written(err), "rallix: unknown option '--fast' (rallix --help lists the options)\n");
  std::fclose(out);
  std::fclose(err);
}

TEST(CommandLine, DoubleDashEndsTheOptionsAndAnArgumentIsQuotedSafely) {
  EXPECT_TRUE(ParseCommandLine({"--scale", "2", "--"}).Understood());
  EXPECT_EQ(ParseCommandLine({"--", "--help"}).error, "unexpected argument '--help'");
  EXPECT_EQ(ParseCommandLine({"--", "--"}).error, "unexpected argument '--'");
  EXPECT_EQ(ParseCommandLine({"--x\x1b]0;owned\x07"}).error,
            "unknown option '--x\\x1B]0;owned\\x07'");
  EXPECT_EQ(ParseCommandLine({"--scale", "\xff"}).error,
            "--scale takes a whole number from 1 to 8, not '\\xFF'");
  EXPECT_EQ(ParseCommandLine({std::string(100000, 'x')}).error.size(),
            std::string("unexpected argument '").size() + 80 + 3 + 1);
}

TEST(CommandLine, ScaleAndFullscreenAndTheirBadValues) {
  CommandLineOptions options = ParseCommandLine({}).options;
  EXPECT_EQ(options.scale, 1);
  EXPECT_FALSE(options.fullscreen);
  options = ParseCommandLine({"--scale", "3", "--fullscreen"}).options;
  EXPECT_EQ(options.scale, 3);
  EXPECT_TRUE(options.fullscreen);
  options = ParseCommandLine({"--fullscreen", "--scale=8", "--window"}).options;
  EXPECT_EQ(options.scale, 8);
  EXPECT_FALSE(options.fullscreen) << "the last of --fullscreen and --window wins";

  EXPECT_EQ(ParseCommandLine({"--scale"}).error, "--scale needs a whole number from 1 to 8");
  EXPECT_EQ(ParseCommandLine({"--scale=10"}).error,
            "--scale takes a whole number from 1 to 8, not '10'");
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(err);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({"--scale", "0"}), stdout, err), 2);
  std::fclose(err);
}

TEST(CommandLine, VolumeScreenshotFolderAndNoSettings) {
  CommandLineOptions options = ParseCommandLine({}).options;
  EXPECT_EQ(options.volume, std::nullopt);
  EXPECT_EQ(options.screenshot_dir, "");
  EXPECT_FALSE(options.no_settings || options.scale_given || options.fullscreen_given);
  options = ParseCommandLine(
                {"--volume", "0", "--screenshot-dir=/tmp/shots", "--no-settings", "--window"})
                .options;
  EXPECT_EQ(options.volume, 0);
  EXPECT_EQ(options.screenshot_dir, "/tmp/shots");
  EXPECT_TRUE(options.no_settings);
  EXPECT_TRUE(options.fullscreen_given);
  EXPECT_EQ(ParseCommandLine({"--volume=100"}).options.volume, 100);
  EXPECT_EQ(ParseCommandLine({"--volume"}).error, "--volume needs a whole number from 0 to 100");
  EXPECT_EQ(ParseCommandLine({"--screenshot-dir"}).error, "--screenshot-dir needs a folder");
}

// Each value is taken or refused alike on the command line and in the
// settings file, and the help is read within 80 columns.
TEST(SettingRules, AValueIsTakenOrRefusedAlikeOnTheCommandLineAndInTheFile) {
  struct Row {
    Setting setting;
    const char* text;
    std::optional<int> value;
  };
  const Row rows[] = {
      {Setting::kScale, "1", 1},         {Setting::kScale, "8", 8},
      {Setting::kScale, "02", 2},        {Setting::kScale, "0", {}},
      {Setting::kScale, "9", {}},        {Setting::kScale, "2x", {}},
      {Setting::kScale, "", {}},         {Setting::kScale, "+2", {}},
      {Setting::kVolume, "0", 0},        {Setting::kVolume, "100", 100},
      {Setting::kVolume, "050", 50},     {Setting::kVolume, "99", 99},
      {Setting::kVolume, "7.", {}},      {Setting::kVolume, "101", {}},
      {Setting::kVolume, "-1", {}},      {Setting::kVolume, "4294967346", {}},
      {Setting::kMute, "TRUE", 1},       {Setting::kMute, "false", 0},
      {Setting::kMute, "1", {}},         {Setting::kFullscreen, "True", 1},
      {Setting::kFullscreen, "yes", {}},
  };
  for (const Row& row : rows) {
    const SettingRule& rule = RuleOf(row.setting);
    SCOPED_TRACE(std::string(rule.name) + " = '" + row.text + "'");
    const SettingsRead read =
        ReadSettings(std::string("[") + rule.section + "]\n" + rule.name + " = " + row.text + "\n");
    // The one setting named, and no other.
    const SettingValues& got = read.values;
    std::vector<int> from_file;
    for (const std::optional<int>& value : {got.scale, got.volume}) {
      if (value)
        from_file.push_back(*value);
    }
    for (const std::optional<bool>& value : {got.fullscreen, got.mute}) {
      if (value)
        from_file.push_back(*value ? 1 : 0);
    }
    EXPECT_EQ(from_file, row.value ? std::vector<int>{*row.value} : std::vector<int>{});
    EXPECT_EQ(read.damaged.size(), row.value ? 0u : 1u);
    if (rule.true_or_false)
      continue;
    const ParsedCommandLine parsed = ParseCommandLine({rule.option, row.text});
    const std::optional<int> from_line = !parsed.Understood() ? std::nullopt
                                         : row.setting == Setting::kScale
                                             ? std::optional<int>(parsed.options.scale)
                                             : parsed.options.volume;
    EXPECT_EQ(from_line, row.value);
  }
  EXPECT_EQ(ReadSettings("[display]\nscale = 9\n").damaged.at(0),
            "line 2, \"scale = 9\": scale takes a whole number from 1 to 8");

  const std::string help = UsageText();
  for (size_t at = 0, end = 0; at < help.size(); at = end + 1) {
    end = help.find('\n', at);
    EXPECT_LE(end - at, 80u) << help.substr(at, end - at);
  }
  EXPECT_NE(help.find("[sound] volume = 0 to 100\n  [sound] mute = true or false"),
            std::string::npos)
      << help;
}

TEST(PlayerChoices, TheFilesSettingsUnderTheCommandLinesAndOnlyTheFilesAreKept) {
  testing::TempFolder temp;
  setenv("HOME", temp.Path().c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  const std::string folder = temp.File("config");
  const std::string path = folder + "/settings.ini";
  ASSERT_EQ(MakeFolders(folder), "");
  const std::string text =
      "[display]\nscale = 2\nfullscreen = true\n[sound]\nvolume = 40\nmute = true\n"
      "[keys]\nleft = A\nright = A\n";
  testing::WriteFile(path, std::vector<uint8_t>(text.begin(), text.end()));
  std::vector<std::string> said;
  SettingsFile file(folder, path, [&said](const std::string& line) { said.push_back(line); });
  PlayerChoices choices =
      ChoicesFor(ParseCommandLine({"--scale", "3", "--volume", "70", "--window"}).options, &file);
  EXPECT_EQ(std::tuple(choices.display.scale, choices.scale_file), std::tuple(3, ""));
  EXPECT_FALSE(choices.display.fullscreen);
  EXPECT_EQ(choices.volume, 70);
  EXPECT_TRUE(choices.muted);
  EXPECT_EQ(choices.keys.VirtualKeyOf(SDL_SCANCODE_A), kVkLeft);
  EXPECT_EQ(said, std::vector<std::string>{"rallix: " + path +
                                           " line 9, \"right = A\": A is the key for left too; "
                                           "the line is ignored"});
  EXPECT_EQ(choices.screenshot_folder, temp.File("Pictures/Rallix"));
  // What the command line gave is not kept; the rest is.
  ASSERT_TRUE(choices.keep);
  choices.keep(Setting::kVolume, 80);
  choices.keep(Setting::kFullscreen, 1);
  choices.keep(Setting::kMute, 0);
  choices.keep = nullptr;  // the last copy: the changes are written as it goes
  const SettingValues now = ReadSettings(ReadSmallFile(path, 1000).bytes).values;
  EXPECT_EQ(std::tuple(now.volume, now.fullscreen, now.mute),
            std::tuple(std::optional(40), std::optional(true), std::optional(false)));
  EXPECT_EQ(ChoicesFor({}, &file).scale_file, path) << "the scale the file gave";
  ChoicesFor({}, &file).keep(Setting::kFullscreen, 0);  // no option given: kept
  ChoicesFor({}, &file).keep(Setting::kVolume, 30);
  const SettingValues later = ReadSettings(ReadSmallFile(path, 1000).bytes).values;
  EXPECT_EQ(std::tuple(later.fullscreen, later.volume), std::tuple(false, 30));

  // No place for the file: the first change says it is not kept.
  SettingsFile no_place("", "", [&said](const std::string& line) { said.push_back(line); });
  said.clear();
  const PlayerChoices nowhere = ChoicesFor({}, &no_place);
  nowhere.keep(Setting::kMute, 1);
  nowhere.keep(Setting::kVolume, 10);
  EXPECT_EQ(said, std::vector<std::string>{"rallix: the settings are not kept: the system names "
                                           "no place for ~/.config/rallix/settings.ini"});

  // --no-settings: no file at all, the game's own settings, nothing kept.
  const PlayerChoices none = ChoicesFor(ParseCommandLine({"--no-settings"}).options, nullptr);
  EXPECT_EQ(std::tuple(none.volume, none.muted, none.display.fullscreen, none.display.scale,
                       static_cast<bool>(none.keep)),
            std::tuple(100, false, false, 1, false));
  EXPECT_EQ(
      ChoicesFor(ParseCommandLine({"--screenshot-dir", "x"}).options, nullptr).screenshot_folder,
      "x");
}

TEST(CommandLine, OneDemoOptionWithItsFileAndNoWindowOptionsForTheTimedReplay) {
  CommandLineOptions options = ParseCommandLine({"--record", "run.demo", "--scale", "2"}).options;
  EXPECT_EQ(options.demo, DemoMode::kRecord);
  EXPECT_EQ(options.demo_file, "run.demo");
  EXPECT_EQ(options.scale, 2);
  options = ParseCommandLine({"--fullscreen", "--playdemo=--scale 2"}).options;
  EXPECT_EQ(options.demo, DemoMode::kPlay);
  EXPECT_EQ(options.demo_file, "--scale 2");
  options = ParseCommandLine({"--timedemo", "--window"}).options;
  EXPECT_EQ(options.demo, DemoMode::kTime);
  EXPECT_EQ(options.demo_file, "--window") << "the next argument is the file, whatever it is";
  EXPECT_EQ(ParseCommandLine({}).options.demo, DemoMode::kNone);

  EXPECT_EQ(ParseCommandLine({"--record"}).error, "--record needs a file name");
  EXPECT_EQ(ParseCommandLine({"--timedemo="}).error, "--timedemo needs a file name");
  EXPECT_EQ(ParseCommandLine({"--record", "a.demo", "--playdemo", "b.demo"}).error,
            "only one of --record, --playdemo and --timedemo can be given");
  EXPECT_EQ(ParseCommandLine({"--timedemo", "a.demo", "--timedemo", "b.demo"}).error,
            "only one of --record, --playdemo and --timedemo can be given");
  EXPECT_EQ(ParseCommandLine({"--scale=2", "--timedemo", "a.demo"}).error,
            "--timedemo opens no window: --scale, --fullscreen and --window do not go with it");
}

}  // namespace
}  // namespace rallix
