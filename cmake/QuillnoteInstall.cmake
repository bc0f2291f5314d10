# What `cmake --install` puts under the prefix, and the Debian package made from
# it (`cpack -G DEB` in the build folder). An installed copy finds its shipped
# files in <prefix>/share/quillnote and keeps each user's data in that user's
# data folder (src/platform/data_location.h).
set(QUILLNOTE_SHARE_DIR share/quillnote)

install(TARGETS quillnote RUNTIME DESTINATION bin)
# The sound module, opened by the program on its first sound (bin/../lib/quillnote/
# plugins). Not directly in lib/quillnote: CPack would then call ldconfig from the
# package's scripts, as for a shared library others link to.
install(TARGETS quillnote-sound LIBRARY DESTINATION lib/quillnote/plugins)
foreach(tool quillnote-data quillnote-print)
    if(TARGET ${tool})
        install(TARGETS ${tool} RUNTIME DESTINATION bin)
    endif()
endforeach()

install(DIRECTORY ${CMAKE_BINARY_DIR}/bin/Skins/ DESTINATION ${QUILLNOTE_SHARE_DIR}/Skins
    FILES_MATCHING PATTERN "*.skn")
install(FILES ${PROJECT_SOURCE_DIR}/assets/sounds/alarm.wav DESTINATION ${QUILLNOTE_SHARE_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/assets/fonts/quillnote-fonts.conf
    DESTINATION ${QUILLNOTE_SHARE_DIR}/fonts)
install(FILES ${PROJECT_SOURCE_DIR}/docs/help/quillnote-help.html DESTINATION ${QUILLNOTE_SHARE_DIR})

# The desktop: menu entry, AppStream description, the icon at the usual sizes.
set(_desktop ${PROJECT_SOURCE_DIR}/assets/desktop)
install(FILES ${_desktop}/example.tolvane.Quillnote.desktop DESTINATION share/applications)
install(FILES ${_desktop}/example.tolvane.Quillnote.metainfo.xml DESTINATION share/metainfo)
foreach(size 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/app/quillnote-${size}.png
        DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME quillnote.png)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/app/quillnote.svg
    DESTINATION share/icons/hicolor/scalable/apps)

# Manual pages, made from each program's --help by help2man, so a page cannot
# say other than the program; docs/man/<program>.h2m adds the name line and the
# references. Without help2man the build goes on without them.
find_program(QUILLNOTE_HELP2MAN help2man)
set(_man_dir ${CMAKE_BINARY_DIR}/man)
set(_man_pages)
if(QUILLNOTE_HELP2MAN)
    foreach(program quillnote quillnote-data quillnote-print)
        if(NOT TARGET ${program})
            continue()
        endif()
        set(_h2m ${PROJECT_SOURCE_DIR}/docs/man/${program}.h2m)
        add_custom_command(OUTPUT ${_man_dir}/${program}.1.gz
            COMMAND ${CMAKE_COMMAND} -E make_directory ${_man_dir}
            COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
                ${QUILLNOTE_HELP2MAN} --no-info --include ${_h2m}
                --output ${_man_dir}/${program}.1 $<TARGET_FILE:${program}>
            COMMAND gzip -9nf ${_man_dir}/${program}.1
            DEPENDS ${program} ${_h2m}
            COMMENT "Manual page of ${program}"
            VERBATIM)
        list(APPEND _man_pages ${_man_dir}/${program}.1.gz)
    endforeach()
    add_custom_target(quillnote_man_pages ALL DEPENDS ${_man_pages})
    install(FILES ${_man_pages} DESTINATION share/man/man1)
else()
    message(STATUS "help2man not found: the manual pages are not made")
endif()

# What a Debian package carries in its doc folder: the copyright in the
# machine-readable format and the changelog, compressed as policy asks. The
# changelog's newest entry must name this version.
set(_debian ${PROJECT_SOURCE_DIR}/assets/debian)
file(STRINGS ${_debian}/changelog _newest LIMIT_COUNT 1)
if(NOT _newest MATCHES "^quillnote \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "assets/debian/changelog: the newest entry is not ${PROJECT_VERSION}: "
        "\"${_newest}\"")
endif()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${_debian}/changelog ${CMAKE_BINARY_DIR}/debian/changelog
    COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/debian/changelog
    DEPENDS ${_debian}/changelog
    VERBATIM)
add_custom_target(quillnote_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${_debian}/copyright ${CMAKE_BINARY_DIR}/debian/changelog.gz
    DESTINATION share/doc/quillnote)

# The Debian package. The libraries the programs link are found from the binaries
# (dpkg-shlibdeps); only what is loaded at run time and cannot be seen there is
# named: the toolkit's X11 platform plugin.
set(CPACK_PACKAGE_NAME quillnote)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_CONTACT "Tolvane <quillnote@tolvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "to-do list with reminders that lives in the tray")
# CPack puts the summary first and indents each line of the rest by one space.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Quillnote keeps one person's tasks: a title, an optional description, a
category, a priority, an optional due date and a reminder that rings, blinks
the tray icon and comes back when snoozed. The list is ordered by due date,
priority or category, can be printed or saved as PDF, and takes swappable
skins. Each user's tasks are kept in that user's data folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tolvane.example/quillnote")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# QtKeychain opens the Secret Service library at run time; nothing else pulls it in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libsecret-1-0")
# The SoundFont plays MIDI alarms; every other sound plays without it. xdg-open
# (xdg-utils) shows the help page on F1 on a desktop that has no portal of its own.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-dejavu-core, fonts-liberation2, fonts-wine, timgm6mb-soundfont | fluid-soundfont-gm, xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
