// The files of the archive index: read-only memory mappings, files written
// through a buffer and flushed to disk, a whole file replaced atomically, and
// an advisory lock on a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace oc::corpus {

// A whole file mapped read-only; empty when it cannot be opened.
class MappedFile {
  public:
    MappedFile() = default;
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept;
    MappedFile& operator=(MappedFile&& other) noexcept;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return ok_; }
    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

  private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
    bool ok_ = false;
};

// A new file written in order through a buffer; `finish` flushes it to disk.
class FileWriter {
  public:
    explicit FileWriter(const std::string& path);
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    void write(std::string_view bytes);
    std::uint64_t offset() const { return written_ + buffer_.size(); }
    // Overwrites bytes already written (a header filled in at the end).
    void writeAt(std::uint64_t offset, std::string_view bytes);
    // Flushes and syncs; false when anything failed along the way.
    bool finish();

  private:
    void flush();

    int fd_ = -1;
    std::string buffer_;
    std::uint64_t written_ = 0;
    bool ok_ = false;
};

// Writes `bytes` to a temporary file beside `path`, syncs it and renames it
// over `path`, then syncs the folder: a reader sees the old or the new file.
bool replaceFile(const std::string& path, std::string_view bytes);

// The whole content of a small file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string& bytes);

// An advisory lock (flock) on a file created when missing; released when destroyed.
class FileLock {
  public:
    enum class Kind { Shared, Exclusive };
    FileLock(const std::string& path, Kind kind);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

std::uint32_t crc32Of(std::string_view bytes);

}  // namespace oc::corpus
