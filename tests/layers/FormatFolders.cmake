# Checks the folders of interchange/ under ROOT: a format's folder includes its
# own folder, the shared folders and the headers at the top of interchange/,
# never another format's folder; a shared folder and a file at the top of
# interchange/ include no format's folder. Every folder of interchange/ that is
# not a shared one is a format's, so that a format added later is checked too.
#   cmake -DROOT=<folder holding interchange/> -P FormatFolders.cmake
# Fails naming each include that breaks this, and how many there are.
cmake_minimum_required(VERSION 3.25)
set(shared clips kept notes places timing xml)
get_filename_component(ROOT "${ROOT}" ABSOLUTE)

file(GLOB entries LIST_DIRECTORIES true RELATIVE ${ROOT}/interchange ${ROOT}/interchange/*)
set(formats "")
foreach(entry ${entries})
    if(IS_DIRECTORY ${ROOT}/interchange/${entry} AND NOT entry IN_LIST shared)
        list(APPEND formats ${entry})
    endif()
endforeach()

file(GLOB_RECURSE files RELATIVE ${ROOT} ${ROOT}/interchange/*.h ${ROOT}/interchange/*.hpp
     ${ROOT}/interchange/*.cpp)
set(broken 0)
foreach(file ${files})
    set(own "")
    if(file MATCHES "^interchange/([^/]+)/")
        set(own ${CMAKE_MATCH_1})
    endif()
    file(STRINGS ${ROOT}/${file} includes
         REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]interchange/[^/\">]+/")
    foreach(include ${includes})
        string(REGEX MATCH "interchange/([^/\">]+)/" found "${include}")
        set(folder ${CMAKE_MATCH_1})
        if(folder IN_LIST formats AND NOT folder STREQUAL own)
            message("${file} includes ${folder}/, another format's folder: ${include}")
            math(EXPR broken "${broken} + 1")
        endif()
    endforeach()
endforeach()

if(broken GREATER 0)
    list(JOIN shared ", " names)
    message(FATAL_ERROR "${broken} includes of another format's folder; shared pieces go in "
                        "one of the shared folders of interchange/ (${names})")
endif()
list(LENGTH files count)
message("${count} files of interchange/ checked: no format includes another's folder")
