#pragma once
// Where the message dialog puts its text, pictures and buttons: plain arithmetic,
// kept apart from the window so it can be checked alone.

#include <QString>

namespace quill {

// The message dialog's kinds the program uses: any kind whose last decimal digit
// is 0 tells (one "OK" button), any other asks ("Yes" and "No").
enum MessageKind : int {
    kNoticeMessage = 0,
    kQuestionMessage = 4,
};

struct MessageLayoutInput {
    int labelWidth = 0; // the text's size in the dialog's font, never wrapped
    int labelHeight = 0;
    int kind = 0;       // last decimal digit 0: notice; any other: question
    int frameWidth = 0; // the window's outer width minus its client width
    int image1Width = 45;
    int button1Width = 83;
    int button1Height = 23;
    int button2Width = 81;
    int button2Height = 23;
};

struct MessageLayout {
    bool question = false;
    int clientWidth = 0;
    int clientHeight = 0;
    int labelLeft = 56;
    int labelTop = 20;
    int button1Left = 0;
    int button1Top = 0;
    int button2Left = 0;
    int button2Top = 0;
    QString button1Caption; // "OK" or "Yes"; the second button always reads "No"
};

// Whether `kind` asks a question: its remainder by 10 is not 0 (negative kinds too).
bool IsQuestionKind(int kind);

// The dialog grows with its text: width = text + question picture + 30, height =
// text + 58 but at least 96; buttons sit 14 px above the bottom, centred on half
// the outer width. A text too short to carry the buttons still gets a dialog wide
// enough to show them whole.
MessageLayout ComputeMessageLayout(const MessageLayoutInput& in);

// The narrowest client width that shows the buttons of the kind whole, with the
// same 14 px margin the buttons keep from the bottom.
int MinimumMessageClientWidth(const MessageLayoutInput& in);

} // namespace quill
