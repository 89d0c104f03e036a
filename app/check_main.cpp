// solvari-check: the question-set checker. All the work is in flow/check_command.cpp.
#include <QCoreApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "flow/check_command.h"
#include "solvari_version.h"

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName("solvari-check");
    QCoreApplication::setApplicationVersion(SOLVARI_VERSION);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    const solvari::CheckOutput o = solvari::runCheckCommand(args);
    std::fwrite(o.out.data(), 1, o.out.size(), stdout);
    std::fwrite(o.err.data(), 1, o.err.size(), stderr);
    std::fflush(stdout);
    return o.exitCode;
}
