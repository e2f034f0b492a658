#include "support/image_builder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include "core/boot_sector.h"

namespace quarnel::test {

GeometryLayout GeometryLayout::Msx720() { return GeometryLayout{}; }

GeometryLayout GeometryLayout::Msx360Single() {
  GeometryLayout g;
  g.totalSectors = 720;
  g.media = 0xF8;
  g.sectorsPerFat = 2;
  g.sides = 1;
  return g;
}

GeometryLayout GeometryLayout::Msx160() {
  GeometryLayout g;
  g.sectorsPerCluster = 1;
  g.rootEntries = 64;
  g.totalSectors = 320;
  g.media = 0xFE;
  g.sectorsPerFat = 1;
  g.sectorsPerTrack = 8;
  g.sides = 1;
  return g;
}

GeometryLayout GeometryLayout::Pc1440() {
  GeometryLayout g;
  g.sectorsPerCluster = 1;
  g.rootEntries = 224;
  g.totalSectors = 2880;
  g.media = 0xF0;
  g.sectorsPerFat = 9;
  g.sectorsPerTrack = 18;
  return g;
}

namespace {

void Check(std::size_t off, std::size_t n, std::size_t size) {
  if (off > size || size - off < n)
    throw std::out_of_range("ImageBuilder: write outside the image");
}

}  // namespace

ImageBuilder::ImageBuilder(GeometryLayout g, std::size_t imageSize) : layout_(g) {
  if (imageSize == 0) imageSize = static_cast<std::size_t>(g.totalSectors) * g.bytesPerSector;
  bytes_.assign(imageSize, 0);
  BootSector bs{};
  bs.jump[0] = 0xEB;
  bs.jump[1] = 0xFE;
  bs.jump[2] = 0x90;
  const char* oem = "QRNLTEST";
  std::copy(oem, oem + 8, bs.oem);
  bs.bytesPerSector.Set(g.bytesPerSector);
  bs.sectorsPerCluster = g.sectorsPerCluster;
  bs.reservedSectors.Set(g.reservedSectors);
  bs.fatCount = g.fatCount;
  bs.rootEntries.Set(g.rootEntries);
  bs.totalSectors.Set(g.totalSectors);
  bs.media = g.media;
  bs.sectorsPerFat.Set(g.sectorsPerFat);
  bs.sectorsPerTrack.Set(g.sectorsPerTrack);
  bs.sides.Set(g.sides);
  PutBootSector(MutableBytes(bytes_.data(), bytes_.size()), bs);
  geometry_ = GeometryFields(bs);
  DeriveGeometry(geometry_);
  // Reserved FAT entries 0 and 1: the media byte, then 0xFF 0xFF, in every copy that fits.
  for (std::size_t k = 0; k < g.fatCount; ++k) {
    std::size_t off =
        (static_cast<std::size_t>(g.reservedSectors) + k * g.sectorsPerFat) * g.bytesPerSector;
    if (off + 3 > bytes_.size() || g.sectorsPerFat == 0) continue;
    bytes_[off] = g.media;
    bytes_[off + 1] = 0xFF;
    bytes_[off + 2] = 0xFF;
  }
}

void ImageBuilder::WriteTo(const std::filesystem::path& p) const {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes_.data()),
            static_cast<std::streamsize>(bytes_.size()));
  if (!out) throw std::runtime_error("ImageBuilder: cannot write " + p.string());
}

void ImageBuilder::Poke(std::size_t offset, std::uint8_t v) {
  Check(offset, 1, bytes_.size());
  bytes_[offset] = v;
}

void ImageBuilder::Poke16(std::size_t offset, std::uint16_t v) {
  Check(offset, 2, bytes_.size());
  bytes_[offset] = static_cast<std::uint8_t>(v & 0xFF);
  bytes_[offset + 1] = static_cast<std::uint8_t>(v >> 8);
}

