# Reports every file of the program folder that the program reads and that
# the build did not stage.
set(_missing "")
foreach(_f data1.hhz LunvarethOrg.ttf hexagrams.ttf config.ini texto/yijing.txt texto/ed.txt texto/oracleback.jpg)
    if(NOT EXISTS "${STAGE}/${_f}")
        list(APPEND _missing "${_f}")
    endif()
endforeach()
if(_missing)
    message(FATAL_ERROR "missing in ${STAGE}: ${_missing} (build the default target: stage_content, stage_config)")
endif()
message(STATUS "program folder ${STAGE}: ok")
