#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

// The sub-block chains of GIF data: a length byte, that many bytes, until a
// length of zero. Shared by the block walk and the LZW reader; positions
// never pass the end of the data, which truncated files reach instead of a
// terminator.
namespace images::gif {

// The position after the one sub-block at `pos`.
size_t SkipSubBlock(std::span<const uint8_t> data, size_t pos);

// The position after the terminator of the chain that starts at `pos`;
// `bytes`, when given, receives the number of data bytes the chain holds.
size_t SkipSubBlocks(std::span<const uint8_t> data, size_t pos, int64_t* bytes = nullptr);

}  // namespace images::gif
