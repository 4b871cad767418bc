# Fails when an include points up or across the layers: each folder may include its own files
# and those of folders ranked below it, and core/ no Qt header at all. Run by ctest as
# `cmake -DROOT=<source> -P check_layers.cmake`.
set(_ranks "core=0" "core/display=1" "core/aids=1" "core/scenario=2" "core/record=2"
           "core/arpa=2.5" "core/radar_video=2.6"
           "core/exercise=3" "core/classroom=3.5" "session=4" "session/classroom=4.5" "gui=5"
           "report=6" "app=7" "app/instructor=7.5")
foreach(_pair ${_ranks})
  string(REPLACE "=" ";" _kv "${_pair}")
  list(GET _kv 0 _folder)
  list(GET _kv 1 _rank)
  set(_rank_of_${_folder} ${_rank})
endforeach()

# Pairs kept apart whatever their ranks: the marking and the record work from the truth, never
# from what the student's tracker showed.
set(_apart "core/exercise>core/arpa" "core/record>core/arpa")

set(_faults "")
file(GLOB_RECURSE _files RELATIVE ${ROOT} ${ROOT}/core/*.h ${ROOT}/core/*.cpp ${ROOT}/session/*.h
     ${ROOT}/session/*.cpp ${ROOT}/gui/*.h ${ROOT}/gui/*.cpp ${ROOT}/report/*.h
     ${ROOT}/report/*.cpp ${ROOT}/app/*.h ${ROOT}/app/*.cpp)
foreach(_file ${_files})
  get_filename_component(_from ${_file} DIRECTORY)
  set(_from_rank ${_rank_of_${_from}})
  file(STRINGS ${ROOT}/${_file} _includes REGEX "^#include [\"<]")
  foreach(_line ${_includes})
    if(_line MATCHES "^#include <Q" AND _from_rank LESS 4)
      list(APPEND _faults "${_file}: ${_line} (no Qt in core/)")
    elseif(_line MATCHES "^#include \"([^\"]+)\"")
      get_filename_component(_to ${CMAKE_MATCH_1} DIRECTORY)
      list(FIND _apart "${_from}>${_to}" _apart_at)
      if(NOT _apart_at EQUAL -1)
        list(APPEND _faults "${_file}: ${_line} (${_from} must not use ${_to})")
      elseif(DEFINED _rank_of_${_to} AND NOT _to STREQUAL _from)
        if(NOT _rank_of_${_to} LESS _from_rank)
          list(APPEND _faults "${_file}: ${_line} (${_to} is not below ${_from})")
        endif()
      endif()
    endif()
  endforeach()
endforeach()
if(_faults)
  list(JOIN _faults "\n" _text)
  message(FATAL_ERROR "Includes against the layers:\n${_text}")
endif()
message(STATUS "${CMAKE_CURRENT_LIST_FILE}: every include points down")
