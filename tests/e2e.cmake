add_test(NAME e2e_window COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/window.sh $<TARGET_FILE:marlisk>)
# Its own X server and real input events: skipped (77) without the X tools, run alone.
set_tests_properties(e2e_window PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300 RUN_SERIAL TRUE)

# The window by keyboard alone, through a screen reader's eyes, on Wayland, and its Help:
# each starts its own X server (and window manager, bus or compositor) and fails when one
# of them is missing.
add_test(NAME e2e_keyboard COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/keyboard.sh $<TARGET_FILE:marlisk> $<TARGET_FILE:marlisk-cli>)
add_test(NAME e2e_accessibility COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/accessibility.sh $<TARGET_FILE:marlisk>)
add_test(NAME e2e_wayland COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/wayland.sh $<TARGET_FILE:marlisk>)
add_test(NAME e2e_help COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/e2e/help.sh ${PROJECT_BINARY_DIR})
set_tests_properties(e2e_keyboard e2e_accessibility e2e_wayland e2e_help PROPERTIES TIMEOUT 300 RUN_SERIAL TRUE)
