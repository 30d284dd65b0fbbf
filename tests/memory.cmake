marlisk_test(test_memory test_memory.cpp LIBS marlisk_ui)
