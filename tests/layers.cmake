# Fails when a source file includes a header of a layer above its own:
# core (store, scheduler, engine) < platform < windows < app, each layer its
# own library (tikora_core, tikora_platform, tikora_ui, tikora_app; main.cpp
# alone is the program). The libraries' links make most such includes a
# build error already; an include of a header-only class would slip through
# them.
# Run as: cmake -DSRC=<src folder> -P layers.cmake
set(rank_store 0)
set(rank_scheduler 0)
set(rank_engine 0)
set(rank_platform 1)
set(rank_windows 2)
set(rank_app 3)
set(wrong "")
foreach(folder store scheduler engine platform windows app)
    # With the folders of one system's code (platform/posix/ and the like).
    file(GLOB_RECURSE files "${SRC}/${folder}/*.h" "${SRC}/${folder}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" includes REGEX "^#include \"[a-z]+/")
        foreach(line IN LISTS includes)
            string(REGEX REPLACE "^#include \"([a-z]+)/.*" "\\1" target "${line}")
            if(DEFINED rank_${target} AND rank_${target} GREATER rank_${folder})
                file(RELATIVE_PATH name "${SRC}" "${file}")
                list(APPEND wrong "${name}: ${line}")
            endif()
        endforeach()
    endforeach()
endforeach()
if(wrong)
    list(JOIN wrong "\n  " text)
    message(FATAL_ERROR "Includes that go up a layer:\n  ${text}")
endif()
