# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules and the Debian package: the two programs with their manual pages, the desktop entry, the icons, the
# AppStream metainfo, the copyright and the changelog.
# `cmake --install <build>` installs under CMAKE_INSTALL_PREFIX; `cpack -G DEB` (see scripts/package.sh) builds
# quillmere_<version>_<arch>.deb from the same rules, installed under /usr.
include(GNUInstallDirs)

# Installing never builds: build first (scripts/build.sh, scripts/package.sh). cpack then packs what the build
# made without rebuilding the whole tree, so the package check can run beside the other tests.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# A stripped install (cpack's, or cmake --install --strip) also drops the compiler's name and version that every
# object file records, as Debian's own strip step does.
foreach(program IN ITEMS quillmere quillmere-sync)
    if(NOT TARGET ${program})
        continue()
    endif()
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    if(CMAKE_STRIP)
        set(installed "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${program}>")
        install(CODE "if(CMAKE_INSTALL_DO_STRIP)
                          execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment \"${installed}\"
                                          COMMAND_ERROR_IS_FATAL ANY)
                      endif()")
    endif()
endforeach()

# The rest makes the Linux desktop program: the window's menu entry, icons and AppStream metainfo, both manual
# pages, the package's copyright and changelog, and the Debian package of it all. A build for Windows or without the
# window (QUILLMERE_BUILD_GUI OFF) has none of it.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux" OR NOT TARGET quillmere OR NOT TARGET quillmere-sync)
    return()
endif()

# Folders the install creates on its own path get 0755 whatever the umask of the one who builds.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The desktop entry is named after the AppStream id (reverse DNS of the maker's home page), as software centres
# match the two by name.
set(app_id ${QUILLMERE_APP_ID})
install(FILES ${PROJECT_SOURCE_DIR}/data/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons
        FILES_MATCHING PATTERN "*.png" PATTERN "*.svg")

include(${PROJECT_SOURCE_DIR}/cmake/Changelog.cmake)
quillmere_changelog_releases(${PROJECT_SOURCE_DIR}/changelog QUILLMERE_RELEASES)
# Software centres show what the metainfo lists: no home page and no screenshot rather than addresses that lead
# nowhere.
set(QUILLMERE_METAINFO_HOME_PAGE "")
if(QUILLMERE_HOME_PAGE)
    set(QUILLMERE_METAINFO_HOME_PAGE "  <url type=\"homepage\">${QUILLMERE_HOME_PAGE}</url>\n")
endif()
set(QUILLMERE_METAINFO_SCREENSHOTS "")
if(QUILLMERE_SCREENSHOT_URL)
    string(CONCAT QUILLMERE_METAINFO_SCREENSHOTS
           "  <screenshots>\n"
           "    <screenshot type=\"default\">\n"
           "      <caption>The two folders, the direction and the interval, with the countdown to the next pass</caption>\n"
           "      <image type=\"source\">${QUILLMERE_SCREENSHOT_URL}</image>\n"
           "    </screenshot>\n"
           "  </screenshots>\n")
