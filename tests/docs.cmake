# The user's documentation cannot fall behind the program: the manual page names every
# option --help lists and the reverse, and the README's screenshots are made again from
# the real window.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME docs_options_agree
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/options_agree.py
        $<TARGET_FILE:marlisk-cli> ${CMAKE_SOURCE_DIR}/man/marlisk-cli.1)
add_test(NAME docs_screenshots
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/docs/screenshots_test.sh $<TARGET_FILE:marlisk>)
# Its own X server, window manager and real input events: run alone.
set_tests_properties(docs_screenshots PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)
