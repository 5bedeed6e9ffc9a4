# Installation in the usual places and a Debian package built by CPack.
include(GNUInstallDirs)

set(DITLOG_APP_ID org.ditlog.Ditlog)

install(TARGETS ditlog RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The shipped data: tables, the country file they come from, band plan, help text and
# voice prompts. The program looks for them in ../share/ditlog beside its executable.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/ditlog
        FILES_MATCHING PATTERN "*.txt" PATTERN "*.csv" PATTERN "*.wav"
        PATTERN "icons" EXCLUDE)

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${DITLOG_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${DITLOG_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/ditlog.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${DITLOG_APP_ID}.svg)
foreach(size 16 32 48 64 128 256)
    install(FILES ${CMAKE_SOURCE_DIR}/data/icons/ditlog-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${DITLOG_APP_ID}.png)
endforeach()

# Manual page and package documentation, compressed as Debian expects.
find_program(GZIP_EXECUTABLE gzip REQUIRED)
set(ditlog_gz ${CMAKE_BINARY_DIR}/packaging)
add_custom_command(
    OUTPUT ${ditlog_gz}/ditlog.1.gz ${ditlog_gz}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ditlog_gz}
    COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_SOURCE_DIR}/docs/ditlog.1 > ${ditlog_gz}/ditlog.1.gz
    COMMAND ${GZIP_EXECUTABLE} -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${ditlog_gz}/changelog.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/ditlog.1 ${CMAKE_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(ditlog_compressed_docs ALL DEPENDS ${ditlog_gz}/ditlog.1.gz ${ditlog_gz}/changelog.gz)
install(FILES ${ditlog_gz}/ditlog.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ditlog_gz}/changelog.gz ${CMAKE_SOURCE_DIR}/packaging/copyright
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ditlog)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ditlog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Ditlog developers")
set(CPACK_PACKAGE_CONTACT "The Ditlog developers <maintainers@ditlog.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "contact logger for CW club sprints")
set(CPACK_PACKAGE_DESCRIPTION
    "Ditlog logs the contacts of a Morse-code (CW) club sprint with the keyboard\n"
    "alone: it checks each entry, warns of duplicates, appends every contact to a\n"
    "plain-text log synced to disk at once, and keeps the score.\n"
    "It keys the transmitter in Morse, plays voice messages, reads and sets the\n"
    "radio's frequency over CAT or through Hamlib's rigctld, and shows DX spots\n"
    "from a packet TNC, a Telnet cluster or an AGW packet engine on band maps.")
string(REPLACE ";" "" CPACK_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The speech plug-ins are loaded at run time, so the library dependencies do not name
# them (the window-system and media plug-ins come with the Qt libraries).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-speech-flite-plugin | qt6-speech-speechd-plugin, rtkit")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libhamlib-utils, direwolf")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
