#include "app/cli/HelperProgram.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace HelperProgram {

namespace {

struct Delegated {
    const char* command;
    const char* helper;
};

constexpr Delegated kDelegated[] = {
    {"pdf", "norvane-cli-pdf"},
    {"sync", "norvane-cli-sync"},
    {"calendars", "norvane-cli-sync"},
    {"subscribe", "norvane-cli-sync"},
    {"refresh", "norvane-cli-sync"},
    {"unsubscribe", "norvane-cli-sync"},
    {"export-ics", "norvane-cli-exchange"},
    {"import-ics", "norvane-cli-exchange"},
    // It lives with the import's command, whose library links libical.
    {"undo-import", "norvane-cli-exchange"},
};

// The directory of this executable, without the trailing '/'; empty when /proc cannot tell.
std::string ownDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length == static_cast<ssize_t>(sizeof path))
        errno = ENAMETOOLONG;
    if (length <= 0 || length == static_cast<ssize_t>(sizeof path))
        return {};
    const std::string own(path, static_cast<size_t>(length));
    return own.substr(0, own.rfind('/'));
}

} // namespace

const char* forCommand(const char* command)
{
    for (const Delegated& delegated : kDelegated) {
        if (std::strcmp(command, delegated.command) == 0)
            return delegated.helper;
    }
    return nullptr;
}

int runInstead(const char* helper, char* argv[])
{
    const std::string directory = ownDirectory();
    if (directory.empty()) {
        std::fprintf(stderr, "norvane-cli: cannot run %s: its own path is unknown: %s\n", helper,
                     std::strerror(errno));
        return 1;
    }
    const std::string candidates[] = {
        directory + "/" NORVANE_HELPERS_FROM_BIN "/" + helper,
        directory + "/" + helper,
    };
    // A helper that is there but does not run is the better reason to name than a missing one.
    std::string tried;
    int reason = 0;
    for (const std::string& candidate : candidates) {
        execv(candidate.c_str(), argv);
        if (errno != ENOENT && errno != ENOTDIR && tried.empty()) {
            reason = errno;
            tried = candidate;
        }
    }
    if (tried.empty())
        std::fprintf(stderr, "norvane-cli: the helper program %s is in neither %s nor %s\n", helper,
                     candidates[0].substr(0, candidates[0].rfind('/')).c_str(), directory.c_str());
    else
        std::fprintf(stderr, "norvane-cli: cannot run the helper program %s: %s\n", tried.c_str(),
                     std::strerror(reason));
    return 1;
}

} // namespace HelperProgram
