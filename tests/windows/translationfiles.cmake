# SPDX-License-Identifier: MIT
# Checks each translation file against the sources: every message finished,
# none vanished or obsolete, and lupdate over the sources (into a copy)
# leaves the file as it is, so no marked text lacks its entry.
#   cmake -DLUPDATE=<lupdate> -DSRC=<src> -DTS_DIR=<translations> -DOUT=<scratch> -P translationfiles.cmake
file(GLOB ts_files ${TS_DIR}/*.ts)
if(NOT ts_files)
    message(FATAL_ERROR "no .ts file in ${TS_DIR}")
endif()
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
foreach(ts IN LISTS ts_files)
    get_filename_component(name ${ts} NAME)
    file(READ ${ts} text)
    foreach(mark unfinished vanished obsolete)
        string(FIND "${text}" "type=\"${mark}\"" at)
        if(NOT at EQUAL -1)
            message(FATAL_ERROR "${name} has a message marked ${mark}")
        endif()
    endforeach()
    configure_file(${ts} ${OUT}/${name} COPYONLY)
    execute_process(COMMAND ${LUPDATE} -silent -locations none ${SRC} -ts ${OUT}/${name}
                    RESULT_VARIABLE code)
    if(NOT code EQUAL 0)
        message(FATAL_ERROR "lupdate failed on ${name}: ${code}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${ts} ${OUT}/${name}
                    RESULT_VARIABLE differs)
    if(NOT differs EQUAL 0)
        message(FATAL_ERROR "${name} is not up to date with the sources: run "
                            "lupdate -locations none src -ts translations/${name} and translate "
                            "what it adds")
    endif()
endforeach()
