// The viewer's sector editor: a sector of the open disk image in the hex grid, chosen in the
// sector-number box of the tool panel, its edits written back into the image, and its search
// through the image's bytes.
#pragma once

#include <cstdint>
#include <string>

namespace quarnel {

class FindDialog;
class NumberBox;
class ViewerWindow;
class Workspace;

class SectorEditorPage {
 public:
  // Puts the sector box on the frame's tool panel.
  explicit SectorEditorPage(ViewerWindow& frame);

  // The sector view of the image `disk` gives: the sector in the sector box, or sector 0.
  void SectorView(bool fromStart = false);
  NumberBox* sectorBox() const { return sectorBox_; }
  std::int32_t currentSector() const { return currentSector_; }
  // The image the sector grid was read from.
  const std::string& sectorImage() const { return sectorImage_; }
  // Offers the grid's pending edits of the sector for writing back (AskWriteBack).
  void OfferChanges();
  // The image changed under the editor: its sector is shown again.
  void FollowImage();
  void FindInSectors(FindDialog& find);

 private:
  // `focusGrid`: the grid takes the keyboard focus (not when the sector box is being typed in).
  void ShowSectorView(bool fromStart, bool focusGrid);
  void ShowSector(Workspace& ws, bool focusGrid);
  // The number typed in the sector box, taken on Enter, on focus loss and by its arrows.
  void TakeSectorNumber();

  ViewerWindow& w_;
  NumberBox* sectorBox_ = nullptr;
  std::int32_t currentSector_ = 0;
  std::string sectorImage_;
  bool takingSector_ = false;  // the sector box's number is being taken
};

}  // namespace quarnel
