// Constants of the binary RBF layout (docs/rbf-format.md describes it in full).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace grindle {

constexpr std::string_view kRbfMagic = "KRBF";
constexpr std::uint32_t kRbfVersion = 1;
constexpr std::size_t kRbfHeaderSize = 8; // magic, version

// The fewest bytes one table member can take: key length, a one-byte key, type, a boolean.
constexpr std::size_t kMinMemberSize = 4 + 1 + 1 + 1;

} // namespace grindle