void ImageBuilder::PokeBytes(std::size_t offset, const std::vector<std::uint8_t>& v) {
  Check(offset, v.size(), bytes_.size());
  std::copy(v.begin(), v.end(), bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
}

void ImageBuilder::SetFat(std::uint32_t cluster, std::uint16_t value) {
  for (std::size_t k = 0; k < layout_.fatCount; ++k) {
    std::size_t fat =
        (static_cast<std::size_t>(layout_.reservedSectors) + k * layout_.sectorsPerFat) *
        layout_.bytesPerSector;
    std::size_t p = fat + (cluster / 2) * 3;
    Check(p, 3, bytes_.size());
    if (cluster % 2 == 0) {
      bytes_[p] = static_cast<std::uint8_t>(value & 0xFF);
      bytes_[p + 1] = static_cast<std::uint8_t>((bytes_[p + 1] & 0xF0) | ((value >> 8) & 0x0F));
    } else {
      bytes_[p + 1] = static_cast<std::uint8_t>((bytes_[p + 1] & 0x0F) | ((value & 0x0F) << 4));
      bytes_[p + 2] = static_cast<std::uint8_t>((value >> 4) & 0xFF);
    }
  }
}

std::uint16_t ImageBuilder::Fat(std::uint32_t cluster) const {
  std::size_t p = static_cast<std::size_t>(layout_.reservedSectors) * layout_.bytesPerSector +
                  (cluster / 2) * 3;
  Check(p, 3, bytes_.size());
  if (cluster % 2 == 0)
    return static_cast<std::uint16_t>(bytes_[p] | ((bytes_[p + 1] & 0x0F) << 8));
  return static_cast<std::uint16_t>((bytes_[p + 1] >> 4) | (bytes_[p + 2] << 4));
}

void ImageBuilder::Chain(const std::vector<std::uint16_t>& clusters) {
  for (std::size_t i = 0; i < clusters.size(); ++i)
    SetFat(clusters[i], i + 1 < clusters.size() ? clusters[i + 1] : 0xFFF);
}

std::vector<std::uint16_t> ImageBuilder::FreeClusters(std::size_t n) const {
  std::vector<std::uint16_t> out;
  const std::uint32_t last = geometry_.LastDataCluster();
  for (std::uint32_t c = 2; c <= last && out.size() < n; ++c)
    if (Fat(c) == 0) out.push_back(static_cast<std::uint16_t>(c));
  if (out.size() < n) throw std::out_of_range("ImageBuilder: disk full");
  return out;
}

std::size_t ImageBuilder::ClusterOffset(std::uint16_t cluster) const {
  std::size_t bps = layout_.bytesPerSector;
  std::size_t data = (layout_.reservedSectors +
                      static_cast<std::size_t>(layout_.sectorsPerFat) * layout_.fatCount) *
                         bps +
                     static_cast<std::size_t>(layout_.rootEntries) * 32;
  return data + static_cast<std::size_t>(cluster - 2) * bps * layout_.sectorsPerCluster;
}

void ImageBuilder::WriteData(std::uint16_t cluster, const std::vector<std::uint8_t>& data) {
  PokeBytes(ClusterOffset(cluster), data);
}

std::array<std::uint8_t, 11> ImageBuilder::MsxName(std::string_view name) {
  std::array<std::uint8_t, 11> out;
  out.fill(' ');
  if (name == "." || name == "..") {
    std::copy(name.begin(), name.end(), out.begin());
    return out;
  }
  auto dot = name.rfind('.');
  std::string_view base = name.substr(0, dot);
  std::string_view ext = dot == std::string_view::npos ? std::string_view() : name.substr(dot + 1);
  for (std::size_t i = 0; i < base.size() && i < 8; ++i)
    out[i] = static_cast<std::uint8_t>(base[i]);
  for (std::size_t i = 0; i < ext.size() && i < 3; ++i)
    out[8 + i] = static_cast<std::uint8_t>(ext[i]);
  return out;
}

std::vector<std::uint16_t> ImageBuilder::DirClusters(std::uint16_t dir) const {
  std::vector<std::uint16_t> out;
  std::uint16_t c = dir;
  while (c >= 2 && c < 0xFF0 && out.size() < 4096) {
    out.push_back(c);
    c = Fat(c);
  }
  return out;
}

std::size_t ImageBuilder::DirSlots(std::uint16_t dir) const {
  if (dir == kRoot) return layout_.rootEntries;
  return DirClusters(dir).size() * layout_.bytesPerSector * layout_.sectorsPerCluster / 32;
}

std::size_t ImageBuilder::EntryOffset(std::uint16_t dir, int slot) const {
  std::size_t bps = layout_.bytesPerSector;
  if (dir == kRoot)
    return (layout_.reservedSectors +
            static_cast<std::size_t>(layout_.sectorsPerFat) * layout_.fatCount) *
               bps +
           static_cast<std::size_t>(slot) * 32;
  std::size_t perCluster = bps * layout_.sectorsPerCluster / 32;
  auto clusters = DirClusters(dir);
  std::size_t idx = static_cast<std::size_t>(slot) / perCluster;
  if (idx >= clusters.size()) throw std::out_of_range("ImageBuilder: slot outside the directory");
  return ClusterOffset(clusters[idx]) + (static_cast<std::size_t>(slot) % perCluster) * 32;
}

void ImageBuilder::PutRawEntry(std::uint16_t dir, int slot,
                               const std::array<std::uint8_t, 32>& raw) {
  PokeBytes(EntryOffset(dir, slot), std::vector<std::uint8_t>(raw.begin(), raw.end()));
}

void ImageBuilder::PutEntry(std::uint16_t dir, int slot, const EntrySpec& e) {
  DirEntry d{};
  auto n = MsxName(e.name);
  std::copy(n.begin(), n.begin() + 8, d.name);
  std::copy(n.begin() + 8, n.end(), d.extension);
  d.attribute = e.attribute;
  d.time.Set(e.time);
  d.date.Set(e.date);
  d.firstCluster.Set(e.firstCluster);
  d.size.Set(e.size);
  std::array<std::uint8_t, 32> raw;
  std::memcpy(raw.data(), &d, 32);
  PutRawEntry(dir, slot, raw);
}

int ImageBuilder::AddEntry(std::uint16_t dir, const EntrySpec& e) {
  const std::size_t slots = DirSlots(dir);
  for (std::size_t s = 0; s < slots; ++s) {
    if (bytes_.at(EntryOffset(dir, static_cast<int>(s))) == 0) {
      PutEntry(dir, static_cast<int>(s), e);
      return static_cast<int>(s);
    }
  }
  throw std::out_of_range("ImageBuilder: directory full");
}

std::uint16_t ImageBuilder::AddFile(std::uint16_t dir, std::string_view name,
                                    const std::vector<std::uint8_t>& content,
                                    std::uint8_t attribute) {
  const std::size_t cb =
      static_cast<std::size_t>(layout_.bytesPerSector) * layout_.sectorsPerCluster;
  const std::size_t n = (content.size() + cb - 1) / cb;
  std::uint16_t first = 0;
  if (n > 0) {
    auto clusters = FreeClusters(n);
    Chain(clusters);
    for (std::size_t i = 0; i < n; ++i) {
      auto begin = content.begin() + static_cast<std::ptrdiff_t>(i * cb);
      auto end =
          content.begin() + static_cast<std::ptrdiff_t>(std::min(content.size(), (i + 1) * cb));
      WriteData(clusters[i], std::vector<std::uint8_t>(begin, end));
    }
    first = clusters[0];
  }
  AddEntry(dir, EntrySpec{std::string(name), attribute, first,
                          static_cast<std::uint32_t>(content.size())});
  return first;
}

std::uint16_t ImageBuilder::AddDirectory(std::uint16_t parent, std::string_view name,
                                         std::size_t clusters) {
  auto cl = FreeClusters(clusters);
  Chain(cl);
  const std::size_t cb =
      static_cast<std::size_t>(layout_.bytesPerSector) * layout_.sectorsPerCluster;
  for (auto c : cl) WriteData(c, std::vector<std::uint8_t>(cb, 0));
  AddEntry(parent, EntrySpec{std::string(name), kAttrDirectory, cl[0], 0});
  PutEntry(cl[0], 0, EntrySpec{".", kAttrDirectory, cl[0], 0});
  PutEntry(cl[0], 1, EntrySpec{"..", kAttrDirectory, parent, 0});
  return cl[0];
}

void ImageBuilder::AddVolume(std::string_view label) {
  EntrySpec e;
  e.attribute = kAttrVolume;
  DirEntry d{};
  std::fill(std::begin(d.name), std::end(d.name), ' ');
  std::fill(std::begin(d.extension), std::end(d.extension), ' ');
  for (std::size_t i = 0; i < label.size() && i < 11; ++i) {
    if (i < 8)
      d.name[i] = static_cast<std::uint8_t>(label[i]);
    else
      d.extension[i - 8] = static_cast<std::uint8_t>(label[i]);
  }
  d.attribute = kAttrVolume;
  d.time.Set(e.time);
  d.date.Set(e.date);
  std::array<std::uint8_t, 32> raw;
  std::memcpy(raw.data(), &d, 32);
  for (int s = 0; s < layout_.rootEntries; ++s) {
    if (bytes_.at(EntryOffset(kRoot, s)) == 0) {
      PutRawEntry(kRoot, s, raw);
      return;
    }
  }
  throw std::out_of_range("ImageBuilder: root full");
}

std::vector<std::uint8_t> Pattern(std::size_t n, std::uint32_t seed) {
  std::vector<std::uint8_t> out(n);
  std::uint32_t x = seed * 2654435761u + 1;
  for (auto& b : out) {
    x = x * 1103515245u + 12345u;
    b = static_cast<std::uint8_t>(x >> 16);
  }
  return out;
}

}  // namespace quarnel::test
