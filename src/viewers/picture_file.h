// The files a picture is saved as: PNG, or a Windows bitmap with the colours the user sees. The
// one place the output's extension picks the format, for the viewer's Save and the command line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewers/picture.h"

namespace quarnel::viewers {

enum class PictureFileFormat { Png, Bmp };

// The format a file name asks for by its extension (".png" or ".bmp", any case); nullopt for
// any other.
std::optional<PictureFileFormat> PictureFileFormatOf(std::string_view path);

// The file's bytes; nullopt (with `error` set when given) when the encoder fails.
std::optional<std::vector<std::uint8_t>> EncodePictureFile(const Picture& picture,
                                                           PictureFileFormat format,
                                                           std::string* error = nullptr);

}  // namespace quarnel::viewers
