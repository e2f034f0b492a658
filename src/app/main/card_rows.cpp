#include "app/main/card_rows.h"

#include <cstdio>

#include "app/messages.h"
#include "core/message_text.h"
#include "core/partition_store.h"

namespace quarnel {

namespace {

// The icon of a partition: the directory's for a volume that may be entered, the plain file's
// for any other.
constexpr int kVolumeIcon = 6;
constexpr int kOtherIcon = 0;

std::string TypeText(const Partition& p, const PartitionVolume& v) {
  if (v.readable) return std::string(FatKindName(v.fatKind));
  char code[8];
  std::snprintf(code, sizeof code, "%02X", p.type);
  return std::string(PartitionTypeName(p.type)) + " (" + code + ")";
}

std::string VolumeText(const Partition& p, const PartitionVolume& v) {
  if (!p.refusal.empty()) return p.refusal;
  if (!p.IsFatVolume()) return {};
  if (!v.readable) return v.fault;
  return v.label;
}

}  // namespace

std::string PartitionCaption(int number) {
  return app_text::kPartitionCaption + std::to_string(number);
}

FileListing PartitionRows(const DeviceSurvey& survey) {
  FileListing out;
  const auto& parts = survey.table.partitions;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    const Partition& p = parts[i];
    const PartitionVolume v = i < survey.volumes.size() ? survey.volumes[i] : PartitionVolume{};
    FileRow row;
    row.caption = PartitionCaption(p.number);
    row.sizeText = SizeText(p.Length());
    row.size = static_cast<std::int32_t>(p.Length() / 1024);
    row.type = TypeText(p, v);
    row.modified = VolumeText(p, v);
    row.attrib = std::to_string(p.firstSector);
    row.icon = v.readable ? kVolumeIcon : kOtherIcon;
    row.slot = p.number;
    out.rows.push_back(std::move(row));
  }
  out.filesListed = static_cast<int>(out.rows.size());
  out.summary = FillText(app_text::kPartitionsListed, {std::to_string(out.rows.size())}) + "\n" +
                FillText(app_text::kPartitionTableOf,
                         {std::string(SchemeName(survey.table.scheme)), SizeText(survey.bytes)});
  return out;
}

}  // namespace quarnel
