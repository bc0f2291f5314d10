# The reminder window and the raising of reminders (sound, tray blink, snooze).
list(APPEND QUILLNOTE_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/reminder_alarm.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reminder_alarm.h
)
