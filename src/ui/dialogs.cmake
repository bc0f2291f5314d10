# The message dialog and the windows the main window creates at start-up.
list(APPEND QUILLNOTE_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/message_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_form.h
    ${CMAKE_CURRENT_LIST_DIR}/message_layout.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_layout.h
    ${CMAKE_CURRENT_LIST_DIR}/message_pictures.cpp
    ${CMAKE_CURRENT_LIST_DIR}/message_pictures.h
    ${CMAKE_CURRENT_LIST_DIR}/edit_task_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/edit_task_form.h
    ${CMAKE_CURRENT_LIST_DIR}/repeat_choice_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/repeat_choice_dialog.h
    ${CMAKE_CURRENT_LIST_DIR}/reminder_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/reminder_form.h
    ${CMAKE_CURRENT_LIST_DIR}/categories_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/categories_form.h
    ${CMAKE_CURRENT_LIST_DIR}/add_category_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/add_category_form.h
    ${CMAKE_CURRENT_LIST_DIR}/options_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/options_form.h
    ${CMAKE_CURRENT_LIST_DIR}/sync_form.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sync_form.h
)
