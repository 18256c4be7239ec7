#include "services/write_problem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "services/boundary_text.h"
#include "services/files.h"

namespace oc {
namespace {

Text reasonOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return gbkFromUtf8("没有写入权限");
        case EROFS:
            return gbkFromUtf8("所在的磁盘是只读的");
        case ENOSPC:
            return gbkFromUtf8("磁盘已满");
        case EDQUOT:
            return gbkFromUtf8("超出了磁盘配额");
        case ENOENT:
            return gbkFromUtf8("文件夹不存在");
        case ENOTDIR:
            return gbkFromUtf8("路径中有一项不是文件夹");
        case ENAMETOOLONG:
            return gbkFromUtf8("路径过长");
        case EISDIR:
            return gbkFromUtf8("同名的文件夹占着这个位置");
        case EINVAL:
            return gbkFromUtf8("这个位置上不是普通文件");
        case ELOOP:
            return gbkFromUtf8("路径中的链接层数过多");
        case EFBIG:
            return gbkFromUtf8("文件超出了允许的大小");
        case EIO:
            return gbkFromUtf8("读写磁盘时出错");
        case EBUSY:
        case ETXTBSY:
            return gbkFromUtf8("文件正被占用");
        case EMFILE:
        case ENFILE:
            return gbkFromUtf8("打开的文件过多");
        default:
            return gbkFromUtf8(std::string("系统错误 ")
                                   .append(std::to_string(error))
                                   .append("（")
                                   .append(std::strerror(error))
                                   .append("）"));
    }
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Text writeErrorText(int error) {
    return reasonOf(error);
}

Text writeProblem(const Text& path) {
    const std::string file = nativePath(path);
    const std::string folder = folderOf(file);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        return reasonOf(errno);
    }
    if (!S_ISDIR(info.st_mode)) {
        return gbkFromUtf8("“") + gbkFromUtf8(folder) + gbkFromUtf8("”不是文件夹");
    }
    // A save writes a new file beside the old one and renames it.
    std::string scratch = folder + "/.write-check-XXXXXX";
    const int fd = ::mkstemp(scratch.data());
    if (fd < 0) {
        return reasonOf(errno);
    }
    ::close(fd);
    ::unlink(scratch.c_str());
    if (::stat(file.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            return gbkFromUtf8("同名的文件夹占着这个位置");
        }
        const int existing = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (existing < 0) {
            return gbkFromUtf8("现有的文件无法读取（") + reasonOf(errno) + gbkFromUtf8("）");
        }
        ::close(existing);
    }
    return {};
}

}  // namespace oc
