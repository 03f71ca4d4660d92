#include "sdl/settings/settings_text.h"

#include <cctype>

#include "base/printable_text.h"
#include "sdl/settings/setting_rules.h"

namespace rallix {
namespace {

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos)
    return "";
  const size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// A line of the text, with what ended it ("\n", "\r\n", "\r" or nothing at
// the end).
struct Line {
  std::string text;
  std::string end;
};

// The lines of the text after its byte-order mark, if it has one.
std::vector<Line> Lines(const std::string& text) {
  std::vector<Line> lines;
  size_t at = text.rfind(kByteOrderMark, 0) == 0 ? sizeof kByteOrderMark - 1 : 0;
  while (at < text.size()) {
    const size_t end = text.find_first_of("\r\n", at);
    Line line;
    line.text = text.substr(at, end == std::string::npos ? std::string::npos : end - at);
    if (end != std::string::npos)
      line.end = text.compare(end, 2, "\r\n") == 0 ? "\r\n" : text.substr(end, 1);
    at = end == std::string::npos ? text.size() : end + line.end.size();
    lines.push_back(std::move(line));
  }
  return lines;
}

// What one line is: nothing to read, a section's heading, a setting, or
// something else.
struct Parsed {
  enum class Kind { kNothing, kSection, kSetting, kDamaged };
  Kind kind = Kind::kNothing;
  std::string section;  // kSection: its name, in lower case
  std::string name;     // kSetting: its name, in lower case
  std::string value;
};

Parsed Parse(const std::string& text) {
  Parsed parsed;
  const std::string line = Trimmed(text);
  if (line.empty() || line[0] == '#' || line[0] == ';')
    return parsed;
  if (line.front() == '[') {
    if (line.back() != ']' || line.size() < 3) {
      parsed.kind = Parsed::Kind::kDamaged;
      return parsed;
    }
    parsed.kind = Parsed::Kind::kSection;
    parsed.section = Lower(Trimmed(line.substr(1, line.size() - 2)));
    return parsed;
  }
  const size_t equals = line.find('=');
  if (equals == std::string::npos || Trimmed(line.substr(0, equals)).empty()) {
    parsed.kind = Parsed::Kind::kDamaged;
    return parsed;
  }
  parsed.kind = Parsed::Kind::kSetting;
  parsed.name = Lower(Trimmed(line.substr(0, equals)));
  parsed.value = Trimmed(line.substr(equals + 1));
  return parsed;
}

// Takes the setting into `values`; why not, when it is not understood.
std::string Take(const std::string& section, const Parsed& line, SettingValues& values) {
  const SettingRule* rule = SettingNamed(section, line.name);
  if (rule == nullptr) {
    return "there is no setting '" + PrintableText(line.name, 30) + "' in [" +
           PrintableText(section, 30) + "]";
  }
  const std::optional<int> value = ValueOf(*rule, line.value);
  if (!value)
    return std::string(rule->name) + " takes " + ValuesTaken(*rule);
  switch (rule->setting) {
    case Setting::kScale:
      values.scale = *value;
      break;
    case Setting::kFullscreen:
      values.fullscreen = *value != 0;
      break;
    case Setting::kVolume:
      values.volume = *value;
      break;
    case Setting::kMute:
      values.mute = *value != 0;
      break;
  }
  return "";
}

}  // namespace

SettingsRead ReadSettings(const std::string& text) {
  SettingsRead read;
  std::string section;
  const std::vector<Line> lines = Lines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    const Parsed line = Parse(lines[i].text);
    std::string why;
    switch (line.kind) {
      case Parsed::Kind::kNothing:
        break;
      case Parsed::Kind::kSection:
        section = line.section;
        break;
      case Parsed::Kind::kDamaged:
        if (section.empty() || IsSettingsSection(section))
          why = "it is neither a [section] nor a setting = value";
        break;
      case Parsed::Kind::kSetting:
        if (section.empty()) {
          why = "it comes before any [section]";
        } else if (section == "keys") {
          read.keys.push_back(KeysLine{number, lines[i].text, line.name, line.value});
        } else if (IsSettingsSection(section)) {
          // A value that is not understood leaves the one before it.
          why = Take(section, line, read.values);
        }
        break;
    }
    if (!why.empty()) {
      read.damaged.push_back("line " + std::to_string(number) + ", \"" +
                             PrintableText(Trimmed(lines[i].text), 60) + "\": " + why);
    }
  }
  return read;
}

std::string WithSetting(const std::string& text, const std::string& section,
                        const std::string& name, const std::string& value) {
  std::vector<Line> lines = Lines(text);
  const std::string end = !lines.empty() && !lines.front().end.empty() ? lines.front().end : "\n";
  const std::string wanted_section = Lower(section);
  const std::string wanted_name = Lower(name);
  const std::string setting = name + " = " + value;
  std::string current;
  std::optional<size_t> setting_at;   // the line that sets it now
  std::optional<size_t> section_end;  // the last line of the section that is not blank
  for (size_t i = 0; i < lines.size(); ++i) {
    const Parsed line = Parse(lines[i].text);
    if (line.kind == Parsed::Kind::kSection)
      current = line.section;
    if (current != wanted_section)
      continue;
    if (line.kind == Parsed::Kind::kSetting && line.name == wanted_name)
      setting_at = i;
    if (!Trimmed(lines[i].text).empty())
      section_end = i;
  }
  if (!lines.empty() && lines.back().end.empty())
    lines.back().end = end;
  if (setting_at) {
    lines[*setting_at].text = setting;
  } else if (section_end) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*section_end) + 1, Line{setting, end});
  } else {
    lines.push_back(Line{"[" + section + "]", end});
    lines.push_back(Line{setting, end});
  }
  std::string joined = text.rfind(kByteOrderMark, 0) == 0 ? kByteOrderMark : "";
  for (const Line& line : lines)
    joined += line.text + line.end;
  return joined;
}

}  // namespace rallix
