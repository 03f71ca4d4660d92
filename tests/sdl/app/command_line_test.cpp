// The desktop game's command line: what is understood, what is refused, and
// where the answers go.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "sdl/app/command_line.h"

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
  EXPECT_EQ(Written(err), "rallix: unknown option '--fast'\n" + UsageText());
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
            "--scale takes a number from 1 to 8, not '\\xFF'");
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

  EXPECT_EQ(ParseCommandLine({"--scale"}).error, "--scale needs a number from 1 to 8");
  for (const char* bad : {"0", "9", "2x", ""}) {
    EXPECT_EQ(ParseCommandLine({"--scale", bad}).error,
              std::string("--scale takes a number from 1 to 8, not '") + bad + "'");
  }
  EXPECT_EQ(ParseCommandLine({"--scale=10"}).error, "--scale takes a number from 1 to 8, not '10'");
  std::FILE* err = std::tmpfile();
  ASSERT_TRUE(err);
  EXPECT_EQ(AnswerWithoutPlaying(ParseCommandLine({"--scale", "0"}), stdout, err), 2);
  std::fclose(err);
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
