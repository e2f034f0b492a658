// quarnel-cli gallery IMAGE -o DIR [--sheet SHEET.png] [--json]: every picture of the disk (every
// file of the tree whose extension a picture view takes) written as PNG into DIR, in folders as
// on the disk and named as the file with ".png" added (TITLE.SC5 -> TITLE.SC5.png); with --sheet
// also one contact sheet of them all with each one's name and mode.
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "cli/command_output.h"
#include "cli/image_command.h"
#include "cli/messages.h"
#include "cli/output_dir.h"
#include "core/atomic_write.h"
#include "core/extract_tree.h"
#include "viewers/contact_sheet.h"
#include "viewers/disk_pictures.h"
#include "viewers/picture_decoder.h"
#include "viewers/picture_file.h"

namespace quarnel::cli {

namespace {

namespace fs = std::filesystem;

struct Args {
  std::string outDir;
  std::string sheet;
  bool json = false;
};

struct Written {
  const viewers::DiskPicture* source = nullptr;
  std::optional<viewers::Picture> picture;
  std::string file;   // the PNG written ("" when none)
  std::string error;  // why not
};

// The host path of a picture's PNG: its folders and name as host names, ".png" added.
fs::path PngPathFor(const fs::path& outDir, const viewers::DiskPicture& p) {
  fs::path out = outDir;
  for (const std::string& name : p.names) out /= HostNameForCaption(name);
  out += ".png";
  return out;
}

bool WritePng(const viewers::Picture& pic, const fs::path& path, FileIo& io, std::string& error) {
  auto png = viewers::EncodePictureFile(pic, viewers::PictureFileFormat::Png, &error);
  if (!png) {
    error = std::string(kPngError) + error;
    return false;
  }
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (!WriteNewOrReplace(path, Bytes(png->data(), png->size()), io, LinkPolicy::Replace)) {
    error = std::string(kCannotWritePicture) + path.string();
    return false;
  }
  return true;
}

void PrintJson(const std::vector<Written>& written, const std::string& sheet,
               PartitionArg partition) {
  nlohmann::ordered_json j;
  if (partition != 0) j["partition"] = partition;
  auto list = nlohmann::ordered_json::array();
  for (const Written& w : written) {
    nlohmann::ordered_json e;
    e["path"] = w.source->path;
    e["mode"] = viewers::ModeKey(w.source->mode);
    if (w.picture) {
      e["width"] = w.picture->width;
      e["height"] = w.picture->height;
    }
    if (!w.file.empty()) e["file"] = w.file;
    if (!w.error.empty()) e["error"] = w.error;
    list.push_back(std::move(e));
  }
  j["pictures"] = std::move(list);
  if (!sheet.empty()) j["sheet"] = sheet;
  std::cout << j.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
}

int Gallery(const Workspace& ws, const Args& args, PartitionArg partition) {
  if (!args.sheet.empty() && OutputIsInput(ws.imagePath, args.sheet)) return kExitFailure;
  if (!MakeOutputDir(args.outDir)) return kExitFailure;
  const std::vector<viewers::DiskPicture> found = viewers::FindDiskPictures(ws.image);
  BatchFileIo io;
  bool ok = true;
  std::vector<Written> written;
  written.reserve(found.size());
  for (const viewers::DiskPicture& p : found) {
    Written& w = written.emplace_back();
    w.source = &p;
    const auto bytes = viewers::ReadDiskPicture(ws.image, p);
    if (!bytes) {
      w.error = std::string(msg::kClusterError);
    } else {
      auto decoded = viewers::DecodePicture(p.mode, *bytes, {});
      if (!decoded.ok()) {
        w.error = decoded.message;
      } else {
        w.picture = std::move(*decoded.picture);
        const fs::path png = PngPathFor(args.outDir, p);
        if (WritePng(*w.picture, png, io, w.error)) w.file = png.string();
      }
    }
    if (!w.error.empty()) {
      ok = false;
      std::cerr << p.path << ": " << w.error << "\n";
    } else if (!args.json) {
      std::cout << w.file << "\n";
    }
  }
  if (!args.sheet.empty()) {
    std::vector<viewers::SheetItem> items;
    for (const Written& w : written)
      if (w.picture)
        items.push_back(
            {&*w.picture, w.source->path + "  " + std::string(viewers::ModeName(w.source->mode))});
    std::string error;
    if (items.empty()) {
      std::cerr << kGalleryNoSheet << "\n";  // a disk without pictures is no failure
    } else if (!WritePng(viewers::BuildContactSheet(items), args.sheet, io, error)) {
      std::cerr << error << "\n";
      ok = false;
    } else if (!args.json) {
      std::cout << args.sheet << "\n";
    }
  }
  // The files written above reach the disk before the command reports success.
  io.Finish(args.outDir);
  if (!args.sheet.empty()) io.Finish(fs::absolute(args.sheet).parent_path());
  if (args.json) PrintJson(written, args.sheet, partition);
  return ok ? kExitSuccess : kExitFailure;
}

}  // namespace

void RegisterGallery(CommandLine& commands) {
  AddImageCommand<Args>(
      commands, "gallery", "Write every picture of a disk image as PNG, and a contact sheet",
      kImageHelp,
      [](CLI::App& cmd, Args& args) {
        cmd.add_option("-o,--output", args.outDir, "Host folder to write the PNG files to")
            ->required();
        cmd.add_option("--sheet", args.sheet,
                       "Also one PNG with all the pictures, each with its name and mode");
        cmd.add_flag("--json", args.json, "Print one JSON object: the pictures and the files");
      },
      [](Workspace& ws, CliUi&, const Args& args, PartitionArg partition) {
        return Gallery(ws, args, partition);
      });
}

}  // namespace quarnel::cli
