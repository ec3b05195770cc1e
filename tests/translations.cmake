# Every text of the window has a finished English translation: lupdate brings a copy of the catalogue up to
# date with the sources (new texts come in unfinished), lrelease counts what is unfinished or untranslated.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${TS} DESTINATION ${WORK})
get_filename_component(name ${TS} NAME)
execute_process(COMMAND ${LUPDATE} -source-language de -no-obsolete ${SOURCES} -ts ${WORK}/${name}
                OUTPUT_VARIABLE update ERROR_VARIABLE update RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lupdate failed: ${update}")
endif()
execute_process(COMMAND ${LRELEASE} ${WORK}/${name} -qm ${WORK}/check.qm
                OUTPUT_VARIABLE release ERROR_VARIABLE release RESULT_VARIABLE rc)
string(REGEX MATCH "Generated ([0-9]+) translation\\(s\\) \\(([0-9]+) finished and ([0-9]+) unfinished\\)" counts "${release}")
if(NOT rc EQUAL 0 OR NOT counts)
    message(FATAL_ERROR "lrelease failed or said nothing countable: ${release}")
endif()
if(NOT CMAKE_MATCH_3 EQUAL 0 OR release MATCHES "untranslated")
    message(FATAL_ERROR "texts without a finished English translation\n${update}${release}")
endif()
message(STATUS "ok: ${counts}")
