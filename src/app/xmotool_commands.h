// The subcommands of xmotool, each given its own arguments (argv[0] is the
// subcommand name). Each returns the process exit code.
#pragma once

namespace xmo {

int runCheck(int argc, char** argv);
int runDump(int argc, char** argv);
int runSave(int argc, char** argv);
int runRender(int argc, char** argv);

}  // namespace xmo
