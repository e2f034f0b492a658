// An exclusive hold on a disk image file for the length of one change: from loading it to the
// rename that saves it. Two programs changing one image at the same moment would otherwise each
// save their own copy and one change would be lost; with the hold the second waits for the first
// and loads what the first saved.
//
// The hold is an advisory flock() on the file the path names. A save replaces that file by
// renaming a new one over it, so a program that waited may find the lock it got is on a file no
// longer at the path: it then lets go and locks the file that is there now.
#pragma once

#include <chrono>
#include <filesystem>

namespace quarnel {

class ImageLock {
 public:
  enum class Status {
    Held,      // the image is ours until the lock goes away
    Busy,      // another program held it for the whole wait
    NotThere,  // nothing at the path, or no regular file: there is nothing to hold
    Failed,    // the file could not be opened or locked
  };

  // Locks the file at `path`, waiting up to `wait` for another holder to let go.
  ImageLock(const std::filesystem::path& path, std::chrono::milliseconds wait);
  ~ImageLock();
  ImageLock(const ImageLock&) = delete;
  ImageLock& operator=(const ImageLock&) = delete;

  Status status() const { return status_; }
  bool held() const { return status_ == Status::Held; }

 private:
  int fd_ = -1;
  Status status_ = Status::Failed;
};

}  // namespace quarnel
