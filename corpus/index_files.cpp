#include "corpus/index_files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace oc::corpus {
namespace {

constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
}

void syncFolder(const std::string& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

MappedFile::MappedFile(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        size_ = static_cast<std::size_t>(st.st_size);
        if (size_ == 0) {
            ok_ = true;
        } else {
            void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd, 0);
            if (mapped != MAP_FAILED) {
                // Queries touch a few posting lists here and there.
                ::madvise(mapped, size_, MADV_RANDOM);
                data_ = static_cast<const unsigned char*>(mapped);
                ok_ = true;
            }
        }
    }
    ::close(fd);
    if (!ok_) {
        size_ = 0;
    }
}

MappedFile::~MappedFile() {
    if (data_ != nullptr) {
        ::munmap(const_cast<unsigned char*>(data_), size_);
    }
}

MappedFile::MappedFile(MappedFile&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      ok_(std::exchange(other.ok_, false)) {}

MappedFile& MappedFile::operator=(MappedFile&& other) noexcept {
    if (this != &other) {
        if (data_ != nullptr) {
            ::munmap(const_cast<unsigned char*>(data_), size_);
        }
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        ok_ = std::exchange(other.ok_, false);
    }
    return *this;
}

FileWriter::FileWriter(const std::string& path) {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    ok_ = fd_ >= 0;
    buffer_.reserve(kWriteBuffer);
}

FileWriter::~FileWriter() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void FileWriter::flush() {
    if (ok_ && !buffer_.empty()) {
        ok_ = writeAll(fd_, buffer_.data(), buffer_.size());
    }
    written_ += buffer_.size();
    buffer_.clear();
}

void FileWriter::write(std::string_view bytes) {
    if (buffer_.size() + bytes.size() > kWriteBuffer) {
        flush();
    }
    if (bytes.size() >= kWriteBuffer) {
        ok_ = ok_ && writeAll(fd_, bytes.data(), bytes.size());
        written_ += bytes.size();
        return;
    }
    buffer_.append(bytes);
}

void FileWriter::writeAt(std::uint64_t offset, std::string_view bytes) {
    flush();
    ok_ = ok_ && ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                     static_cast<ssize_t>(bytes.size());
}

bool FileWriter::finish() {
    flush();
    ok_ = ok_ && ::fsync(fd_) == 0;
    if (fd_ >= 0) {
        ok_ = ::close(fd_) == 0 && ok_;
        fd_ = -1;
    }
    return ok_;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + "." + std::to_string(::getpid()) + ".tmp";
    FileWriter writer(temporary);
    writer.write(bytes);
    if (!writer.finish() || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(folderOf(path));
    return true;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    MappedFile file(path);
    if (!file.ok()) {
        return false;
    }
    bytes.assign(reinterpret_cast<const char*>(file.data()), file.size());
    return true;
}

FileLock::FileLock(const std::string& path, Kind kind) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd_ < 0) {
        return;
    }
    int result = 0;
    do {
        result = ::flock(fd_, kind == Kind::Shared ? LOCK_SH : LOCK_EX);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileLock::~FileLock() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::uint32_t crc32Of(std::string_view bytes) {
    uLong crc = ::crc32(0L, Z_NULL, 0);
    while (!bytes.empty()) {
        const auto chunk = static_cast<uInt>(std::min<std::size_t>(bytes.size(), 1u << 30));
        crc = ::crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()), chunk);
        bytes.remove_prefix(chunk);
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace oc::corpus
