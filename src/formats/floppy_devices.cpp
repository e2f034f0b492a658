#include "formats/floppy_devices.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

#include "formats/messages.h"

namespace quarnel {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxAttributeBytes = 4096;
constexpr std::size_t kMaxMountsBytes = 16 * 1024 * 1024;

// The text of a sysfs attribute or the mounts table, at most `limit` bytes; nullopt when it
// cannot be read. (Both report a size of 0, so they are read to their end.)
std::optional<std::string> ReadText(const fs::path& p, std::size_t limit) {
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text;
  char buf[4096];
  while (text.size() < limit && in.read(buf, sizeof buf).gcount() > 0)
    text.append(buf, static_cast<std::size_t>(in.gcount()));
  if (text.size() > limit) text.resize(limit);
  return text;
}

std::string Trimmed(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
  std::size_t start = 0;
  while (start < s.size() && (s[start] == ' ' || s[start] == '\t')) ++start;
  return s.substr(start);
}

std::optional<std::uint64_t> Attribute(const fs::path& dir, const char* name) {
  auto text = ReadText(dir / name, kMaxAttributeBytes);
  if (!text) return std::nullopt;
  return SysfsNumber(*text);
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec);
}

// What the sysfs folder says of one device.
struct SysDevice {
  std::string name;
  fs::path dir;
  bool partition = false;
  bool removable = false;
  bool loop = false;
  std::uint64_t sectors = 0;
};

SysDevice Describe(const fs::path& dir) {
  SysDevice d;
  d.name = dir.filename().string();
  d.dir = dir;
  d.partition = Exists(dir / "partition");
  d.removable = Attribute(dir, "removable").value_or(0) == 1;
  d.loop = Exists(dir / "loop");
  d.sectors = Attribute(dir, "size").value_or(0);
  return d;
}

// The device and its partitions (the subfolders holding a `partition` file).
std::vector<std::string> NameAndPartitions(const SysDevice& d) {
  std::vector<std::string> names{d.name};
  std::error_code ec;
  for (fs::directory_iterator it(d.dir, ec), end; !ec && it != end; it.increment(ec))
    if (Exists(it->path() / "partition")) names.push_back(it->path().filename().string());
  return names;
}

// "major:minor" of a sysfs device's `dev` attribute.
std::optional<std::string> DevNumberText(const fs::path& dir) {
  auto text = ReadText(dir / "dev", kMaxAttributeBytes);
  if (!text) return std::nullopt;
  return Trimmed(*text);
}

std::string DevNumberText(dev_t dev) {
  return std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
}

bool IsMounted(const SysDevice& d, const fs::path& mountsFile, const fs::path& sysRoot) {
  auto text = ReadText(mountsFile, kMaxMountsBytes);
  if (!text) return true;  // unknown: taken as mounted, never written
  const auto names = NameAndPartitions(d);
  std::vector<std::string> numbers;
  for (const auto& n : names)
    if (auto num = DevNumberText(sysRoot / n)) numbers.push_back(*num);
  for (const std::string& source : MountSources(*text)) {
    for (const auto& n : names)
      if (source == "/dev/" + n) return true;
    // A source named another way (/dev/disk/by-label/..., a link) is matched by its number.
    struct stat st {};
    if (!source.empty() && source[0] == '/' && ::stat(source.c_str(), &st) == 0 &&
        S_ISBLK(st.st_mode) &&
        std::find(numbers.begin(), numbers.end(), DevNumberText(st.st_rdev)) != numbers.end())
      return true;
  }
  return false;
}

std::vector<SysDevice> AllDevices(const fs::path& sysRoot) {
  std::vector<SysDevice> out;
  std::error_code ec;
  for (fs::directory_iterator it(sysRoot, ec), end; !ec && it != end; it.increment(ec))
    out.push_back(Describe(it->path()));
  std::sort(out.begin(), out.end(),
            [](const SysDevice& a, const SysDevice& b) { return a.name < b.name; });
  return out;
}

Outcome<TargetStatus> Refuse(TargetStatus s, const fs::path& path, std::string_view why) {
  return {s, path.string() + std::string(why)};
}

}  // namespace

