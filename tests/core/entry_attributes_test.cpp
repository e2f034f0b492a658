// Setting an entry's attribute bits: only the attribute byte changes, only the read-only, hidden
// and archive bits follow the request, and what is no file or folder, or no longer where it was,
// is left alone.
#include "core/entry_attributes.h"

#include <gtest/gtest.h>

#include "core/workspace.h"
#include "support/image_builder.h"

namespace quarnel {
namespace {

using test::ImageBuilder;
using test::kRoot;

TEST(EntryAttributes, OnlyTheEditableBitsOfTheAttributeByteChange) {
  ImageBuilder b;
  b.AddVolume("DISK");                                                             // slot 0
  b.AddFile(kRoot, "SYS.BIN", test::Pattern(100, 1), kAttrSystem | kAttrArchive);  // slot 1
  const std::uint16_t sub = b.AddDirectory(kRoot, "SUB");                          // slot 2
  const struct {
    DirRef dir;
    int slot;
    std::uint8_t bits;
    AttributeStatus status;
    std::uint8_t attribute;  // the byte afterwards
  } cases[] = {
      {kRootDir, 1, kAttrReadOnly | kAttrHidden, AttributeStatus::Changed,
       kAttrSystem | kAttrReadOnly | kAttrHidden},
      {kRootDir, 1, kAttrArchive, AttributeStatus::Unchanged, kAttrSystem | kAttrArchive},
      {kRootDir, 2, kAttrHidden, AttributeStatus::Changed, kAttrDirectory | kAttrHidden},
      {kRootDir, 1, kAttrSystem, AttributeStatus::NotAllowed, kAttrSystem | kAttrArchive},
      {kRootDir, 0, kAttrHidden, AttributeStatus::NotAllowed, kAttrVolume},
      {DirRef{sub}, 0, kAttrHidden, AttributeStatus::NotAllowed, kAttrDirectory},  // "."
  };
  for (const auto& c : cases) {
    Workspace ws;
    ws.LoadImageBytes(b.Bytes(), "/i/t.dsk");
    const auto dir = ListDirectory(ws.image, c.dir);
    ASSERT_TRUE(dir);
    const auto entry = EntryAt(*dir, c.slot);
    ASSERT_TRUE(entry);
    const ImageBytes before = ws.image.Memory();
    EXPECT_EQ(SetEntryAttributes(ws.image, *dir, *entry, c.bits).status, c.status) << c.slot;
    EXPECT_EQ(*ws.image.ByteAt(entry->offset + 11), c.attribute) << c.slot;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < before.size(); ++i) differing += before[i] != ws.image.Memory()[i];
    EXPECT_EQ(differing, c.status == AttributeStatus::Changed ? 1u : 0u) << c.slot;
  }
}

TEST(EntryAttributes, AnEntryNoLongerInItsSlotIsNotTouched) {
  ImageBuilder b;
  b.AddFile(kRoot, "A.TXT", test::Pattern(10, 1));
  b.AddFile(kRoot, "B.TXT", test::Pattern(10, 2));
  Workspace ws;
  ws.LoadImageBytes(b.Bytes(), "/i/t.dsk");
  const auto dir = ListDirectory(ws.image, kRootDir);
  FileEntry stale = *EntryAt(*dir, 0);
  stale.offset = EntryAt(*dir, 1)->offset;  // the slot's entry lies elsewhere
  EXPECT_EQ(SetEntryAttributes(ws.image, *dir, stale, kAttrHidden).status,
            AttributeStatus::NotFound);
  ws.image.PutByte(EntryAt(*dir, 0)->offset, kEntryDeleted);  // deleted since it was listed
  EXPECT_EQ(SetEntryAttributes(ws.image, *ListDirectory(ws.image, kRootDir), *EntryAt(*dir, 0),
                               kAttrHidden)
                .status,
            AttributeStatus::NotFound);
  EXPECT_EQ(*ws.image.ByteAt(EntryAt(*dir, 1)->offset + 11), 0);
}

}  // namespace
}  // namespace quarnel
