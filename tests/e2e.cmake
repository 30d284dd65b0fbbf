add_test(NAME e2e_window COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window.sh $<TARGET_FILE:marlisk>)
# Its own X server and real input events: skipped (77) without the X tools, run alone.
set_tests_properties(e2e_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)
