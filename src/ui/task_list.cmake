# The main window's task list: grid painting, input and layout.
list(APPEND QUILLNOTE_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/empty_list_hint.cpp ${CMAKE_CURRENT_LIST_DIR}/empty_list_hint.h
    ${CMAKE_CURRENT_LIST_DIR}/find_bar.cpp ${CMAKE_CURRENT_LIST_DIR}/find_bar.h
    ${CMAKE_CURRENT_LIST_DIR}/fit_text.cpp ${CMAKE_CURRENT_LIST_DIR}/fit_text.h
    ${CMAKE_CURRENT_LIST_DIR}/main_layout.cpp ${CMAKE_CURRENT_LIST_DIR}/main_layout.h
    ${CMAKE_CURRENT_LIST_DIR}/task_list.cpp ${CMAKE_CURRENT_LIST_DIR}/task_list.h
    ${CMAKE_CURRENT_LIST_DIR}/task_list_host.h
    ${CMAKE_CURRENT_LIST_DIR}/task_list_cells.cpp ${CMAKE_CURRENT_LIST_DIR}/task_list_cells.h
    ${CMAKE_CURRENT_LIST_DIR}/task_cell_text.cpp ${CMAKE_CURRENT_LIST_DIR}/task_cell_text.h
)
