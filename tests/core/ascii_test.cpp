// Letter case of ASCII only, and extensions of host paths and of names.
#include "core/ascii.h"

#include <gtest/gtest.h>

#include <string>

namespace quarnel {
namespace {

TEST(Ascii, OnlyAsciiLettersChangeCase) {
  // The neighbours of the letter ranges and bytes of other character sets stay as they are.
  const std::string mixed = "@AZ[`az{\x7F\x80\xC9\xE9\xFF";
  EXPECT_EQ(AsciiUpper(mixed), "@AZ[`AZ{\x7F\x80\xC9\xE9\xFF");
  EXPECT_EQ(AsciiLower(mixed), "@az[`az{\x7F\x80\xC9\xE9\xFF");
  EXPECT_EQ(AsciiUpper(static_cast<std::uint8_t>(0xE9)), 0xE9);
  EXPECT_EQ(AsciiUpper(static_cast<std::uint8_t>('q')), 'Q');
}

struct SameCase {
  std::string a, b;
  bool same;
};

TEST(Ascii, EqualIgnoringCase) {
  for (const auto& c :
       {SameCase{"Zork.Bas", "ZORK.BAS", true}, SameCase{"a", "b", false},
        SameCase{"ab", "abc", false}, SameCase{"\xE9", "\xC9", false}, SameCase{"", "", true}}) {
    SCOPED_TRACE(c.a + " / " + c.b);
    EXPECT_EQ(AsciiEqualIgnoringCase(c.a, c.b), c.same);
  }
}

struct ExtensionCase {
  std::string path;
  std::size_t keep;
  std::string extension;
};

TEST(Ascii, UpperExtensionOfAPath) {
  constexpr auto all = std::string_view::npos;
  for (const auto& c :
       {ExtensionCase{"disk.dsk", all, ".DSK"},
        ExtensionCase{"/home/u/games.v2/readme", all, ""},  // a dot in a folder only
        ExtensionCase{"C:\\x.y\\tape.Cas", all, ".CAS"},
        ExtensionCase{"archive.tar.gz", all, ".GZ"}, ExtensionCase{"image.dsk2", 4, ".DSK"},
        ExtensionCase{"image.ds", 4, ".DS"}, ExtensionCase{"noext", 4, ""},
        ExtensionCase{".profile", all, ".PROFILE"}, ExtensionCase{"dir.d/", all, ""}}) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(UpperExtension(c.path, c.keep), c.extension);
  }
}

TEST(Ascii, ExtensionOfANameTakesSlashesAsCharacters) {
  EXPECT_EQ(ExtensionOf("A/B.C\\D"), ".C\\D");
  EXPECT_EQ(ExtensionOf("NAME"), "");
  EXPECT_EQ(ExtensionOf("X."), ".");
  EXPECT_EQ(FileNameOf("a/b\\c.d"), "c.d");
  EXPECT_EQ(FileNameOf("plain"), "plain");
}

}  // namespace
}  // namespace quarnel
