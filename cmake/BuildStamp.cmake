# Stamps the build with its date, the source revision and the branch, for the
# version line the library can print at load. Taken when the project is
# configured, which happens again whenever HEAD moves; outside a git checkout a
# clear placeholder stands in.
set(ZEM_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)

set(ZEM_BUILD_REVISION "0000000000000000000000000000000000000000")
set(ZEM_BUILD_BRANCH "unknown-branch")
find_package(Git QUIET)
if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse HEAD
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE zem_revision OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE zem_revision_result ERROR_QUIET)
    if(zem_revision_result EQUAL 0 AND zem_revision MATCHES "^[0-9a-f]+$")
        set(ZEM_BUILD_REVISION ${zem_revision})
    endif()
    execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --abbrev-ref HEAD
        WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
        OUTPUT_VARIABLE zem_branch OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE zem_branch_result ERROR_QUIET)
    if(zem_branch_result EQUAL 0 AND NOT zem_branch STREQUAL "")
        set(ZEM_BUILD_BRANCH ${zem_branch})
    endif()
    # Configure again, and so stamp again, when HEAD moves: a new commit or
    # another branch checked out.
    foreach(zem_ref HEAD refs/heads/${ZEM_BUILD_BRANCH})
        execute_process(COMMAND ${GIT_EXECUTABLE} rev-parse --git-path ${zem_ref}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE zem_ref_file OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        get_filename_component(zem_ref_file "${zem_ref_file}" ABSOLUTE BASE_DIR ${PROJECT_SOURCE_DIR})
        if(EXISTS "${zem_ref_file}")
            set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${zem_ref_file}")
        endif()
    endforeach()
endif()

# The branch goes into a C string literal: escape what a branch name may hold.
string(REPLACE "\\" "\\\\" ZEM_BUILD_BRANCH "${ZEM_BUILD_BRANCH}")
string(REPLACE "\"" "\\\"" ZEM_BUILD_BRANCH "${ZEM_BUILD_BRANCH}")

# "Sat 12/05/2026, 202612051502": weekday, month/day/year, then twelve digits.
string(TIMESTAMP ZEM_BUILD_DATE "%a %m/%d/%Y, %Y%m%d%H%M")

configure_file(${PROJECT_SOURCE_DIR}/module/BuildStamp.h.in
    ${ZEM_GENERATED_DIR}/module/BuildStamp.h @ONLY)
