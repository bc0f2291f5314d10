#include "options_settings.h"

#include "app_error_handler.h"

#include "core/app_error.h"
#include "platform/settings_store.h"

namespace quill {

ProgramOptions ReadProgramOptions(const SettingsStore& store) {
    ProgramOptions options;
    options.sortBy = store.Read(settings::kSortBy);
    for (const OptionSwitch& option : kOptionSwitches)
        options.*option.field = store.Read(option.setting);
    return options;
}

void WriteProgramOptions(SettingsStore& store, const ProgramOptions& options) {
    // One failure does not keep the other values from the file.
    QString failure;
    const auto attempt = [&failure](const std::function<void()>& write) {
        const QString problem = CaptureAppError(write);
        if (failure.isEmpty())
            failure = problem;
    };
    attempt([&] { store.Write(settings::kSortBy, options.sortBy); });
    for (const OptionSwitch& option : kOptionSwitches)
        attempt([&] { store.Write(option.setting, options.*option.field); });
    if (!failure.isEmpty())
        throw AppError(failure.toStdString());
}

} // namespace quill