std::unique_ptr<RawDisk> OpenFloppyTarget(const fs::path& path, RawDiskAccess access,
                                          const DeviceSources& sources, std::string& message) {
  FloppyTarget target;
  auto checked = CheckFloppyTarget(path, sources, &target);
  if (checked.status != TargetStatus::Accepted) {
    message = checked.message;
    return nullptr;
  }
  int error = 0;
  auto disk = OpenRawDisk(path, access, error);
  if (!disk) {
    message = std::string(formats::msg::kCannotOpenTarget) + path.string() + ": " +
              std::error_code(error, std::generic_category()).message();
    return nullptr;
  }
  if (disk->FixedSize() != target.blockDevice ||
      (target.blockDevice && disk->DeviceNumber() != target.device)) {
    message = path.string() + std::string(formats::msg::kTargetUnusable);
    return nullptr;
  }
  return disk;
}

std::optional<std::uint64_t> SysfsNumber(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  if (text.empty() || text.size() > 19) return std::nullopt;
  std::uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return v;
}

std::vector<std::string> MountSources(std::string_view mountsText) {
  std::vector<std::string> out;
  std::size_t pos = 0;
  while (pos < mountsText.size()) {
    std::size_t eol = mountsText.find('\n', pos);
    if (eol == std::string_view::npos) eol = mountsText.size();
    std::string_view line = mountsText.substr(pos, eol - pos);
    pos = eol + 1;
    std::size_t end = line.find_first_of(" \t");
    std::string_view field = line.substr(0, end);
    if (field.empty()) continue;
    std::string source;
    for (std::size_t i = 0; i < field.size(); ++i) {
      const auto octal = [&](std::size_t k) { return field[k] >= '0' && field[k] <= '7'; };
      if (field[i] == '\\' && i + 3 < field.size() && octal(i + 1) && octal(i + 2) &&
          octal(i + 3)) {
        const int v = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
        source.push_back(static_cast<char>(v & 0xFF));
        i += 3;
      } else {
        source.push_back(field[i]);
      }
    }
    out.push_back(std::move(source));
  }
  return out;
}

std::vector<FloppyDevice> ListFloppyDevices(const DeviceSources& sources) {
  std::vector<FloppyDevice> out;
  for (const SysDevice& d : AllDevices(sources.sysRoot)) {
    if (d.partition || !d.removable || d.sectors == 0 || d.sectors > kMaxFloppySectors) continue;
    if (IsMounted(d, sources.mountsFile, sources.sysRoot)) continue;
    FloppyDevice f;
    f.name = d.name;
    f.path = fs::path("/dev") / d.name;
    f.sectors = d.sectors;
    if (auto model = ReadText(d.dir / "device" / "model", kMaxAttributeBytes))
      f.model = Trimmed(*model);
    out.push_back(std::move(f));
  }
  return out;
}

Outcome<TargetStatus> CheckFloppyTarget(const fs::path& path, const DeviceSources& sources,
                                        FloppyTarget* target) {
  namespace m = formats::msg;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return Refuse(TargetStatus::Missing, path,
                  errno == ENOENT ? m::kTargetMissing : m::kTargetUnusable);
  if (S_ISREG(st.st_mode)) {
    if (target) *target = {};
    return {TargetStatus::Accepted};
  }
  if (!S_ISBLK(st.st_mode)) return Refuse(TargetStatus::NotUsable, path, m::kTargetUnusable);
  auto checked = CheckBlockDevice(path, DevNumberText(st.st_rdev), sources);
  if (checked.status == TargetStatus::Accepted && target) *target = {true, st.st_rdev};
  return checked;
}

Outcome<TargetStatus> CheckBlockDevice(const fs::path& path, std::string_view number,
                                       const DeviceSources& sources) {
  namespace m = formats::msg;
  std::optional<SysDevice> found;
  for (const SysDevice& d : AllDevices(sources.sysRoot))
    if (DevNumberText(d.dir) == number) found = d;
  if (!found) return Refuse(TargetStatus::UnknownDevice, path, m::kTargetUnknownDevice);
  if (found->partition) return Refuse(TargetStatus::Partition, path, m::kTargetPartition);
  const bool loopAllowed = sources.allowLoop && found->loop;
  if (!found->removable && !loopAllowed)
    return Refuse(TargetStatus::FixedDisk, path, m::kTargetFixedDisk);
  if (found->sectors > kMaxFloppySectors)
    return Refuse(TargetStatus::TooLarge, path, m::kTargetTooLarge);
  if (found->sectors == 0) return Refuse(TargetStatus::NoDisk, path, m::kTargetNoDisk);
  if (IsMounted(*found, sources.mountsFile, sources.sysRoot))
    return Refuse(TargetStatus::Mounted, path, m::kTargetMounted);
  return {TargetStatus::Accepted};
}

}  // namespace quarnel
