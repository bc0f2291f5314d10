#pragma once
// The application object: the program's name and organisation. Errors never
// reach it: every command reports its own (app_error_handler.h).

#include <QApplication>

namespace quill {

class QuillnoteApplication : public QApplication {
    Q_OBJECT
public:
    QuillnoteApplication(int& argc, char** argv);
};

// Points fontconfig at the font aliases shipped beside the executable
// (fonts/quillnote-fonts.conf), unless the user has chosen a configuration.
// Must run before the application object is made.
void UseShippedFontConfig(const char* argv0);

} // namespace quill
