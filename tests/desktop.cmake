# The program as installed on a desktop: where the settings go, the window's layout and
# keyboard, pictures on a scaled screen, fonts for every text, printing without a print
# system, and the Debian package.
marlisk_test(test_windowlayout test_windowlayout.cpp LIBS marlisk_ui)
marlisk_test(test_settingsplace test_settingsplace.cpp LIBS marlisk_ui)
marlisk_test(test_hidpi test_hidpi.cpp LIBS marlisk_ui)
marlisk_test(test_noprinter test_noprinter.cpp LIBS marlisk_ui)
marlisk_test(test_glyphs test_glyphs.cpp LIBS marlisk_ui)
marlisk_test(test_fontdialog test_fontdialog.cpp LIBS marlisk_ui)

# The Debian package built with cpack, unpacked and run as `nobody` under its own Xvfb.
add_test(NAME e2e_package COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/package.sh ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_package PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600 RUN_SERIAL TRUE)

# The window's pictures on dense screens against marlisk-cli's at the same resolution: at a
# scale factor of 2, and on an X server of 144 dpi of its own.
marlisk_test(test_hidpiparity test_hidpiparity.cpp LIBS marlisk_ui)
target_compile_definitions(test_hidpiparity PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>")
add_dependencies(test_hidpiparity marlisk-cli)
set_property(TEST test_hidpiparity APPEND PROPERTY ENVIRONMENT
    "QT_SCALE_FACTOR=2;MARLISK_EXPECT_DPI=192")
add_test(NAME test_hidpiparity_x144
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/xvfb-dpi.sh 144 $<TARGET_FILE:test_hidpiparity>)
set_tests_properties(test_hidpiparity_x144 PROPERTIES
    ENVIRONMENT "MARLISK_EXPECT_DPI=144;MARLISK_TEST_DATA=${CMAKE_CURRENT_SOURCE_DIR}/data"
    TIMEOUT 600)
marlisk_test(test_access test_access.cpp LIBS marlisk_ui)
