# The settings library alone: it must link without symbol or drawing code (marlisk-cli and
# the window both read it).
marlisk_test(test_settings test_settings.cpp LIBS marlisk_settings)
