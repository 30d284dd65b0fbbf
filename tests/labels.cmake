# Label sheets: the templates and where labels go (widget-free), the sheets marlisk-cli
# writes and prints measured from their pixels.
marlisk_test(test_labeltemplates test_labeltemplates.cpp LIBS marlisk_labels)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
foreach(what placement batch storing queue memory)
    add_test(NAME labels_${what}
        COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/labels/sheets.py
            $<TARGET_FILE:marlisk-cli> ${what})
    set_tests_properties(labels_${what} PROPERTIES TIMEOUT 300 ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endforeach()
# Through the cups-pdf queue, whose jobs are found by their time: one at a time.
set_tests_properties(labels_queue PROPERTIES RESOURCE_LOCK cups-pdf)
marlisk_test(test_labelswindow test_labelswindow.cpp LIBS marlisk_ui)
target_compile_definitions(test_labelswindow PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>")
add_dependencies(test_labelswindow marlisk-cli)
set_tests_properties(test_labelswindow PROPERTIES RESOURCE_LOCK cups-pdf)
