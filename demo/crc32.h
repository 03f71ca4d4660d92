// CRC-32 as zip and PNG compute it (polynomial 0xEDB88320, reflected,
// starting from and finished with all ones): the checksum of a demo's
// header and chunks. Crc32 of "123456789" is 0xCBF43926.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rallix {

uint32_t Crc32(const uint8_t* bytes, size_t count);

}  // namespace rallix
