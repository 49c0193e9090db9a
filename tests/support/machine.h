#pragma once

#include "machine/control_path.h"
#include "machine/machine_session.h"
#include "tests/support/files.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessaro::testing {

/// A machine whose control store holds the translated microprogram of data/velkora.mal (the
/// translation is done once per test program and shared).
std::unique_ptr<ControlPath> makeMachine();

/// A session whose control store holds the translated microprogram.
std::unique_ptr<MachineSession> makeSession();

/// Writes source to a scratch file and loads it into machine; the assembler's errors stay in
/// machine.errors.
void loadSource(ControlPath& machine, const std::string& source);

/// Method-area bytes and constant-pool words of the loaded program.
std::vector<std::uint8_t> methodAreaOf(const ControlPath& machine);
std::vector<std::int32_t> poolOf(const ControlPath& machine);

/// The word at address, or 0 when it was never created (does not create it).
std::int32_t peekWord(const ControlPath& machine, std::int32_t address);

} // namespace tessaro::testing
