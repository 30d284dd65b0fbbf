marlisk_test(test_mainwindow test_mainwindow.cpp LIBS marlisk_ui)
marlisk_test(test_dialogs test_dialogs.cpp LIBS marlisk_ui)
