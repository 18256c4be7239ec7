// originality-cli: checks articles against the search engines from a terminal,
// with the same passes as the desktop program: one article, or several one
// after another.
#include <unistd.h>

#include <iostream>

#include "app/cli/article_run.h"
#include "app/cli/batch_inputs.h"
#include "app/cli/batch_run.h"
#include "app/cli/cli_options.h"
#include "app/cli/cli_store.h"
#include "app/cli/history_command.h"
#include "app/cli/index_command.h"
#include "services/shown_text.h"

int main(int argc, char** argv) {
    using namespace oc;
    if (cli::isIndexCommand(argc, argv)) {
        return cli::runIndexCommand(argc - 1, argv + 1, std::cout, std::cerr);
    }
    cli::CliOptions options;
    int status = cli::parseCliOptions(argc, argv, options, isatty(STDIN_FILENO) != 0);
    if (status >= 0) {
        return status;
    }
    if (options.history != cli::HistoryCommand::None) {
        std::unique_ptr<CheckStore> store = cli::openCliStore(options);
        return cli::runHistoryCommand(options, store.get(), std::cout, std::cerr);
    }
    const cli::BatchInputs inputs = cli::collectInputs(options);
    if (!inputs.error.empty()) {
        std::cerr << "originality-cli: " << terminalText(inputs.error) << "\n";
        return cli::kExitUsage;
    }
    if (inputs.several && inputs.articles.empty()) {
        std::cerr
            << "originality-cli: 文件夹里没有可检测的文章（.txt、.md、.html、.htm、.docx、.pdf）\n";
        return cli::kExitUsage;
    }
    // A store that cannot be used is said once; the checks go on without it.
    std::unique_ptr<CheckStore> store = cli::openCliStore(options);
    if (cli::tellStoreProblem(store.get(), std::cerr)) {
        store.reset();
    }
    if (!inputs.several) {
        cli::ArticleRun run = cli::runArticle(options, inputs.articles.front(), false,
                                              options.reportPath, store.get());
        std::cout << run.printed;
        std::cout.flush();
        return run.status;
    }
    return cli::runBatch(options, inputs, store.get());
}
