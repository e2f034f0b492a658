// The texts the viewers show, in one place, used as they stand.
#pragma once

#include <string_view>

namespace quarnel::viewers {

// A BASIC line link that points past the end of the program file (one notice per such link).
inline constexpr std::string_view kBasicLinkError = "ERROR";

// Every picture decoder: no BSAVE header, or an end address not above the start address.
inline constexpr std::string_view kNotAPicture = "Not a picture file OR file corrupt!";

// Window captions: the view's title, then the entry's name, "." and extension.
inline constexpr std::string_view kCaptionBasic = "Basic Listing : ";
inline constexpr std::string_view kCaptionText = "Ascii Display of : ";
inline constexpr std::string_view kCaptionHex = "Hex Display of : ";
inline constexpr std::string_view kCaptionScreen1 = "Screen 1 display of ";
inline constexpr std::string_view kCaptionScreen2 = "Screen 2 display of ";
inline constexpr std::string_view kCaptionPatterns = "Screen 2 patterns of ";
inline constexpr std::string_view kCaptionScreen3 = "Screen 3 display of ";
inline constexpr std::string_view kCaptionScreen4 = "Screen 4 display of ";
inline constexpr std::string_view kCaptionScreen5 = "Screen 5 display of ";
inline constexpr std::string_view kCaptionScreen6 = "Screen 6 display of ";
inline constexpr std::string_view kCaptionScreen7 = "Screen 7 display of ";
inline constexpr std::string_view kCaptionScreen8 = "Screen 8 display of ";
inline constexpr std::string_view kCaptionScreen10 = "Screen 10 display of ";
inline constexpr std::string_view kCaptionScreen11 = "Screen 11 display of ";
inline constexpr std::string_view kCaptionScreen12 = "Screen 12 display of ";

// The names of the picture modes.
inline constexpr std::string_view kModeScreen1 = "SCREEN 1";
inline constexpr std::string_view kModeScreen2 = "SCREEN 2";
inline constexpr std::string_view kModePatterns = "PATTERNS";
inline constexpr std::string_view kModeScreen3 = "SCREEN 3";
inline constexpr std::string_view kModeScreen4 = "SCREEN 4";
inline constexpr std::string_view kModeScreen5 = "SCREEN 5";
inline constexpr std::string_view kModeScreen6 = "SCREEN 6";
inline constexpr std::string_view kModeScreen7 = "SCREEN 7";
inline constexpr std::string_view kModeScreen8 = "SCREEN 8";
inline constexpr std::string_view kModeScreen10 = "SCREEN 10";
inline constexpr std::string_view kModeScreen11 = "SCREEN 11";
inline constexpr std::string_view kModeScreen12 = "SCREEN 12";

// Hex view header strip lines ("%4x": upper-case hex right-aligned in 4 characters).
inline constexpr std::string_view kStripStart = "Start address: ";
inline constexpr std::string_view kStripEnd = "End   address: ";
inline constexpr std::string_view kStripRun = "Run   address: ";

// The command line's own wording (the window shows an empty listing without a message).
inline constexpr std::string_view kNotTokenisedBasic =
    "Not a tokenised MSX-BASIC program (the first byte is not FF)";

}  // namespace quarnel::viewers

// Why a text cannot be tokenised as an MSX-BASIC program ("line L, column C: " is put before).
inline constexpr std::string_view kTextLineWithoutNumber = "Line without a line number";
inline constexpr std::string_view kTextLineNumberTooLarge = "Line number over 65529";
inline constexpr std::string_view kTextLineTooLong = "Line longer than 255 bytes once tokenised";
inline constexpr std::string_view kTextOverflow = "Overflow";
inline constexpr std::string_view kTextProgramTooLarge = "Program larger than 32 KB";
