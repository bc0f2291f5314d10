// Runs every test class of the program's windows under the program's own
// application object, so an error thrown by a handler reaches its handler.
#include "app/quillnote_application.h"

#include <QTest>

int RunMessageDialogTests(int argc, char** argv);
int RunMainFormTests(int argc, char** argv);
int RunMainFormReminderTests(int argc, char** argv);

int main(int argc, char** argv) {
    quill::QuillnoteApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    int failed = 0;
    failed += RunMessageDialogTests(argc, argv);
    failed += RunMainFormTests(argc, argv);
    failed += RunMainFormReminderTests(argc, argv);
    return failed == 0 ? 0 : 1;
}
