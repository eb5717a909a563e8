# cmake -DBUILD_DIR=... -DSTAGE=... -DEXPECTED=... -DVERSION=... -P check_install.cmake
#
# Installs the build into STAGE as a package build would (prefix /usr, DESTDIR), and fails when
# the installed files differ from the list in EXPECTED, when the installed command-line tool
# cannot reach its playback helper or its completion misses a command or an option, or when a
# validator of the desktop rejects a file.
cmake_minimum_required(VERSION 3.25)

function(fail message)
    message(FATAL_ERROR "${message}")
endfunction()

# Runs a command that must succeed; a missing tool is skipped, as CI installs it and a developer
# may not have.
function(check tool)
    find_program(path NAMES ${tool} NO_CACHE)
    if(NOT path)
        message(STATUS "skipped: ${tool} is not installed")
        return()
    endif()
    execute_process(COMMAND ${path} ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    # Warnings count: they are what the next version of the validator turns into errors.
    if(NOT result EQUAL 0 OR "${out}${err}" MATCHES "[Ww]arning|[Ee]rror")
        fail("${tool} ${ARGN} failed (${result}):\n${out}${err}")
    endif()
endfunction()

file(REMOVE_RECURSE ${STAGE})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${STAGE}
            ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix /usr
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    fail("cmake --install failed:\n${err}")
endif()

file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${STAGE} ${STAGE}/*)
list(SORT installed)
file(STRINGS ${EXPECTED} expected REGEX "^/")
list(TRANSFORM expected REPLACE "^/" "")
list(SORT expected)
set(missing ${expected})
list(REMOVE_ITEM missing ${installed})
set(unexpected ${installed})
list(REMOVE_ITEM unexpected ${expected})
if(missing OR unexpected)
    list(JOIN missing "\n  " missing)
    list(JOIN unexpected "\n  " unexpected)
    fail("installed files differ from ${EXPECTED}\nnot installed:\n  ${missing}\n"
         "not expected:\n  ${unexpected}")
endif()

# The installed tool finds its helper relative to itself: asking the helper for its usage
# proves the way there without a sound server.
execute_process(COMMAND ${STAGE}/usr/bin/slicewell-cli devices --help
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err)
if(NOT result EQUAL 0)
    fail("installed slicewell-cli cannot start its playback helper (${result}): ${err}")
endif()

# Shell completion offers every command and option the installed tool's help names, so that a
# command or option added to the tool without its completion is noticed.
set(cli ${STAGE}/usr/bin/slicewell-cli)
set(completion ${STAGE}/usr/share/bash-completion/completions/slicewell-cli)
# The words the completion offers after the given ones, for the word being typed, cur.
function(offered out cur)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env "CUR=${cur}" bash -c
                "source \"$0\" && COMP_WORDS=(slicewell-cli \"$@\" \"$CUR\") &&
                 COMP_CWORD=$(($# + 1)) && _slicewell_cli && printf '%s\\n' \"\${COMPREPLY[@]}\""
                ${completion} ${ARGN}
        OUTPUT_VARIABLE words RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        fail("the completion failed after: ${ARGN}")
    endif()
    string(REPLACE "\n" ";" words "${words}")
    set(${out} ${words} PARENT_SCOPE)
endfunction()
execute_process(COMMAND ${cli} --help OUTPUT_VARIABLE usage)
string(REGEX MATCHALL "\n  slicewell-cli [a-z-]+" commands "${usage}")
list(TRANSFORM commands REPLACE ".* " "")
offered(offered_commands "")
foreach(command ${commands})
    if(NOT command IN_LIST offered_commands)
        fail("the completion does not offer the command ${command}")
    endif()
    execute_process(COMMAND ${cli} ${command} --help OUTPUT_VARIABLE help)
    # The options of its usage line and its option table; others are mentioned in passing.
    # (A bracket would keep CMake from splitting the list.)
    string(REPLACE "[" "<" help "${help}")
    string(REGEX MATCHALL "(\n  |<)--[a-z][a-z-]*" options "${help}")
    list(TRANSFORM options REPLACE "^[^-]+" "")
    offered(offered_options -- ${command})
    foreach(option ${options})
        if(NOT option IN_LIST offered_options)
            fail("the completion does not offer ${option} for ${command}")
        endif()
    endforeach()
endforeach()

# The version a package carries is the one its change log and metadata announce.
file(READ ${STAGE}/usr/share/metainfo/org.example.slicewell.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
    fail("the metainfo's releases do not name version ${VERSION}")
endif()
execute_process(COMMAND gzip -dc ${STAGE}/usr/share/doc/slicewell/changelog.gz
                OUTPUT_VARIABLE changelog)
if(NOT changelog MATCHES "^slicewell \\(${VERSION}\\)")
    fail("the change log does not begin with version ${VERSION}")
endif()

check(desktop-file-validate ${STAGE}/usr/share/applications/slicewell.desktop)
check(appstreamcli validate --no-net --pedantic
      ${STAGE}/usr/share/metainfo/org.example.slicewell.metainfo.xml)
# man itself prints the page; its complaints about the page go to standard error.
find_program(man NAMES man NO_CACHE)
foreach(page slicewell slicewell-cli)
    if(man)
        execute_process(COMMAND ${man} --warnings -E UTF-8 -l
                                ${STAGE}/usr/share/man/man1/${page}.1.gz
                        RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE err)
        if(NOT result EQUAL 0 OR err)
            fail("man finds faults in ${page}.1 (${result}):\n${err}")
        endif()
    endif()
endforeach()
