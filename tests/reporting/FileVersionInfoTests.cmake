tamsel_add_test(tamsel_version_info_tests
  SOURCES CFileVersionInfoTest.cpp DamagedProgramsTest.cpp
  LIBS tamsel_reporting)
# The test program carries the build's version block, as the updater does, and reads itself.
tamsel_embed_version(tamsel_version_info_tests)
