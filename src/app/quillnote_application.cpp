#include "quillnote_application.h"

#include "app_error_handler.h"

#include <QFileInfo>
#include <cstdlib>
#include <filesystem>

namespace quill {

QuillnoteApplication::QuillnoteApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(QString::fromUtf8(kAppTitle));
    setOrganizationName(QStringLiteral("Tolvane"));
}

void UseShippedFontConfig(const char* argv0) {
    if (std::getenv("FONTCONFIG_FILE") != nullptr)
        return;
    std::error_code ec;
    // The executable's own path: /proc/self/exe, or argv[0] where there is no /proc.
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec && argv0)
        exe = std::filesystem::absolute(argv0, ec);
    if (exe.empty())
        return;
    // Beside the executable, or in the share folder of an installed copy.
    for (const std::filesystem::path& conf : {exe.parent_path() / "fonts" / "quillnote-fonts.conf",
                                              exe.parent_path().parent_path() / "share" /
                                                  "quillnote" / "fonts" / "quillnote-fonts.conf"}) {
        if (std::filesystem::exists(conf, ec)) {
            ::setenv("FONTCONFIG_FILE", conf.c_str(), 0);
            return;
        }
    }
}

} // namespace quill
