// SHA-256 (FIPS 180-4) of a block of memory, for fingerprints of rendered
// frames that golden tests compare. One call over the whole block: frames are
// contiguous, so there is no incremental interface.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace xmo {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest sha256(const void* data, std::size_t size);

// The digest as 64 lower-case hexadecimal digits, as sha256sum prints it.
std::string sha256Hex(const void* data, std::size_t size);

}  // namespace xmo
