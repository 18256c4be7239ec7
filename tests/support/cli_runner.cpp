#include "tests/support/cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace oc::testing {
namespace {

std::string contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::string storeArgs(const std::string& args) {
    const bool named = args.find("--store") != std::string::npos ||
                       args.find("--no-store") != std::string::npos ||
                       args.find("--cache-days") != std::string::npos ||
                       args.find("--no-cache") != std::string::npos;
    const bool subcommand = args.starts_with("index ") || args.starts_with("history");
    return named || subcommand ? std::string() : std::string("--no-store ");
}

CliRun runCli(const std::string& binDir, const std::string& folder, const std::string& args,
              const std::string& input, std::chrono::seconds limit,
              const std::string& environment) {
    const std::string in = folder + "/stdin.txt";
    const std::string out = folder + "/stdout.txt";
    const std::string err = folder + "/stderr.txt";
    std::ofstream(in, std::ios::binary) << input;
    // timeout sends TERM at the limit and KILL shortly after, answering 124.
    std::string command = "env " + environment + " timeout -k 5 " + std::to_string(limit.count()) +
                          " '" + binDir + "/originality-cli' " + storeArgs(args) + args + " < '" +
                          in + "' > '" + out + "' 2> '" + err + "'";
    auto start = std::chrono::steady_clock::now();
    int raw = std::system(command.c_str());
    CliRun run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = contentOf(out);
    run.err = contentOf(err);
    return run;
}

}  // namespace oc::testing
