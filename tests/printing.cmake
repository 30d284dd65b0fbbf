# Printing at the printer's own resolution, from the window and from marlisk-cli.
marlisk_test(test_printresolution test_printresolution.cpp LIBS marlisk_ui)
target_compile_definitions(test_printresolution PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>")
add_dependencies(test_printresolution marlisk-cli)
