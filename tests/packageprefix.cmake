# A package installs under /usr: cpack refuses a tree configured for another
# prefix, before it installs anything.
# Run as: cmake -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake> -DOUT=<folder> -P packageprefix.cmake
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CPACK} --config ${CONFIG} -G DEB -B ${OUT}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(result EQUAL 0)
    message(FATAL_ERROR "cpack packaged a tree configured for another prefix than /usr:\n${output}")
endif()
if(NOT output MATCHES "a package installs under /usr")
    message(FATAL_ERROR "cpack failed, but not for the prefix:\n${output}")
endif()
if(EXISTS ${OUT}/_CPack_Packages)
    message(FATAL_ERROR "cpack refused, but installed into ${OUT}/_CPack_Packages first")
endif()
