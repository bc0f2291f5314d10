# The categories window's and the category dialog's own parts.
list(APPEND QUILLNOTE_UI_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/list_font.cpp ${CMAKE_CURRENT_LIST_DIR}/list_font.h
    ${CMAKE_CURRENT_LIST_DIR}/mark_grid.cpp ${CMAKE_CURRENT_LIST_DIR}/mark_grid.h
)
