#pragma once
// A file descriptor that is closed when its owner goes, on every way out.
#include <dirent.h>
#include <unistd.h>

#include <memory>
#include <utility>

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int release() { return std::exchange(fd_, -1); }
    // Closes the descriptor held (if any) and holds 'fd' instead. errno is left as it was only
    // when nothing was held.
    void reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// A folder's listing (readdir), closed with the descriptor it reads when its owner goes.
using FolderListing = std::unique_ptr<DIR, int (*)(DIR*)>;

// Lists the folder open as 'fd', which the listing takes over; when no listing can be made
// (nullptr), the descriptor is closed at once.
inline FolderListing listFolder(UniqueFd fd) {
    DIR* dir = fd ? ::fdopendir(fd.get()) : nullptr;
    if (dir) fd.release();
    return FolderListing(dir, ::closedir);
}
