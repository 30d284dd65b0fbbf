marlisk_test(test_sizes test_sizes.cpp LIBS marlisk_core)
marlisk_test(test_sizeforms test_sizeforms.cpp LIBS marlisk_ui)
