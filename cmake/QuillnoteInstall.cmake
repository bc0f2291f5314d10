# What `cmake --install` puts under the prefix, and the Debian package made from
# it (`cpack -G DEB` in the build folder). An installed copy finds its shipped
# files in <prefix>/share/quillnote and keeps each user's data in that user's
# data folder (src/platform/data_location.h).
set(QUILLNOTE_SHARE_DIR share/quillnote)

install(TARGETS quillnote RUNTIME DESTINATION bin)
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

# The Debian package. The libraries the programs link are found from the binaries
# (dpkg-shlibdeps); only what is loaded at run time and cannot be seen there is
# named: the toolkit's X11 platform plugin.
set(CPACK_PACKAGE_NAME quillnote)
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_CONTACT "Tolvane <quillnote@tolvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "to-do list with reminders that lives in the tray")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "to-do list with reminders that lives in the tray
 Quillnote keeps one person's tasks: a title, an optional description, a
 category, a priority, an optional due date and a reminder that rings, blinks
 the tray icon and comes back when snoozed. The list is ordered by due date,
 priority or category, can be printed or saved as PDF, and takes swappable
 skins. Each user's tasks are kept in that user's data folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tolvane.example/quillnote")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The SoundFont plays MIDI alarms; every other sound plays without it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-dejavu-core, fonts-liberation2, fonts-wine, timgm6mb-soundfont | fluid-soundfont-gm")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
