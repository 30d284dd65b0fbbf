# Printing at the printer's own resolution, from the window and from marlisk-cli.
marlisk_test(test_printresolution test_printresolution.cpp LIBS marlisk_ui)
target_compile_definitions(test_printresolution PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>")
add_dependencies(test_printresolution marlisk-cli)

# A queue that rejects jobs and a scheduler that never answers, in both programs. The test
# names the scheduler for the window itself (cupsSetServer).
find_package(Cups REQUIRED)
marlisk_test(test_printsystem test_printsystem.cpp LIBS marlisk_ui Cups::Cups)
target_compile_definitions(test_printsystem PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>")
add_dependencies(test_printsystem marlisk-cli)
