#pragma once
// The program's options in the settings store: read once at start-up, written
// when the settings dialog is confirmed.

#include "core/program_options.h"

namespace quill {

class SettingsStore;

// Every option from its stored value, with the default where none is stored.
ProgramOptions ReadProgramOptions(const SettingsStore& store);

// Writes "Sort by" and then the ten switches, in that order. Every value is
// tried; when any fails, one AppError with the first failure is thrown at the end.
void WriteProgramOptions(SettingsStore& store, const ProgramOptions& options);

} // namespace quill
