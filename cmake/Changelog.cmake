# SPDX-License-Identifier: GPL-3.0-or-later
# The release history lives in one place, the changelog at the project's root, in Debian's format: one entry per
# release, newest first, each closed by a line " -- NAME <ADDRESS>  Day, DD Mon YYYY hh:mm:ss +zzzz". The package
# ships it as changelog.gz, and the AppStream metainfo lists the same releases.

# Sets out_var to a <release/> element for every entry, newest first. Fails the configuration when the newest entry
# is not the project's version, so that no build goes out with a release its changelog does not describe.
function(quillmere_changelog_releases changelog out_var)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    list(JOIN months "|" month_pattern)
    set(malformed "${changelog}: every entry needs a heading \"quillmere (VERSION) ...\" and then a closing line "
                  "\" -- NAME <ADDRESS>  Day, DD Mon YYYY hh:mm:ss +zzzz\"")
    file(STRINGS ${changelog} lines REGEX "^(quillmere \\(| -- )")
    set(versions "")
    set(open_entry "")
    set(releases "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^quillmere \\(([^)]+)\\)")
            if(open_entry)
                message(FATAL_ERROR ${malformed})
            endif()
            set(open_entry ${CMAKE_MATCH_1})
            list(APPEND versions ${open_entry})
        elseif(line MATCHES "^ -- .+>  [A-Z][a-z][a-z], ([0-9]?[0-9]) (${month_pattern}) ([0-9][0-9][0-9][0-9]) ")
            if(NOT open_entry)
                message(FATAL_ERROR ${malformed})
            endif()
            set(day ${CMAKE_MATCH_1})
            list(FIND months ${CMAKE_MATCH_2} month_index)
            set(year ${CMAKE_MATCH_3})
            string(REGEX REPLACE "^([0-9])$" "0\\1" day ${day})
            math(EXPR month "${month_index} + 1")
            string(REGEX REPLACE "^([0-9])$" "0\\1" month ${month})
            string(APPEND releases "    <release version=\"${open_entry}\" date=\"${year}-${month}-${day}\"/>\n")
            set(open_entry "")
        endif()
    endforeach()
    if(open_entry OR NOT versions)
        message(FATAL_ERROR ${malformed})
    endif()

    list(GET versions 0 newest)
    if(NOT newest STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${changelog}: the newest entry is ${newest}, the project is ${PROJECT_VERSION}; "
                            "describe the release there first")
    endif()
    set(${out_var} "${releases}" PARENT_SCOPE)
endfunction()
