marlisk_test(test_settings test_settings.cpp LIBS marlisk_core)
