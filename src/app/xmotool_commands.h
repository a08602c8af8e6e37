// The subcommands xmotool runs in its own process, each given its own
// arguments (argv[0] is the subcommand name). Each returns the exit code.
#pragma once

namespace xmo {

int runCheck(int argc, char** argv);
int runDump(int argc, char** argv);
int runSave(int argc, char** argv);
int runJoin(int argc, char** argv);

}  // namespace xmo
