marlisk_test(test_cli test_cli.cpp LIBS marlisk_cli_lib marlisk_ui)
if(TARGET test_cli)
    target_compile_definitions(test_cli PRIVATE MARLISK_CLI="$<TARGET_FILE:marlisk-cli>"
        MARLISK_BUILD_DIR="${CMAKE_BINARY_DIR}")
    add_dependencies(test_cli marlisk-cli)
endif()
