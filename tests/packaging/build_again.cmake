# Builds the package described by PARAMETERS again into SCRATCH, at another
# time, in another time zone and from fresh copies of its files, and
# compares it with BUILT.
get_filename_component(name ${BUILT} NAME)
set(again ${SCRATCH}/${name})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=Pacific/Auckland
          ${CMAKE_COMMAND} -DPARAMETERS=${PARAMETERS} -DWORK=${SCRATCH}/work -DOUTPUT=${again}
          -P ${BUILD_SCRIPT}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building ${name} again failed: ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${BUILT} ${again} RESULT_VARIABLE differs)
if(NOT differs EQUAL 0)
  message(FATAL_ERROR "${name} built again differs from the built one")
endif()
