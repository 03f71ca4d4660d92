// The version this game was built as ("1.1.0"), which a demo records.
#pragma once

#include <string_view>

namespace rallix {

std::string_view GameVersion();

}  // namespace rallix
