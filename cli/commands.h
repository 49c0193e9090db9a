#pragma once

namespace tessaro::cli {

/// Each subcommand gets the arguments after its own name and returns the exit status.
int malCommand(int argc, char** argv);
int asmCommand(int argc, char** argv);
int runCommand(int argc, char** argv);
int checkCommand(int argc, char** argv);

} // namespace tessaro::cli
