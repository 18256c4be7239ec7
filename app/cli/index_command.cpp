#include "app/cli/index_command.h"

#include <CLI/CLI.hpp>

#include <chrono>
#include <cstring>
#include <iomanip>
#include <ostream>

#include "app/cli/cli_options.h"
#include "check/pass_texts.h"
#include "corpus/archive_library.h"
#include "services/boundary_text.h"

namespace oc::cli {

bool isIndexCommand(int argc, char** argv) {
    return argc >= 2 && std::strcmp(argv[1], "index") == 0;
}

int runIndexCommand(int argc, char** argv, std::ostream& out, std::ostream& err) {
    CLI::App app{
        "Builds or updates the index of the documents under DIR, kept on disk for the "
        "local engine (--corpus DIR).",
        "originality-cli index"};
    std::string folder;
    bool quiet = false;
    app.add_option("DIR", folder, "the folder of documents")->required();
    app.add_flag("--quiet", quiet, "no progress on standard error");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return app.exit(e, out, err) == 0 ? 0 : kExitUsage;
    }

    corpus::ArchiveLibrary library;
    const auto start = std::chrono::steady_clock::now();
    auto lastReport = start;
    corpus::LibraryUpdate update = library.update(folder, [&](std::size_t done, std::size_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (!quiet && (done == total || now - lastReport >= std::chrono::seconds(1))) {
            lastReport = now;
            err << "索引 " << done << " / " << total << " 个文件\n";
        }
    });
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!update.notice.empty()) {
        err << "originality-cli: " << utf8FromGbk(update.notice) << "\n";
    }
    if (update.problem != corpus::FolderProblem::None) {
        err << "originality-cli: "
            << utf8FromGbk(pass_texts::localFolderProblem(update.problem, folder)) << "\n";
        return kExitUsage;
    }
    for (const corpus::SkippedFile& file : library.skipped()) {
        err << "skipped: " << file.path << ": " << utf8FromGbk(file.reason) << "\n";
    }
    out << "文件夹：" << folder << "\n"
        << "新增 " << update.filesAdded << " 个文件，更改 " << update.filesChanged << " 个，删除 "
        << update.filesRemoved << " 个，未变 " << update.filesReused << " 个，跳过 "
        << library.skipped().size() << " 个\n"
        << "文档 " << library.documentCount() << " 篇";
    if (library.partCount() > 0 || library.indexBytes() > 0) {
        out << "，索引 " << std::fixed << std::setprecision(2)
            << static_cast<double>(library.indexBytes()) / 1e6 << " MB（"
            << library.indexFolderOf(folder) << "）";
    }
    out << "\n用时 " << std::fixed << std::setprecision(2) << seconds << " 秒\n";
    return 0;
}

}  // namespace oc::cli
