# The program as installed on a desktop: where the settings go, the window's layout and
# keyboard, pictures on a scaled screen, fonts for every text, printing without a print
# system, and the Debian package.
marlisk_test(test_windowlayout test_windowlayout.cpp LIBS marlisk_ui)
marlisk_test(test_settingsplace test_settingsplace.cpp LIBS marlisk_ui)
marlisk_test(test_hidpi test_hidpi.cpp LIBS marlisk_ui)
marlisk_test(test_noprinter test_noprinter.cpp LIBS marlisk_ui)
marlisk_test(test_glyphs test_glyphs.cpp LIBS marlisk_ui)

# The Debian package built with cpack, unpacked and run as `nobody` under its own Xvfb.
add_test(NAME e2e_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/package.sh ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 RUN_SERIAL TRUE)
