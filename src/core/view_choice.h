// Choosing the view for a file: by its extension and size, or by its first byte.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/file_types.h"  // ViewSelector
#include "core/volume.h"

namespace quarnel {

// Selector 0 resolved by the first byte: "0".."9" text, 0xFE hex, 0xFF BASIC, anything else
// (and an empty file) hex. Other selectors are returned as they are.
ViewSelector ResolveSelector(ViewSelector s, const std::vector<std::uint8_t>& bytes);

// Selector for a double-click / "Auto" from the extension (and the size for .PIC).
ViewSelector SelectorForCaption(std::string_view caption, std::int32_t size);

enum class ViewChoiceKind { Navigate, Nothing, View };
struct ViewChoice {
  ViewChoiceKind kind = ViewChoiceKind::Nothing;
  ViewSelector selector = ViewSelector::Automatic;
};

// The choice for an entry opened from the list: navigation for "..", "." and directories (the
// caller runs Workspace::Enter), nothing for a volume label, otherwise the view its caption and
// size select. (Saving pending hex edits first is the viewer's business.)
ViewChoice ChooseView(const FileEntry& entry);

}  // namespace quarnel
