# One INTERFACE target carries the flags every Quillnote target is built with.
add_library(quillnote_flags INTERFACE)
target_compile_options(quillnote_flags INTERFACE -Wall -Wextra -Wpedantic
    $<$<BOOL:${QUILLNOTE_WERROR}>:-Werror>)
target_compile_definitions(quillnote_flags INTERFACE
    QT_NO_KEYWORDS
    $<$<BOOL:${QUILLNOTE_SANITIZE}>:QUILLNOTE_SANITIZED>)

if(QUILLNOTE_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(quillnote_flags INTERFACE ${_san})
    target_link_options(quillnote_flags INTERFACE ${_san})
endif()

# quillnote_gtest(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2)
# A GoogleTest executable registered in CTest with the label "core".
function(quillnote_gtest name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE quillnote_flags GTest::gtest GTest::gtest_main ${ARG_LIBS})
    add_test(NAME ${name} COMMAND ${name})
    set(_labels core ${ARG_LABELS})
    set_tests_properties(${name} PROPERTIES LABELS "${_labels}" TIMEOUT 300)
endfunction()

# quillnote_qtest(NAME SOURCES a.cpp LIBS lib1 [SCALE2X])
# A QtTest executable run on the offscreen platform with a fixed 1280x1024 screen,
# our own font configuration and the C locale, so pixels and texts are repeatable.
function(quillnote_qtest name)
    cmake_parse_arguments(ARG "SCALE2X" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE quillnote_flags Qt6::Test ${ARG_LIBS})
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    if(ARG_SCALE2X)
        set(_screen ${PROJECT_SOURCE_DIR}/tests/offscreen-2x.json)
    else()
        set(_screen ${PROJECT_SOURCE_DIR}/tests/offscreen.json)
    endif()
    add_test(NAME ${name} COMMAND ${name})
    set(_labels ui ${ARG_LABELS})
    set_tests_properties(${name} PROPERTIES
        LABELS "${_labels}"
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen:configfile=${_screen};LC_ALL=C.UTF-8;LANG=C.UTF-8;FONTCONFIG_FILE=${PROJECT_SOURCE_DIR}/assets/fonts/quillnote-fonts.conf;ASAN_OPTIONS=detect_leaks=0;QT_ASSUME_STDERR_HAS_CONSOLE=1")
endfunction()
