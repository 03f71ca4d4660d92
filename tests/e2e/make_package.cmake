# Makes the Debian package of a build afresh, for the package tests:
#   cmake -DCPACK=cpack -DCONFIG=<build>/CPackConfig.cmake -DOUT=<folder> -P make_package.cmake
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
execute_process(COMMAND ${CPACK} -G DEB --config ${CONFIG} -B ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack could not make the package (${status})")
endif()
