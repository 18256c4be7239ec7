#include "app/cli/article_input.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "services/boundary_text.h"

namespace oc::cli {

Text decodeArticle(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        bytes.remove_prefix(3);
    }
    if (isValidUtf8(bytes)) {
        return gbkFromUtf8(bytes);
    }
    return gbkFromUtf8(utf8FromGbk(bytes));
}

std::optional<Text> readArticle(const std::string& path, std::string& error) {
    std::string bytes;
    if (path == "-") {
        std::ostringstream in;
        in << std::cin.rdbuf();
        bytes = in.str();
    } else {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) {
            error = "cannot read the article " + path + ": " + std::strerror(errno);
            return std::nullopt;
        }
        if (S_ISDIR(info.st_mode)) {
            error = "cannot read the article " + path + ": it is a folder";
            return std::nullopt;
        }
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            error = "cannot read the article " + path + ": " + std::strerror(errno);
            return std::nullopt;
        }
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        if (file.bad()) {
            error = "cannot read the article " + path;
            return std::nullopt;
        }
    }
    return decodeArticle(bytes);
}

}  // namespace oc::cli
