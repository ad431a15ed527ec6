# lupdate over the window's sources must find every text in the committed
# .ts files and none that is gone: a copy of each, brought up to date, is
# the same as the file.
file(STRINGS "${SOURCES_FILE}" sources)
foreach(ts IN LISTS TS_FILES)
  get_filename_component(name "${ts}" NAME)
  set(copy "${WORK_DIR}/${name}")
  configure_file("${ts}" "${copy}" COPYONLY)
  execute_process(COMMAND "${LUPDATE}" -silent -locations none -no-obsolete -I "${INCLUDE_DIR}" ${sources} -ts "${copy}"
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "lupdate failed on ${name}")
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${ts}" "${copy}" RESULT_VARIABLE differs)
  if(differs)
    execute_process(COMMAND diff -u "${ts}" "${copy}")
    message(FATAL_ERROR "${name} is not up to date with the window's texts: "
                        "build the rekoda_lupdate target, translate what it added, and commit")
  endif()
endforeach()
