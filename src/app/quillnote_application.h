#pragma once
// The application object: an AppError thrown by any event handler stops that
// handler and is shown by the top-level error handler; the program goes on.

#include <QApplication>

namespace quill {

class QuillnoteApplication : public QApplication {
    Q_OBJECT
public:
    QuillnoteApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Points fontconfig at the font aliases shipped beside the executable
// (fonts/quillnote-fonts.conf), unless the user has chosen a configuration.
// Must run before the application object is made.
void UseShippedFontConfig(const char* argv0);

} // namespace quill
