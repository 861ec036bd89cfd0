tamsel_add_test(tamsel_reporting_tests
  SOURCES CLogTest.cpp EnvironmentTest.cpp LogSenderTest.cpp
  LIBS tamsel_reporting tamsel_httplib)
