#include "sdl/settings/setting_rules.h"

#include <cctype>

namespace rallix {

const SettingRule& RuleOf(Setting setting) {
  for (const SettingRule& rule : kSettingRules) {
    if (rule.setting == setting)
      return rule;
  }
  return kSettingRules[0];  // every setting has its row
}

const SettingRule* SettingNamed(const std::string& section, const std::string& name) {
  for (const SettingRule& rule : kSettingRules) {
    if (section == rule.section && name == rule.name)
      return &rule;
  }
  return nullptr;
}

bool IsSettingsSection(const std::string& section) {
  if (section == "keys")
    return true;
  for (const SettingRule& rule : kSettingRules) {
    if (section == rule.section)
      return true;
  }
  return false;
}

std::optional<int> ValueOf(const SettingRule& rule, const std::string& text) {
  if (rule.true_or_false) {
    std::string lower;
    for (char c : text)
      lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "true" || lower == "false")
      return lower == "true" ? 1 : 0;
    return std::nullopt;
  }
  if (text.empty())
    return std::nullopt;
  int number = 0;
  for (char c : text) {
    if (c < '0' || c > '9')
      return std::nullopt;
    number = 10 * number + (c - '0');
    if (number > rule.most)
      return std::nullopt;
  }
  if (number < rule.least)
    return std::nullopt;
  return number;
}

std::string ValueText(const SettingRule& rule, int value) {
  if (rule.true_or_false)
    return value != 0 ? "true" : "false";
  return std::to_string(value);
}

std::string ValuesTaken(const SettingRule& rule) {
  if (rule.true_or_false)
    return "true or false";
  return "a whole number from " + std::to_string(rule.least) + " to " + std::to_string(rule.most);
}

}  // namespace rallix
