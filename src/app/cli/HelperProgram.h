#pragma once

// The commands norvane-cli leaves to helper programs, so that it loads none of their libraries:
// the printouts need Qt Gui, the sync libcurl and the secret store, the iCalendar exchange libical.
// Plain POSIX: it runs before any Qt object exists.
namespace HelperProgram {

// The helper program that runs command (argv[1]); null for the commands of norvane-cli itself.
const char* forCommand(const char* command);

// Runs helper in place of this process with the same argv: first from the installed layout
// (NORVANE_HELPERS_FROM_BIN, relative to the directory of this executable), then from this
// executable's own directory (a build tree). Returns only when neither runs, having told which
// on stderr in one line: the exit code then.
int runInstead(const char* helper, char* argv[]);

} // namespace HelperProgram
