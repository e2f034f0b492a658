// The MSX character sets as the viewers name them. The tables live in the core, which takes the
// names on the disk through them as well.
#pragma once

#include "core/msx_charset.h"

namespace quarnel::viewers {

using quarnel::AppendUtf8;
using quarnel::kCharsetInternational;
using quarnel::kCharsetJapanese;
using quarnel::MsxCharset;

}  // namespace quarnel::viewers
