# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program's two packages, made from the Windows build (see scripts/package-windows.sh):
#   windows-installer  quillmere-VERSION-setup.exe, by makensis from scripts/windows-installer.nsi
#   windows-portable   quillmere-VERSION-portable.zip, the same files to unpack anywhere
# Both hold the stripped programs and the licence; the static run-time needs no DLL beside them.
set(stage ${CMAKE_BINARY_DIR}/windows-package/Quillmere)
set(staged ${stage}/Quillmere.exe ${stage}/quillmere-sync.exe ${stage}/LICENSE.txt)
add_custom_command(OUTPUT ${staged}
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
                   COMMAND ${CMAKE_STRIP} -o ${stage}/Quillmere.exe $<TARGET_FILE:quillmere>
                   COMMAND ${CMAKE_STRIP} -o ${stage}/quillmere-sync.exe $<TARGET_FILE:quillmere-sync>
                   COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
                   DEPENDS quillmere quillmere-sync ${PROJECT_SOURCE_DIR}/LICENSE
                   COMMENT "Staging the Windows programs")

set(portable ${CMAKE_BINARY_DIR}/quillmere-${PROJECT_VERSION}-portable.zip)
add_custom_command(OUTPUT ${portable}
                   COMMAND ${CMAKE_COMMAND} -E tar cf ${portable} --format=zip Quillmere
                   WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/windows-package
                   DEPENDS ${staged}
                   COMMENT "Packing ${portable}")
add_custom_target(windows-portable DEPENDS ${portable})

find_program(QUILLMERE_MAKENSIS makensis)
if(NOT QUILLMERE_MAKENSIS)
    message(STATUS "makensis not found (Debian package nsis): no Windows installer")
    return()
endif()
set(installer ${CMAKE_BINARY_DIR}/quillmere-${PROJECT_VERSION}-setup.exe)
set(script ${PROJECT_SOURCE_DIR}/scripts/windows-installer.nsi)
add_custom_command(OUTPUT ${installer}
                   COMMAND ${QUILLMERE_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DVERSION_QUAD=${PROJECT_VERSION}.0
                           -DSTAGE=${stage} -DICON=${PROJECT_SOURCE_DIR}/data/icons/quillmere.ico
                           -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE -DOUTFILE=${installer} ${script}
                   DEPENDS ${staged} ${script} ${PROJECT_SOURCE_DIR}/data/icons/quillmere.ico
                   COMMENT "Building ${installer}")
add_custom_target(windows-installer DEPENDS ${installer})
