marlisk_test(test_findings test_findings.cpp LIBS marlisk_core)
