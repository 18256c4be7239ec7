#include "store/store_problem.h"

#include <sqlite3.h>

namespace oc::store {

std::string problemOf(int sqliteResult, const std::string& path) {
    std::string what;
    switch (sqliteResult & 0xff) {
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            what = "文件已损坏";
            break;
        case SQLITE_FULL:
            what = "磁盘已满";
            break;
        case SQLITE_READONLY:
            what = "文件只读";
            break;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            what = "文件被其他程序长时间锁定";
            break;
        case SQLITE_CANTOPEN:
        case SQLITE_PERM:
        case SQLITE_AUTH:
            what = "无法打开文件";
            break;
        case SQLITE_IOERR:
            what = "读写文件出错";
            break;
        default:
            what = std::string("数据库错误（") + sqlite3_errstr(sqliteResult) + "）";
            break;
    }
    return what + "：" + path;
}

std::string newerSchemaProblem(const std::string& path) {
    return "文件由更新版本的程序写入：" + path;
}

std::string notAFileProblem(const std::string& path) {
    return "不是普通文件（或是链接）：" + path;
}

std::string folderProblem(const std::string& folder) {
    return "无法创建文件夹：" + folder;
}

std::string lockFileProblem(const std::string& path) {
    return "无法打开锁文件：" + path;
}

}  // namespace oc::store