endif()
configure_file(${PROJECT_SOURCE_DIR}/data/${app_id}.metainfo.xml.in ${CMAKE_BINARY_DIR}/data/${app_id}.metainfo.xml
               @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Debian keeps manual pages and changelogs gzipped at the highest level; -n leaves the name and time out, so the
# same text gives the same bytes.
find_program(QUILLMERE_GZIP gzip REQUIRED)
set(compressed_documents "")
function(quillmere_compressed_document source destination)
    get_filename_component(name ${source} NAME)
    add_custom_command(OUTPUT ${source}.gz
                       COMMAND ${QUILLMERE_GZIP} -9 -n -f -k ${source}
                       DEPENDS ${source}
                       COMMENT "Compressing ${name}")
    install(FILES ${source}.gz DESTINATION ${destination})
    set(compressed_documents ${compressed_documents} ${source}.gz PARENT_SCOPE)
endfunction()

# The error report asks for a screenshot only where the build names an address for it.
set(QUILLMERE_MAN_SUPPORT "")
if(QUILLMERE_SUPPORT_ADDRESS)
    set(QUILLMERE_MAN_SUPPORT "\nand asks for a screenshot of it at\n.MT ${QUILLMERE_SUPPORT_ADDRESS}\n.ME ")
endif()
set(QUILLMERE_MAN_HOME_PAGE "")
if(QUILLMERE_HOME_PAGE)
    string(CONCAT QUILLMERE_MAN_HOME_PAGE ".PP\nOn one start in a hundred, chosen at random, the program opens its "
                  "maker's home page,\n.UR ${QUILLMERE_HOME_PAGE}\n.UE ,\nin the web browser.\n")
endif()
foreach(program IN ITEMS quillmere quillmere-sync)
    configure_file(${PROJECT_SOURCE_DIR}/man/${program}.1.in ${CMAKE_BINARY_DIR}/man/${program}.1 @ONLY)
    quillmere_compressed_document(${CMAKE_BINARY_DIR}/man/${program}.1 ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

# The package is Debian-native (its version has no Debian revision), so its changelog is changelog.gz.
set(document_folder ${CMAKE_INSTALL_DATAROOTDIR}/doc/quillmere)
configure_file(${PROJECT_SOURCE_DIR}/changelog ${CMAKE_BINARY_DIR}/doc/changelog COPYONLY)
quillmere_compressed_document(${CMAKE_BINARY_DIR}/doc/changelog ${document_folder})
# The upstream contact and source are named only where the build gives them.
set(QUILLMERE_COPYRIGHT_UPSTREAM "")
if(QUILLMERE_SUPPORT_ADDRESS)
    string(APPEND QUILLMERE_COPYRIGHT_UPSTREAM "Upstream-Contact: The Quillmere developers <${QUILLMERE_SUPPORT_ADDRESS}>\n")
endif()
if(QUILLMERE_HOME_PAGE)
    string(APPEND QUILLMERE_COPYRIGHT_UPSTREAM "Source: ${QUILLMERE_HOME_PAGE}\n")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/copyright)
file(READ ${PROJECT_SOURCE_DIR}/data/copyright copyright_text)
string(REPLACE "Upstream-Name: Quillmere\n" "Upstream-Name: Quillmere\n${QUILLMERE_COPYRIGHT_UPSTREAM}" copyright_text
       "${copyright_text}")
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/doc/copyright CONTENT "${copyright_text}" @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/doc/copyright DESTINATION ${document_folder})
add_custom_target(quillmere_documents ALL DEPENDS ${compressed_documents})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmere)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keeps two folders in step")
# The maintainer is the build's value, else whoever runs cpack (see cmake/PackageMaintainer.cmake).
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUILLMERE_MAINTAINER}")
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/PackageMaintainer.cmake)
if(QUILLMERE_HOME_PAGE)
    set(CPACK_PACKAGE_HOMEPAGE_URL ${QUILLMERE_HOME_PAGE})
endif()
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The summary above is the synopsis line; this is the long description under it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Quillmere is a small desktop program that keeps two folders in step. Choose
the two folders, a direction (both ways, 1 to 2, or 2 to 1) and an interval;
a pass copies every file found on one side only to the other side, and of two
files with the same name copies the newer over the older. Nothing is ever
deleted, moved or renamed, and every copy replaces its destination in one step.
.
The package also holds quillmere-sync, which runs the same pass from the
command line, once or at an interval.")
# dpkg-shlibdeps turns the libraries the programs link (Qt 6, the C++ run-time) into versioned dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# What no linked library reveals, added by hand: the window's font is Arial, which Debian does not ship;
# fonts-liberation holds the metric-compatible Liberation Sans that fontconfig puts in its place.
# (The X11 platform plugin needs no line here: Debian 12 ships it in libqt6gui6, which the link already names.)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")

include(CPack)
