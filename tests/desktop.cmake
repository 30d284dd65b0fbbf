# The program as installed on a desktop: where the settings go, the window's layout and
# keyboard, pictures on a scaled screen, fonts for every text, printing without a print
# system, and the Debian package.
marlisk_test(test_windowlayout test_windowlayout.cpp LIBS marlisk_ui)
marlisk_test(test_settingsplace test_settingsplace.cpp LIBS marlisk_ui)
marlisk_test(test_hidpi test_hidpi.cpp LIBS marlisk_ui)
marlisk_test(test_noprinter test_noprinter.cpp LIBS marlisk_ui)
marlisk_test(test_glyphs test_glyphs.cpp LIBS marlisk_ui)
