// The text views: the file as characters, in blocks of 2048 bytes (one line of the view each,
// in addition to the line breaks inside the data). length/2048 + 1 blocks; the last one holds
// the rest and may be empty.
//   plain:  0x00 is "."; every other byte is its character (tab, line feed and carriage return
//           stay control codes; the other control codes show as visible control pictures).
//   masked: tab, line feed and 0x20-0x7E are kept; every other byte is ".".
#pragma once

#include <string>
#include <vector>

#include "core/bytes.h"
#include "viewers/msx_charset.h"

namespace quarnel::viewers {

inline constexpr std::size_t kTextBlockSize = 2048;

// Number of blocks: length / 2048 + 1.
inline std::size_t TextBlockCount(std::size_t length) { return length / kTextBlockSize + 1; }

// Block `index` (0-based) as UTF-8; "" past the last block.
std::string TextBlock(Bytes file, std::size_t index, bool masked,
                      const MsxCharset& charset = MsxCharset::International());

// Every block, in order.
std::vector<std::string> TextBlocks(Bytes file, bool masked,
                                    const MsxCharset& charset = MsxCharset::International());

}  // namespace quarnel::viewers
